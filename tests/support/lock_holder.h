#pragma once
// Another process holding the usual advisory lock (flock) on a tty, as a terminal program does,
// until the object ends.
#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarnis::test {

class LockHolder {
 public:
  explicit LockHolder(const std::string& path) {
    int ready[2];
    if (::pipe(ready) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
      const char ok = fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? 1 : 0;
      [[maybe_unused]] const auto written = ::write(ready[1], &ok, 1);
      ::pause();
      ::_exit(0);
    }
    char ok = 0;
    locked_ = pid_ > 0 && ::read(ready[0], &ok, 1) == 1 && ok == 1;
    ::close(ready[0]);
    ::close(ready[1]);
  }
  LockHolder(const LockHolder&) = delete;
  LockHolder& operator=(const LockHolder&) = delete;
  ~LockHolder() { Release(); }

  void Release() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  bool locked() const { return locked_; }
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  bool locked_ = false;
};

}  // namespace tarnis::test
