#pragma once
// The program's name, version and company as the About window shows them, read from the version
// resource of a program file.
#include <optional>
#include <string>

namespace tarnis {

// Each engaged value replaces the text of its label; an empty optional leaves the label as it is.
struct ProgramIdentity {
  std::optional<std::string> product_name;
  std::optional<std::string> file_version;
  std::optional<std::string> company_name;
};

// A file without version information gives three empty texts; a block that cannot be fetched or
// has no translation table gives nothing; otherwise each value found under the first translation.
ProgramIdentity ReadProgramIdentity(const std::string& executable_path);

}  // namespace tarnis
