#pragma once
// The device's 7-bit character set: Russian capitals at the places of KOI-7 N2, except Ъ at 0x5E.
#include <optional>
#include <string>
#include <string_view>

namespace tarnis::link {

// Windows-1251 → device, same length: ASCII stays, А..Я map to the device set, Ё becomes "e",
// every other byte from 0x80 up (lower-case Cyrillic among them) becomes a space.
std::string ToDeviceText(std::string_view display);

// Device → Windows-1251: 0x5E and 0x60..0x7E become capitals; a byte 0x80 ends the text.
std::string FromDeviceText(std::string_view device);

// A Windows-1251 text as the device holds it and gives it back: Ё as Е, a Latin small letter as
// the capital of the same place, a small Cyrillic letter as a blank.
std::string AsDeviceHolds(std::string_view display);

// The first character of a Windows-1251 text that the device holds as another, and that one.
struct CharacterChange {
  char written = 0;
  char held = 0;
};
std::optional<CharacterChange> FirstChangedCharacter(std::string_view display);
// "Ё будет записана как Е" (UTF-8) for that character; empty when the device holds the text as it is.
std::string HeldDifferentlyNotice(std::string_view display);

}  // namespace tarnis::link
