#pragma once
// Writes part of the configuration record: the texts edited since the device last held them, or
// any chosen texts, under the whole write's rules and with its windows and prompts.
#include <string>
#include <vector>

#include "config/configuration_states.h"
#include "config/device_configuration.h"
#include "link/link.h"
#include "ui/user_interface.h"

namespace tarnis::config {

// Writes the texts at addresses in the whole write's order and under its rules (an item disabled
// or an operator without a usable password is not written, nor a cliché the device refuses), with
// its caption, steps and prompts; each text written marks its field on the device, a failed one
// not written. Closes with "Записано изменений: N." or the failure list. True when it ran to its
// end. With written, the addresses of the texts the device took, in order.
bool WriteTextsToDevice(link::Link& link, ui::UserInterface& ui, DeviceConfiguration& configuration,
                        const std::vector<ParameterAddress>& addresses, ConfigurationStates& states,
                        std::vector<ParameterAddress>* written = nullptr);

// Writes only the texts edited or not written; "Изменений нет." when there is nothing to write.
bool WriteChangesToDevice(link::Link& link, ui::UserInterface& ui, DeviceConfiguration& configuration,
                          ConfigurationStates& states, std::vector<ParameterAddress>* written = nullptr);


}  // namespace tarnis::config
