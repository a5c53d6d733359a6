#pragma once
// The text preview of a printed blank: the configuration's texts around fixed sample lines that
// stand for what the device fills in when it prints. Lines are Windows-1251, spaces counted.
#include <string>
#include <vector>

#include "config/device_configuration.h"
#include "constructor/blank_forms.h"

namespace tarnis::constructor {

// A stored line as it prints: attribute '0' gives up to 24 characters of the text; any other
// attribute up to 12, each followed by a blank. An empty text gives "".
std::string RenderStoredLine(const config::ConfigText& line);

// The lines of the blank printed for entry with the texts of configuration. Stored lines with an
// empty text give no line; values out of range add no requisite and no extra line.
std::vector<std::string> PreviewLines(const config::DeviceConfiguration& configuration, const BlankFormEntry& entry);

}  // namespace tarnis::constructor
