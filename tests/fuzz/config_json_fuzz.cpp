// A JSON configuration: refused with the path of the first problem, or taken; what was taken
// exports without a warning and imports again to the very same file bytes.
#include <algorithm>
#include <string_view>

#include "config/config_file.h"
#include "config/config_json.h"
#include "fuzz_check.h"

using namespace tarnis;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view json(reinterpret_cast<const char*>(data), size);
  const config::JsonImport imported = config::ConfigurationFromJson(json);
  if (!imported.ok) {
    FUZZ_CHECK(imported.error.rfind("$", 0) == 0);
    return 0;
  }
  const config::JsonExport exported = config::ConfigurationToJson(imported.table, imported.configuration);
  FUZZ_CHECK(exported.warnings.empty());
  const config::JsonImport again = config::ConfigurationFromJson(exported.json);
  FUZZ_CHECK(again.ok);
  const auto first = config::EncodeConfigurationFile(imported.table, imported.configuration);
  const auto second = config::EncodeConfigurationFile(again.table, again.configuration);
  FUZZ_CHECK(first == second);
  FUZZ_CHECK(config::ConfigurationToJson(again.table, again.configuration).json == exported.json);
  return 0;
}
