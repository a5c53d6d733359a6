#include "platform/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>

namespace tarnis {
namespace {

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() { Close(); }
  int get() const { return fd_; }
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadFileUpTo(const std::string& path, std::size_t max_size) {
  // Without O_NONBLOCK a FIFO would block the open until a writer comes.
  Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (file.get() < 0) return std::nullopt;
  // Only a regular file is read: a FIFO, a device such as /dev/zero or a folder is refused.
  struct stat status {};
  if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
  // The size is a hint only: a file that grows meanwhile is still read to its end or the limit.
  std::vector<std::uint8_t> bytes;
  bytes.reserve(std::min(static_cast<std::size_t>(status.st_size), max_size) + 1);
  std::uint8_t chunk[65536];
  while (bytes.size() <= max_size) {
    const ssize_t got = ::read(file.get(), chunk, std::min(sizeof chunk, max_size + 1 - bytes.size()));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::nullopt;
    if (got == 0) break;
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  return bytes;
}

bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  // A fresh name beside the target: the rename then stays within one file system.
  static std::atomic<unsigned> counter{0};
  const std::string temporary =
      path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
  Descriptor file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (file.get() < 0) return false;
  const bool complete = WriteAll(file.get(), bytes) && ::fsync(file.get()) == 0 && file.Close();
  if (complete && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
  ::unlink(temporary.c_str());
  return false;
}

}  // namespace tarnis
