#pragma once
// One configuration text moved between the record and the device, through the parameter map.
#include "config/device_configuration.h"
#include "link/commands.h"

namespace tarnis::config {

enum class EnabledByte { Take, Keep };

// One request for the text at address. A read stores the text into its field on Ok; a write
// sends the field converted to the device charset. The answer's attribute byte becomes the
// item's enabled byte where the map gives one, unless told to keep it or the device refused the
// request as addressed to another device (errors 50 and 55). An address outside the
// map sends nothing and returns BadSettings.
link::ParameterReply ExchangeConfigurationText(link::Link& link, link::Mode mode, DeviceConfiguration& configuration,
                                               ParameterAddress address, EnabledByte enabled = EnabledByte::Take);

}  // namespace tarnis::config
