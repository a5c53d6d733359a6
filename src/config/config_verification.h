#pragma once
// Compares the device with a configuration: the whole read (the same requests, prompts and
// progress) into a scratch record, then the comparison. The given record is never changed.
#include <vector>

#include "config/config_comparison.h"
#include "link/link.h"
#include "ui/user_interface.h"

namespace tarnis::config {

struct Verification {
  bool complete = false;  // the read went through every section
  // In the program's record first, in the device second; a text the read could not fetch is
  // reported as kUnreadValue.
  std::vector<Difference> differences;
};

Verification VerifyDevice(link::Link& link, ui::UserInterface& ui, const DeviceConfiguration& expected);

// Reads back just the texts at addresses, one request each with no prompt, and compares them
// with expected; complete when every read went through. A busy link reads nothing.
Verification VerifyTexts(link::Link& link, const DeviceConfiguration& expected,
                         const std::vector<ParameterAddress>& addresses);

}  // namespace tarnis::config
