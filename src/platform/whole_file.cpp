#include "platform/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
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

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a path finally names, following symbolic links (also a dangling last one) so that
// the file is replaced and the links stay; nothing for a loop of links.
std::optional<std::string> FinalTarget(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
    std::string link(PATH_MAX, '\0');
    const ssize_t length = ::readlink(path.c_str(), link.data(), link.size());
    if (length < 0 || static_cast<std::size_t>(length) >= link.size()) return std::nullopt;
    link.resize(static_cast<std::size_t>(length));
    path = link.front() == '/' ? link : DirectoryOf(path) + "/" + link;
  }
  return std::nullopt;
}

// The rename is only durable once the directory that holds the new name is on the disk too.
// Best effort: false when the directory cannot be opened or synced.
bool SyncDirectory(const std::string& directory) {
  Descriptor handle(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return handle.get() >= 0 && ::fsync(handle.get()) == 0;
}

// Overwrites an existing file through its own inode: for a directory that takes no new names,
// and for targets that are no regular files. Not atomic, so only the fallback.
bool WriteInPlace(const std::string& path, std::span<const std::uint8_t> bytes, bool regular) {
  Descriptor file(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
  if (file.get() < 0 || !WriteAll(file.get(), bytes)) return false;
  if (regular && (::ftruncate(file.get(), static_cast<off_t>(bytes.size())) != 0 || ::fsync(file.get()) != 0))
    return false;
  return file.Close();
}

// A new file in `directory`, not yet named: nothing is left behind whatever happens before it is
// linked. Kernels or file systems without unnamed files get a named one, removed on failure.
class TemporaryFile {
 public:
  explicit TemporaryFile(const std::string& directory) : directory_(directory) {
    fd_ = ::open(directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd_ >= 0) return;
    error_ = errno;
    if (error_ != EOPNOTSUPP && error_ != EISDIR && error_ != EINVAL) return;
    static std::atomic<unsigned> counter{0};
    name_ = NewName(counter.fetch_add(1));
    fd_ = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    error_ = fd_ < 0 ? errno : 0;
    if (fd_ < 0) name_.clear();
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!name_.empty()) ::unlink(name_.c_str());
  }

  int fd() const { return fd_; }
  int error() const { return error_; }  // why it could not be made

  // Closes the file and moves it over target: an unnamed file is first linked under a fresh name.
  bool CloseAndRename(const std::string& target) {
    const int fd = fd_;
    fd_ = -1;
    if (name_.empty()) {
      static std::atomic<unsigned> counter{0};
      const std::string name = NewName(counter.fetch_add(1));
      const std::string handle = "/proc/self/fd/" + std::to_string(fd);
      const bool linked = ::linkat(AT_FDCWD, handle.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
      if (::close(fd) != 0 || !linked) {
        if (linked) ::unlink(name.c_str());
        return false;
      }
      name_ = name;
    } else if (::close(fd) != 0) {
      return false;
    }
    if (std::rename(name_.c_str(), target.c_str()) != 0) return false;
    name_.clear();
    return true;
  }

 private:
  std::string NewName(unsigned serial) const {
    return directory_ + "/.tarnis-" + std::to_string(::getpid()) + "-" + std::to_string(serial) + ".tmp";
  }

  std::string directory_;
  std::string name_;  // empty while the file has no name
  int fd_ = -1;
  int error_ = 0;
};

}  // namespace

FileRead ReadFile(const std::string& path, std::size_t max_size) {
  // Without O_NONBLOCK a FIFO would block the open until a writer comes.
  Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  // Only a regular file is read: a FIFO, a device such as /dev/zero or a folder cannot be opened.
  struct stat status {};
  if (file.get() < 0 || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode))
    return {FileRead::Status::CannotOpen, {}};
  // The size is a hint only: a file that grows meanwhile is still read to its end or the limit.
  std::vector<std::uint8_t> bytes;
  bytes.reserve(std::min(static_cast<std::size_t>(status.st_size), max_size) + 1);
  std::uint8_t chunk[65536];
  while (bytes.size() <= max_size) {
    const ssize_t got = ::read(file.get(), chunk, std::min(sizeof chunk, max_size + 1 - bytes.size()));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return {FileRead::Status::CannotRead, {}};
    if (got == 0) break;
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  return {FileRead::Status::Ok, std::move(bytes)};
}

std::optional<std::vector<std::uint8_t>> ReadFileUpTo(const std::string& path, std::size_t max_size) {
  FileRead read = ReadFile(path, max_size);
  if (read.status != FileRead::Status::Ok) return std::nullopt;
  return std::move(read.bytes);
}

bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes) {
  if (path.empty()) return false;
  const auto target = FinalTarget(path);
  if (!target) return false;
  struct stat existing {};
  const bool exists = ::stat(target->c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) return false;
  if (exists && !S_ISREG(existing.st_mode)) return WriteInPlace(*target, bytes, false);

  // Beside the target, so that the rename stays within one file system.
  const std::string directory = DirectoryOf(*target);
  TemporaryFile file(directory);
  if (file.fd() < 0) {
    const bool directory_refused = file.error() == EACCES || file.error() == EPERM;
    return exists && directory_refused && WriteInPlace(*target, bytes, true);
  }
  if (exists) {
    // The new file takes the old one's owner where allowed, and its mode (after the owner, which
    // may clear set-id bits); a new file gets the mode the umask leaves of 0666.
    [[maybe_unused]] const int owner_kept = ::fchown(file.fd(), existing.st_uid, existing.st_gid);
    if (::fchmod(file.fd(), existing.st_mode & 07777) != 0) return false;
  }
  if (!WriteAll(file.fd(), bytes) || ::fsync(file.fd()) != 0) return false;
  if (!file.CloseAndRename(*target)) return false;
  // The new file is in place. A directory the user may write but not read (0333) cannot be opened
  // to sync it; the save is no less done.
  SyncDirectory(directory);
  return true;
}

}  // namespace tarnis
