#pragma once
// Runs a program through the shell and collects its exit code and both output streams.
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace tarnis::test {

struct ProgramRun {
  int exit_code = -1;
  std::string out;
  std::string err;
};

inline ProgramRun RunProgram(const std::string& command_line) {
  const std::string err_path = "/tmp/tarnis-stderr-" + std::to_string(::getpid());
  ProgramRun run;
  FILE* pipe = ::popen((command_line + " 2>" + err_path).c_str(), "r");
  if (!pipe) return run;
  std::array<char, 4096> chunk{};
  while (const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), pipe)) run.out.append(chunk.data(), n);
  const int status = ::pclose(pipe);
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream err(err_path);
  std::ostringstream text;
  text << err.rdbuf();
  run.err = text.str();
  std::remove(err_path.c_str());
  return run;
}

}  // namespace tarnis::test
