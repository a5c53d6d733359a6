#pragma once
// The device's 7-bit character set: Russian capitals at the places of KOI-7 N2, except Ъ at 0x5E.
#include <string>
#include <string_view>

namespace tarnis::link {

// Windows-1251 → device, same length: ASCII stays, А..Я map to the device set, Ё becomes "e",
// every other byte from 0x80 up (lower-case Cyrillic among them) becomes a space.
std::string ToDeviceText(std::string_view display);

// Device → Windows-1251: 0x5E and 0x60..0x7E become capitals; a byte 0x80 ends the text.
std::string FromDeviceText(std::string_view device);

}  // namespace tarnis::link
