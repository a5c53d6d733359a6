#include "config/parameter_exchange.h"

#include <string>

#include "link/device_charset.h"
#include "link/device_errors.h"

namespace tarnis::config {

link::ParameterReply ExchangeConfigurationText(link::Link& link, link::Mode mode, DeviceConfiguration& configuration,
                                               ParameterAddress address, EnabledByte enabled) {
  const auto target = ParameterAt(configuration, address);
  if (!target) {
    link::ParameterReply refused;
    refused.result = link::LinkResult::BadSettings;
    return refused;
  }
  const std::string sent = mode == link::Mode::Write ? link::ToDeviceText(FieldText(target->text)) : std::string();
  link::ParameterReply reply = link::ExchangeParameter(link, mode, address.table, address.row, address.field, sent);
  if (enabled == EnabledByte::Take && target->enabled && reply.attribute && !link::NotAddressedHere(reply))
    *target->enabled = *reply.attribute;
  if (mode == link::Mode::Read && reply.ok()) SetFieldText(target->text, link::FromDeviceText(reply.text));
  return reply;
}

}  // namespace tarnis::config
