#pragma once
#include <cstdint>
#include <string>

#include "link/link_result.h"

namespace tarnis::link {

constexpr std::uint8_t kErrorBadParameter = 51;  // also how the device refuses a cliché
constexpr std::uint8_t kErrorRecordInUse = 52;
constexpr std::uint8_t kErrorInnAlreadySet = 53;
constexpr std::uint8_t kErrorFactoryNumberMismatch = 55;
constexpr std::uint8_t kErrorFactoryNumberNotSet = 50;
constexpr std::uint8_t kErrorInterface = 20;
constexpr std::uint8_t kErrorChecksum = 21;
constexpr std::uint8_t kErrorCommand = 22;
constexpr std::uint8_t kErrorPriceTooWide = 59;

// Errors 50 and 55: the device took the request as not addressed to it (its factory number is not
// set, or is another), so nothing in the answer speaks about the item asked for.
bool NotAddressedHere(const CommandResult& result);

// Errors 20, 21 and 22: the request reached the device damaged (interface, checksum, start byte or
// command), so the device did nothing with it, and it may be sent again.
bool DamagedOnTheLine(const CommandResult& result);

// The device's own message for an error code (UTF-8); unknown codes read "(NN)Неизвестный код ошибки.".
std::string DeviceErrorText(std::uint8_t code);

}  // namespace tarnis::link
