#pragma once
// The version resource the build embeds in each program, laid out as a tree of nodes:
//   u16 node length (header, key, value and children), u16 value length in bytes, u16 value type,
//   key (UTF-8, zero-terminated), value, child nodes.
// All numbers little-endian. The tree the build writes:
//   VS_VERSION_INFO
//     StringFileInfo
//       <language and code page as 8 upper-case hex digits>
//         ProductName, FileVersion, CompanyName   (text values, zero-terminated)
//     VarFileInfo
//       Translation                               (binary: u16 language, u16 code page)
// The block is built at compile time, so a program carries it as plain bytes in its own section.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tarnis::version_resource {

// The ELF section that holds the block.
inline constexpr const char* kSectionName = ".tarnis_version";
inline constexpr std::size_t kNodeHeaderSize = 6;
inline constexpr std::size_t kMaxBlockSize = 0xFFFF;
inline constexpr std::uint16_t kBinaryValue = 0;
inline constexpr std::uint16_t kTextValue = 1;

inline constexpr std::uint16_t kLanguageRussian = 0x0419;
inline constexpr std::uint16_t kCodePageUtf8 = 65001;

struct VersionStrings {
  std::string_view product_name;
  std::string_view file_version;
  std::string_view company_name;
  std::uint16_t language = kLanguageRussian;
  std::uint16_t code_page = kCodePageUtf8;
  bool with_translation = true;  // false only for programs that test the missing table
};

constexpr std::array<char, 8> TranslationKeyDigits(std::uint16_t language, std::uint16_t code_page) {
  constexpr char kHex[] = "0123456789ABCDEF";
  const std::uint32_t value = (std::uint32_t{language} << 16) | code_page;
  std::array<char, 8> key{};
  for (int i = 0; i < 8; ++i) key[i] = kHex[(value >> (28 - 4 * i)) & 0xF];
  return key;
}

namespace detail {

constexpr std::size_t NodeSize(std::string_view key, std::size_t value_size, std::size_t children_size) {
  return kNodeHeaderSize + key.size() + 1 + value_size + children_size;
}
constexpr std::size_t TextNodeSize(std::string_view key, std::string_view text) {
  return NodeSize(key, text.size() + 1, 0);
}
constexpr std::size_t StringTableSize(const VersionStrings& s) {
  return NodeSize("00000000", 0,
                  TextNodeSize("ProductName", s.product_name) + TextNodeSize("FileVersion", s.file_version) +
                      TextNodeSize("CompanyName", s.company_name));
}
constexpr std::size_t StringFileInfoSize(const VersionStrings& s) { return NodeSize("StringFileInfo", 0, StringTableSize(s)); }
constexpr std::size_t VarFileInfoSize(const VersionStrings& s) {
  return NodeSize("VarFileInfo", 0, s.with_translation ? NodeSize("Translation", 4, 0) : 0);
}

template <std::size_t N>
struct Writer {
  std::array<std::uint8_t, N> bytes{};
  std::size_t at = 0;

  constexpr void Word(std::size_t offset, std::size_t value) {
    bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[offset + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
  }
  constexpr void Text(std::string_view text) {
    for (char c : text) bytes[at++] = static_cast<std::uint8_t>(c);
    bytes[at++] = 0;
  }
  // Writes a node's header, key and value; its children follow. Returns where the node started.
  constexpr std::size_t Open(std::size_t node_size, std::string_view key, std::size_t value_size, std::uint16_t type) {
    const std::size_t start = at;
    Word(at, node_size);
    Word(at + 2, value_size);
    Word(at + 4, type);
    at += kNodeHeaderSize;
    Text(key);
    return start;
  }
  constexpr void TextNode(std::string_view key, std::string_view text) {
    Open(TextNodeSize(key, text), key, text.size() + 1, kTextValue);
    Text(text);
  }
};

}  // namespace detail

constexpr std::size_t VersionBlockSize(const VersionStrings& s) {
  return detail::NodeSize("VS_VERSION_INFO", 0, detail::StringFileInfoSize(s) + detail::VarFileInfoSize(s));
}

template <std::size_t N>
constexpr std::array<std::uint8_t, N> BuildVersionBlock(const VersionStrings& s) {
  static_assert(N <= kMaxBlockSize, "version resource too large");
  const std::array<char, 8> key = TranslationKeyDigits(s.language, s.code_page);
  const std::string_view key_text(key.data(), key.size());
  detail::Writer<N> w;
  w.Open(N, "VS_VERSION_INFO", 0, kBinaryValue);
  w.Open(detail::StringFileInfoSize(s), "StringFileInfo", 0, kTextValue);
  w.Open(detail::StringTableSize(s), key_text, 0, kTextValue);
  w.TextNode("ProductName", s.product_name);
  w.TextNode("FileVersion", s.file_version);
  w.TextNode("CompanyName", s.company_name);
  w.Open(detail::VarFileInfoSize(s), "VarFileInfo", 0, kBinaryValue);
  if (s.with_translation) {
    w.Open(detail::NodeSize("Translation", 4, 0), "Translation", 4, kBinaryValue);
    w.Word(w.at, s.language);
    w.Word(w.at + 2, s.code_page);
    w.at += 4;
  }
  return w.bytes;
}

}  // namespace tarnis::version_resource
