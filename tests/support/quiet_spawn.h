#pragma once
// Starts a helper program (an emulator, ser2net) with some of its standard streams sent to
// /dev/null, without a shell between, so that its PID is the program's own.
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/types.h>
#include <unistd.h>
#include <vector>

namespace tarnis::test {

// The PID of the started program, or -1. quiet_fds: the descriptors (1, 2) to silence.
inline pid_t SpawnQuietly(std::vector<std::string> arguments, std::vector<int> quiet_fds) {
  std::vector<char*> argv;
  for (auto& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  for (const int fd : quiet_fds) posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

}  // namespace tarnis::test
