#pragma once
// What the JSON form of a configuration accepts, shared by its writer and its reader so that an
// export warns about exactly what an import would refuse.
#include <array>
#include <cstddef>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "config/device_configuration.h"
#include "config/blank_form_table.h"

namespace tarnis::config::json_rules {

inline constexpr const char* kWidthNone = "none";  // an empty field: no attribute, no text
inline constexpr const char* kWidthNarrow = "narrow";
inline constexpr const char* kWidthWide = "wide";

// Extra line of a blank form by typeSk.
inline constexpr std::array<const char*, kMaxTypeSk + 1> kExtraLines{"none", "discount", "tax", "code"};

inline constexpr int kPasswordLimit = static_cast<int>(PasswordText::kSize) - 1;

// Why a text of this width cannot be stored, or nothing. body is Windows-1251.
inline std::optional<std::string> TextProblem(std::string_view width, std::string_view body) {
  // Control characters (Windows-1251 0x98 is U+0098) would reach the printer and terminals.
  for (const char c : body) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F || byte == 0x98) {
      char code[8];
      std::snprintf(code, sizeof code, "%04X", byte);
      return std::string("a text cannot hold the character U+") + code;
    }
  }
  if (width == kWidthNone) {
    if (!body.empty()) return std::string("a text with width \"none\" must be empty");
    return std::nullopt;
  }
  const bool wide = width == kWidthWide;
  const std::size_t limit = ConfigText::BodyLimit(wide ? ConfigText::kWide : ConfigText::kNarrow);
  if (body.size() > limit)
    return std::to_string(body.size()) + " characters, a " + std::string(wide ? "wide" : "narrow") +
           " text holds at most " + std::to_string(limit);
  return std::nullopt;
}

inline std::optional<std::string> NumberProblem(long long value, int low, int high) {
  if (value < low || value > high)
    return std::to_string(value) + " is outside " + std::to_string(low) + ".." + std::to_string(high);
  return std::nullopt;
}

inline constexpr int kMaxVariant = 6;  // layout variants 1..6
inline constexpr int kMaxRequisite = kRequisiteChoices;

}  // namespace tarnis::config::json_rules
