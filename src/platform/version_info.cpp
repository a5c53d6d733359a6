#include "platform/version_info.h"

#include <elf.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <vector>

#include "platform/version_resource.h"

namespace tarnis::version_info {

namespace {

using version_resource::kNodeHeaderSize;

class FileReader {
 public:
  explicit FileReader(const std::string& path) : file_(path, std::ios::binary | std::ios::ate) {
    if (file_) size_ = static_cast<std::uint64_t>(std::max<std::streamoff>(file_.tellg(), 0));
  }
  std::uint64_t size() const { return size_; }

  bool Read(std::uint64_t offset, void* out, std::uint64_t count) {
    if (!file_ || offset > size_ || count > size_ - offset) return false;
    file_.seekg(static_cast<std::streamoff>(offset));
    return static_cast<bool>(file_.read(static_cast<char*>(out), static_cast<std::streamsize>(count)));
  }

 private:
  std::ifstream file_;
  std::uint64_t size_ = 0;
};

struct Section {
  std::uint64_t offset = 0;
  std::uint64_t size = 0;
};

// The version section of a little-endian 64-bit ELF file.
std::optional<Section> FindVersionSection(FileReader& file) {
  Elf64_Ehdr header;
  if (!file.Read(0, &header, sizeof header)) return std::nullopt;
  if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64 ||
      header.e_ident[EI_DATA] != ELFDATA2LSB || header.e_shentsize != sizeof(Elf64_Shdr) ||
      header.e_shnum == 0 || header.e_shstrndx >= header.e_shnum) {
    return std::nullopt;
  }
  std::vector<Elf64_Shdr> sections(header.e_shnum);
  if (!file.Read(header.e_shoff, sections.data(), sections.size() * sizeof(Elf64_Shdr))) return std::nullopt;

  const Elf64_Shdr& names_header = sections[header.e_shstrndx];
  if (names_header.sh_type != SHT_STRTAB || names_header.sh_size > file.size()) return std::nullopt;
  std::vector<char> names(names_header.sh_size);
  if (!file.Read(names_header.sh_offset, names.data(), names.size())) return std::nullopt;

  const std::string_view wanted = version_resource::kSectionName;
  for (const Elf64_Shdr& section : sections) {
    if (section.sh_name >= names.size()) continue;
    const char* name = names.data() + section.sh_name;
    const std::size_t name_length = strnlen(name, names.size() - section.sh_name);
    if (std::string_view(name, name_length) != wanted || section.sh_type == SHT_NOBITS) continue;
    return Section{section.sh_offset, section.sh_size};
  }
  return std::nullopt;
}

struct Node {
  std::size_t length = 0;
  std::string_view key;
  std::span<const std::uint8_t> value;
  std::span<const std::uint8_t> children;
};

std::uint16_t Word(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

// The node at the start of bytes, when it lies wholly within them.
std::optional<Node> ParseNode(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < kNodeHeaderSize) return std::nullopt;
  const std::size_t length = Word(bytes, 0);
  const std::size_t value_length = Word(bytes, 2);
  if (length < kNodeHeaderSize || length > bytes.size()) return std::nullopt;
  const std::span<const std::uint8_t> node = bytes.first(length);
  const auto key_begin = node.begin() + kNodeHeaderSize;
  const auto key_end = std::find(key_begin, node.end(), std::uint8_t{0});
  if (key_end == node.end()) return std::nullopt;
  const std::size_t value_offset = static_cast<std::size_t>(key_end - node.begin()) + 1;
  if (value_length > length - value_offset) return std::nullopt;
  Node parsed;
  parsed.length = length;
  parsed.key = std::string_view(reinterpret_cast<const char*>(&*key_begin), static_cast<std::size_t>(key_end - key_begin));
  parsed.value = node.subspan(value_offset, value_length);
  parsed.children = node.subspan(value_offset + value_length);
  return parsed;
}

bool SameKey(std::string_view a, std::string_view b) {
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

std::optional<Node> FindChild(const Node& parent, std::string_view key) {
  std::span<const std::uint8_t> rest = parent.children;
  while (!rest.empty()) {
    const std::optional<Node> child = ParseNode(rest);
    if (!child) return std::nullopt;
    if (SameKey(child->key, key)) return child;
    rest = rest.subspan(child->length);
  }
  return std::nullopt;
}

// The block of a file, when its root node is well formed.
std::optional<std::vector<std::uint8_t>> ReadBlock(const std::string& path) {
  FileReader file(path);
  const std::optional<Section> section = FindVersionSection(file);
  if (!section || section->size < kNodeHeaderSize || section->size > version_resource::kMaxBlockSize) {
    return std::nullopt;
  }
  std::vector<std::uint8_t> block(section->size);
  if (!file.Read(section->offset, block.data(), block.size())) return std::nullopt;
  const std::optional<Node> root = ParseNode(block);
  if (!root) return std::nullopt;
  block.resize(root->length);
  return block;
}

}  // namespace

std::uint32_t VersionInfoSize(const std::string& path) {
  const auto block = ReadBlock(path);
  return block ? static_cast<std::uint32_t>(block->size()) : 0;
}

bool FetchVersionInfo(const std::string& path, std::span<std::uint8_t> block) {
  const auto read = ReadBlock(path);
  if (!read || read->size() > block.size()) return false;
  std::copy(read->begin(), read->end(), block.begin());
  return true;
}

std::optional<std::span<const std::uint8_t>> QueryVersionValue(std::span<const std::uint8_t> block,
                                                               std::string_view sub_block) {
  std::optional<Node> node = ParseNode(block);
  while (node && !sub_block.empty()) {
    const std::size_t start = sub_block.find_first_not_of('\\');
    if (start == std::string_view::npos) break;
    sub_block.remove_prefix(start);
    const std::size_t end = std::min(sub_block.find('\\'), sub_block.size());
    node = FindChild(*node, sub_block.substr(0, end));
    sub_block.remove_prefix(end);
  }
  if (!node) return std::nullopt;
  return node->value;
}

std::string ValueText(std::span<const std::uint8_t> value) {
  const auto end = std::find(value.begin(), value.end(), std::uint8_t{0});
  return std::string(value.begin(), end);
}

std::string TranslationKey(std::uint16_t language, std::uint16_t code_page) {
  const auto digits = version_resource::TranslationKeyDigits(language, code_page);
  return std::string(digits.begin(), digits.end());
}

}  // namespace tarnis::version_info
