#include "link/device_charset.h"

#include <array>
#include <cstdint>

#include "platform/cp1251_codec.h"

namespace tarnis::link {
namespace {

// Device bytes of А..Я in order.
constexpr std::string_view kCapitals = "abwgdevzijklmnoprstufhc~{}^yx|`q";

constexpr std::array<std::uint8_t, 128> BuildReverse() {
  std::array<std::uint8_t, 128> table{};
  for (std::size_t i = 0; i < kCapitals.size(); ++i)
    table[static_cast<std::uint8_t>(kCapitals[i])] = static_cast<std::uint8_t>(0xC0 + i);
  return table;
}
constexpr auto kDeviceToCapital = BuildReverse();

}  // namespace

std::string ToDeviceText(std::string_view display) {
  std::string out(display.size(), '\0');
  for (std::size_t i = 0; i < display.size(); ++i) {
    const auto byte = static_cast<std::uint8_t>(display[i]);
    if (byte < 0x80) out[i] = display[i];
    else if (byte >= 0xC0 && byte <= 0xDF) out[i] = kCapitals[byte - 0xC0];
    else if (byte == 0xA8) out[i] = 'e';
    else out[i] = ' ';
  }
  return out;
}

std::string FromDeviceText(std::string_view device) {
  std::string out;
  out.reserve(device.size());
  for (const char c : device) {
    const auto byte = static_cast<std::uint8_t>(c);
    if (byte == 0x80) break;
    if (byte < 0x80 && kDeviceToCapital[byte] != 0) out += static_cast<char>(kDeviceToCapital[byte]);
    else out += c;
  }
  return out;
}

std::string AsDeviceHolds(std::string_view display) { return FromDeviceText(ToDeviceText(display)); }

std::optional<CharacterChange> FirstChangedCharacter(std::string_view display) {
  for (const char c : display) {
    const std::string held = AsDeviceHolds(std::string_view(&c, 1));
    if (held.size() == 1 && held[0] != c) return CharacterChange{c, held[0]};
  }
  return std::nullopt;
}

std::string HeldDifferentlyNotice(std::string_view display) {
  const auto change = FirstChangedCharacter(display);
  if (!change) return {};
  return Cp1251ToUtf8(std::string_view(&change->written, 1)) + " будет записана как " +
         Cp1251ToUtf8(std::string_view(&change->held, 1));
}

}  // namespace tarnis::link
