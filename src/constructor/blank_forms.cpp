#include "constructor/blank_forms.h"

namespace tarnis::constructor {

const std::array<VariantLimitRow, kVariantCount> VariantLimits = {{
    {"2", "1", "9", "есть", "есть", "есть", "нет", "2350000"},
    {"1", "1", "6", "нет", "нет", "нет", "нет", "3240000"},
    {"3", "2", "9", "есть", "есть", "есть", "есть", "1620000"},
    {"2", "2", "6", "нет", "нет", "нет", "нет", "2350000"},
    {"3", "3", "7", "есть", "нет", "нет", "нет", "1620000"},
    {"3", "3", "7", "есть", "есть", "есть", "есть", "1620000"},
}};

namespace {
constexpr VariantLimitRow kNoVariant{"---", "---", "---", "---", "---", "---", "---", "---"};
constexpr VariantLimitRow kUnknownVariant{};
}  // namespace

bool IsKnownVariant(std::uint8_t variant) { return variant >= 1 && variant <= kVariantCount; }

const VariantLimitRow& LimitsOf(std::uint8_t variant) {
  if (variant == 0) return kNoVariant;
  if (!IsKnownVariant(variant)) return kUnknownVariant;
  return VariantLimits[variant - 1];
}

bool VariantAllowsRequisite(std::uint8_t variant) {
  return variant == 1 || variant == 3 || variant == 5 || variant == 6;
}

bool VariantAllowsExtraLine(std::uint8_t variant) { return variant == 1 || variant == 3 || variant == 6; }

bool VariantAllowsCode(std::uint8_t variant) { return variant == 3 || variant == 6; }

}  // namespace tarnis::constructor
