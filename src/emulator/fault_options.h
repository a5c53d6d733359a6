#pragma once
// Faults as the emulator's command line names them.
#include <optional>
#include <string>
#include <string_view>

#include "emulator/km07_device.h"

namespace tarnis::emulator {

// "<command>[:<address>]=<code>": command parameter, blank, inn, goods or status; the address
// of a parameter is table[.row[.field]], of a blank its number, of goods the record; the code
// is 0..255. For example parameter:4.1=51, goods:5=59, status=35.
std::optional<ForcedError> ParseForcedError(std::string_view text);

// "<table>.<row>" of the parameter map, e.g. 0.5 for operator 5.
std::optional<std::pair<std::uint8_t, std::uint8_t>> ParseItemAddress(std::string_view text);

// A whole decimal number from 0 to limit.
std::optional<std::uint64_t> ParseNumber(std::string_view text, std::uint64_t limit);

// A probability written as a decimal fraction from 0 to 1, e.g. 0.05.
std::optional<double> ParseProbability(std::string_view text);

}  // namespace tarnis::emulator
