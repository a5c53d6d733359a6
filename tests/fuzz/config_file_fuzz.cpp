// A configuration file image: refused unless whole, changing nothing; once taken, saved again to
// the very same bytes, and every blank form's preview is built within the record's bounds.
#include <algorithm>
#include <cstring>

#include "config/config_file.h"
#include "constructor/preview.h"
#include "fuzz_check.h"

using namespace tarnis;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constructor::BlankFormTable table;
  constructor::ResetBlankForms(table);
  static const config::DeviceConfiguration defaults = [] {
    config::DeviceConfiguration filled;
    config::FillDefaults(filled);
    return filled;
  }();
  config::DeviceConfiguration configuration = defaults;
  const constructor::BlankFormTable table_before = table;
  const config::DeviceConfiguration configuration_before = configuration;

  const std::span<const std::uint8_t> bytes(data, size);
  if (!config::DecodeConfigurationFile(bytes, table, configuration)) {
    FUZZ_CHECK(size != config::kConfigurationFileSize);
    FUZZ_CHECK(table == table_before);
    FUZZ_CHECK(std::memcmp(&configuration, &configuration_before, sizeof configuration) == 0);
    return 0;
  }
  const config::ConfigurationFileImage saved = config::EncodeConfigurationFile(table, configuration);
  FUZZ_CHECK(std::equal(saved.begin(), saved.end(), bytes.begin(), bytes.end()));
  for (int form = 1; form <= constructor::kFormCount; ++form)
    for (const std::string& line : constructor::PreviewLines(configuration, *table.Form(form)))
      FUZZ_CHECK(line.size() < 4096);
  return 0;
}
