#pragma once
// The readable form of a configuration file: UTF-8 JSON with the blank forms by form number, then
// operators, document name, services, requisites and clichés; every text as a string with its
// width beside it, passwords as text, enabled bytes as booleans. A file the program saved goes to
// JSON and back byte for byte; the README describes the format.
#include <string>
#include <string_view>
#include <vector>

#include "config/device_configuration.h"
#include "config/blank_form_table.h"

namespace tarnis::config {

inline constexpr const char* kJsonFormatName = "tarnis-configuration";
inline constexpr int kJsonFormatVersion = 1;

struct JsonExport {
  std::string json;  // UTF-8, ends with a line break
  // What the JSON does not carry or what an import would refuse, each "$.path: what".
  std::vector<std::string> warnings;
};

JsonExport ConfigurationToJson(const BlankFormTable& table, const DeviceConfiguration& configuration);

struct JsonImport {
  bool ok = false;
  std::string error;  // the first problem, "$.path: what", when not ok
  // Texts the device holds otherwise, each "$.path: Ё будет записана как Е"; imported as they are.
  std::vector<std::string> warnings;
  BlankFormTable table{};
  DeviceConfiguration configuration{};
};

// Checks the whole document before it builds anything: unknown or missing keys, wrong types,
// texts too long for their field or width or not in Windows-1251, numbers out of range.
JsonImport ConfigurationFromJson(std::string_view json);

}  // namespace tarnis::config
