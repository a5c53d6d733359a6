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

// The file's bytes, at most max_size + 1 of them (so a caller can tell a file that is too long);
// nothing when it cannot be opened or read, or is not a regular file (a FIFO, a device, a folder).
std::optional<std::vector<std::uint8_t>> ReadFileUpTo(const std::string& path, std::size_t max_size);

// Replaces path with bytes; false, with any earlier file left as it was, on any failure.
bool ReplaceFile(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace tarnis
