#pragma once
// Whole-file reading and writing for the program's data files. A write goes to a temporary file
// beside the target and is renamed over it only once complete, so a failure never leaves a
// half-written file, a temporary file or a spoilt earlier one.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarnis {

// A file read whole: its bytes, at most max_size + 1 of them (so a caller can tell a file that is
// too long), or why there are none. Anything but a regular file (a FIFO, a device, a folder)
// counts as a file that cannot be opened.
struct FileRead {
  enum class Status { Ok, CannotOpen, CannotRead };
  Status status = Status::Ok;
  std::vector<std::uint8_t> bytes;
};
FileRead ReadFile(const std::string& path, std::size_t max_size);

// The same, for callers that treat every failure alike: nothing when it cannot be opened or read.
std::optional<std::vector<std::uint8_t>> ReadFileUpTo(const std::string& path, std::size_t max_size);

// Replaces path with bytes; false, with any earlier file left as it was, on any failure.
// - A symbolic link stays: the file it finally points to is replaced (created, when dangling).
// - The new file keeps the earlier file's permission bits and, where allowed, its owner; a new
//   file gets 0666 less the umask.
// - The data and then the directory are synced, so the new contents survive a crash; false when
//   the directory cannot be synced, although the new file is then in place.
// - A directory that takes no new names, holding a file that may be written, gets the file
//   overwritten in place (not atomic: a failure half-way leaves it damaged), as does an existing
//   target that is no regular file (a device, a pipe).
bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace tarnis
