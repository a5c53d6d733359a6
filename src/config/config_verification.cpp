#include "config/config_verification.h"

#include <memory>

#include "config/config_transfer.h"

namespace tarnis::config {
namespace {

// A stored text always ends in a zero byte (SetFieldText), so a read that succeeds clears this
// mark on the field's last byte and one that fails leaves it.
constexpr char kUnreadMark = '\x01';

void MarkEveryText(DeviceConfiguration& configuration) {
  for (const SectionMap& map : kParameterMap) {
    for (int row = 1; row <= map.rows; ++row) {
      for (int field = 1; field <= map.fields; ++field) {
        const auto target = ParameterAt(
            configuration, {map.table, static_cast<std::uint8_t>(row), static_cast<std::uint8_t>(field)});
        target->text.back() = kUnreadMark;
      }
    }
  }
}

}  // namespace

Verification VerifyDevice(link::Link& link, ui::UserInterface& ui, const DeviceConfiguration& expected) {
  // The scratch record starts as the expected one, so the enabled bytes the read does not fetch
  // (requisites, and those of items whose texts failed) compare equal instead of inventing a
  // difference.
  auto scratch = std::make_unique<DeviceConfiguration>(expected);
  MarkEveryText(*scratch);
  Verification verification;
  verification.complete = ReadAllFromDevice(link, ui, *scratch);
  verification.differences = CompareConfigurations(
      expected, *scratch, [](std::span<const char> field) { return field.back() == kUnreadMark; });
  return verification;
}

}  // namespace tarnis::config
