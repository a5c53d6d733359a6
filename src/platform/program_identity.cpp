#include "platform/program_identity.h"

#include <vector>

#include "platform/version_info.h"

namespace tarnis {

ProgramIdentity ReadProgramIdentity(const std::string& executable_path) {
  namespace vi = version_info;
  ProgramIdentity identity;
  const std::uint32_t size = vi::VersionInfoSize(executable_path);
  if (size == 0) {
    identity.product_name = identity.file_version = identity.company_name = std::string();
    return identity;
  }
  std::vector<std::uint8_t> block(size);
  if (!vi::FetchVersionInfo(executable_path, block)) return identity;

  const auto translation = vi::QueryVersionValue(block, "\\VarFileInfo\\Translation");
  if (!translation || translation->size() < 4) return identity;
  const auto word = [&](std::size_t at) {
    return static_cast<std::uint16_t>((*translation)[at] | ((*translation)[at + 1] << 8));
  };
  const std::string table = "\\StringFileInfo\\" + vi::TranslationKey(word(0), word(2)) + "\\";

  const auto text = [&](const char* name) -> std::optional<std::string> {
    const auto value = vi::QueryVersionValue(block, table + name);
    if (!value) return std::nullopt;
    return vi::ValueText(*value);
  };
  identity.product_name = text("ProductName");
  identity.file_version = text("FileVersion");
  identity.company_name = text("CompanyName");
  return identity;
}

}  // namespace tarnis
