#pragma once
// Whole-file reading and writing for the program's data files. A write goes to a temporary file
// beside the target and is renamed over it only once complete, so a failure never leaves a
// half-written file or spoils an earlier one.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tarnis {

// A file read whole: its bytes, at most max_size + 1 of them (so a caller can tell a file that is
// too long), or why there are none. A directory counts as a file that cannot be opened.
struct FileRead {
  enum class Status { Ok, CannotOpen, CannotRead };
  Status status = Status::Ok;
  std::vector<std::uint8_t> bytes;
};
FileRead ReadFile(const std::string& path, std::size_t max_size);

// The same, for callers that treat every failure alike: nothing when it cannot be opened or read.
std::optional<std::vector<std::uint8_t>> ReadFileUpTo(const std::string& path, std::size_t max_size);

// Replaces path with bytes; false, with any earlier file left as it was, on any failure.
bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace tarnis
