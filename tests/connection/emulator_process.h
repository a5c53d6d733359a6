#pragma once
// tarnis-emulator run as its own process, for tests that need another PID on the port or a
// device that can be killed.
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include "platform/port_names.h"

extern char** environ;

namespace tarnis::test {

class EmulatorProcess {
 public:
  // Starts tarnis-emulator --port port_name with the extra arguments and waits until it has
  // registered the port.
  EmulatorProcess(const std::string& port_name, std::vector<std::string> arguments = {}) {
    arguments.insert(arguments.begin(), {TARNIS_EMULATOR, "--port", port_name});
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::filesystem::remove(std::filesystem::path(PortsDirectory()) / port_name);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    const auto entry = std::filesystem::path(PortsDirectory()) / port_name;
    for (int i = 0; i < 500 && pid_ > 0 && !std::filesystem::is_symlink(entry); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (std::filesystem::is_symlink(entry)) slave_path_ = std::filesystem::read_symlink(entry).string();
  }
  EmulatorProcess(const EmulatorProcess&) = delete;
  EmulatorProcess& operator=(const EmulatorProcess&) = delete;
  ~EmulatorProcess() { End(SIGTERM); }

  bool running() const { return pid_ > 0 && !slave_path_.empty(); }
  pid_t pid() const { return pid_; }
  const std::string& slave_path() const { return slave_path_; }

  // Sends the signal and waits for the process to end.
  void End(int signal) {
    if (pid_ <= 0) return;
    ::kill(pid_, signal);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  std::string slave_path_;
};

}  // namespace tarnis::test
