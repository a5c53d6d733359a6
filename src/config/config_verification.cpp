#include "config/config_verification.h"

#include <memory>

#include "config/config_transfer.h"
#include "config/configuration_states.h"
#include "config/parameter_exchange.h"

namespace tarnis::config {
namespace {

// A stored text always ends in a zero byte (SetFieldText), so a read that succeeds clears this
// mark on the field's last byte and one that fails leaves it.
constexpr char kUnreadMark = '\x01';

void MarkTexts(DeviceConfiguration& configuration, const std::vector<ParameterAddress>& addresses) {
  for (const ParameterAddress& address : addresses) ParameterAt(configuration, address)->text.back() = kUnreadMark;
}

std::vector<Difference> CompareRead(const DeviceConfiguration& expected, const DeviceConfiguration& scratch) {
  return CompareConfigurations(expected, scratch,
                               [](std::span<const char> field) { return field.back() == kUnreadMark; });
}

}  // namespace

Verification VerifyDevice(link::Link& link, ui::UserInterface& ui, const DeviceConfiguration& expected) {
  // The scratch record starts as the expected one, so the enabled bytes the read does not fetch
  // (requisites, and those of items whose texts failed) compare equal instead of inventing a
  // difference.
  auto scratch = std::make_unique<DeviceConfiguration>(expected);
  MarkTexts(*scratch, AllParameterAddresses());
  Verification verification;
  verification.complete = ReadAllFromDevice(link, ui, *scratch);
  verification.differences = CompareRead(expected, *scratch);
  return verification;
}

Verification VerifyTexts(link::Link& link, const DeviceConfiguration& expected,
                         const std::vector<ParameterAddress>& addresses) {
  Verification verification;
  const link::Link::Operation operation(link);
  if (!operation) return verification;
  auto scratch = std::make_unique<DeviceConfiguration>(expected);
  MarkTexts(*scratch, addresses);
  verification.complete = true;
  for (const ParameterAddress& address : addresses) {
    const auto reply = ExchangeConfigurationText(link, link::Mode::Read, *scratch, address, EnabledByte::Keep);
    verification.complete = verification.complete && reply.ok();
  }
  verification.differences = CompareRead(expected, *scratch);
  return verification;
}

}  // namespace tarnis::config
