#pragma once
// Windows-1251 is the code page of every text the device configuration, the files and the
// screen share; this is the one place where it meets UTF-8.
#include <optional>
#include <string>
#include <string_view>

namespace tarnis {

// Every Windows-1251 byte has a character (0x98, unassigned, maps to U+0098).
std::string Cp1251ToUtf8(std::string_view cp1251);

// As Cp1251ToUtf8, for a terminal: every control character (below 0x20, 0x7F and the C1 range
// U+0080..U+009F after decoding) becomes the visible placeholder U+FFFD, so that a text from a
// file cannot drive the terminal.
std::string Cp1251ToTerminalUtf8(std::string_view cp1251);
inline constexpr std::string_view kTerminalPlaceholder = "\xEF\xBF\xBD";
// The same for a UTF-8 text from outside (process names, USB strings): controls and bytes that
// are no UTF-8 become the placeholder; everything else stays as it is.
std::string TerminalSafeUtf8(std::string_view utf8);

// Returns nothing when the text is not valid UTF-8 or holds a character Windows-1251 lacks.
std::optional<std::string> Utf8ToCp1251(std::string_view utf8);

// As Utf8ToCp1251, with every character Windows-1251 lacks turned into '?'.
std::string Utf8ToCp1251Lossy(std::string_view utf8);

// Appends one Unicode code point as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

// True when every byte belongs to a well-formed UTF-8 sequence.
bool IsUtf8(std::string_view text);

// Capitalises Cyrillic and Latin letters of a Windows-1251 text (а..я → А..Я, ё → Ё).
std::string Cp1251ToUpper(std::string_view cp1251);

}  // namespace tarnis
