#pragma once
// Reads the version resource (see version_resource.h) back out of a program file, in three steps
// like the classic file-version calls: how big it is, fetch it, query values in it by path.
// Every step is bounded by what the file and the block really hold; a damaged file reads as
// having no version information.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tarnis::version_info {

// The running program's own file.
inline constexpr const char* kRunningExecutable = "/proc/self/exe";

// Size in bytes of the file's version block; 0 when the file has none or cannot be read.
std::uint32_t VersionInfoSize(const std::string& path);

// Copies the file's version block into block, which must hold at least VersionInfoSize bytes.
bool FetchVersionInfo(const std::string& path, std::span<std::uint8_t> block);

// The value at sub_block in a fetched block: "\" is the root, "\VarFileInfo\Translation" the
// translation table, "\StringFileInfo\041904E3\ProductName" a text (keys compare without regard to
// ASCII case). Nothing when there is no such node.
std::optional<std::span<const std::uint8_t>> QueryVersionValue(std::span<const std::uint8_t> block,
                                                               std::string_view sub_block);

// A text value up to its terminating zero.
std::string ValueText(std::span<const std::uint8_t> value);

// "041904E3" for language 0x0419 and code page 0x04E3.
std::string TranslationKey(std::uint16_t language, std::uint16_t code_page);

}  // namespace tarnis::version_info
