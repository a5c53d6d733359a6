#include "platform/cp1251_codec.h"

#include <array>
#include <cstdint>

namespace tarnis {
namespace {

// Unicode code points of Windows-1251 bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F.
constexpr std::array<char16_t, 64> kUpperHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

char32_t ToCodePoint(unsigned char byte) {
  if (byte < 0x80) return byte;
  if (byte >= 0xC0) return 0x0410 + (byte - 0xC0);
  return kUpperHalf[byte - 0x80];
}

std::optional<unsigned char> FromCodePoint(char32_t cp) {
  if (cp < 0x80) return static_cast<unsigned char>(cp);
  if (cp >= 0x0410 && cp <= 0x044F) return static_cast<unsigned char>(0xC0 + (cp - 0x0410));
  for (std::size_t i = 0; i < kUpperHalf.size(); ++i)
    if (kUpperHalf[i] == cp) return static_cast<unsigned char>(0x80 + i);
  return std::nullopt;
}

}  // namespace

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

namespace {

// Decodes one UTF-8 sequence at text[pos]; advances pos. Nothing for a malformed sequence.
std::optional<char32_t> NextCodePoint(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  int extra = 0;
  char32_t cp = 0;
  if (lead < 0x80) {
    cp = lead;
  } else if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    cp = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    cp = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    cp = lead & 0x07;
  } else {
    return std::nullopt;
  }
  if (pos + extra >= text.size()) return std::nullopt;
  for (int i = 1; i <= extra; ++i) {
    const auto next = static_cast<unsigned char>(text[pos + i]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    cp = (cp << 6) | (next & 0x3F);
  }
  // Only the shortest form is UTF-8: "C0 80" must not sneak a NUL past a check for one.
  static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
  if (cp < kLeast[extra] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return std::nullopt;
  pos += 1 + extra;
  return cp;
}

template <typename OnMissing>
std::optional<std::string> Encode(std::string_view utf8, OnMissing on_missing) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const auto cp = NextCodePoint(utf8, pos);
    if (!cp) {
      if (!on_missing(out)) return std::nullopt;
      ++pos;
      continue;
    }
    if (const auto byte = FromCodePoint(*cp)) {
      out += static_cast<char>(*byte);
    } else if (!on_missing(out)) {
      return std::nullopt;
    }
  }
  return out;
}

}  // namespace

std::string Cp1251ToUtf8(std::string_view cp1251) {
  std::string out;
  out.reserve(cp1251.size() * 2);
  for (const char c : cp1251) AppendUtf8(out, ToCodePoint(static_cast<unsigned char>(c)));
  return out;
}

std::string Cp1251ToTerminalUtf8(std::string_view cp1251) {
  std::string out;
  out.reserve(cp1251.size() * 2);
  for (const char c : cp1251) {
    const char32_t cp = ToCodePoint(static_cast<unsigned char>(c));
    const bool control = cp < 0x20 || (cp >= 0x7F && cp <= 0x9F);
    if (control) out += kTerminalPlaceholder;
    else AppendUtf8(out, cp);
  }
  return out;
}

std::string TerminalSafeUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  std::size_t pos = 0;
  while (pos < utf8.size()) {
    const std::size_t start = pos;
    const auto cp = NextCodePoint(utf8, pos);
    if (!cp) {
      out += kTerminalPlaceholder;
      ++pos;
    } else if (*cp < 0x20 || (*cp >= 0x7F && *cp <= 0x9F)) {
      out += kTerminalPlaceholder;
    } else {
      out += utf8.substr(start, pos - start);
    }
  }
  return out;
}

std::optional<std::string> Utf8ToCp1251(std::string_view utf8) {
  return Encode(utf8, [](std::string&) { return false; });
}

std::string Utf8ToCp1251Lossy(std::string_view utf8) {
  return *Encode(utf8, [](std::string& out) {
    out += '?';
    return true;
  });
}

bool IsUtf8(std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size())
    if (!NextCodePoint(text, pos)) return false;
  return true;
}

std::string Cp1251ToUpper(std::string_view cp1251) {
  std::string out(cp1251);
  for (char& c : out) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0xE0) c = static_cast<char>(byte - 0x20);
    else if (byte == 0xB8) c = static_cast<char>(0xA8);
    else if (byte >= 'a' && byte <= 'z') c = static_cast<char>(byte - 0x20);
  }
  return out;
}

}  // namespace tarnis
