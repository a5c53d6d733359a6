#pragma once
// The fixed properties of the six layout variants a blank form may use.
#include <array>
#include <cstdint>
#include <string_view>

#include "config/blank_form_table.h"

namespace tarnis::constructor {

// The table itself belongs to the configuration record; the constructor works in its terms.
using config::BlankFormEntry;
using config::BlankFormTable;
using config::kFormCount;
using config::kMaxTypeSk;
using config::kRequisiteChoices;
using config::ResetBlankForms;
using config::TypeSk;

constexpr int kVariantCount = 6;

// What a variant allows, as the page shows it (UTF-8 texts).
struct VariantLimitRow {
  std::string_view group;
  std::string_view services;
  std::string_view sumDigits;
  std::string_view requisite;  // "есть" / "нет"
  std::string_view discount;
  std::string_view tax;
  std::string_view code;
  std::string_view documents;
};

extern const std::array<VariantLimitRow, kVariantCount> VariantLimits;  // variants 1..6 at index v − 1

// The row a stored variant shows: "---" everywhere for 0, empty texts above 6.
const VariantLimitRow& LimitsOf(std::uint8_t variant);

// Which controls a variant opens; a variant outside 1..6 opens nothing.
bool VariantAllowsRequisite(std::uint8_t variant);  // 1, 3, 5, 6
bool VariantAllowsExtraLine(std::uint8_t variant);  // 1, 3, 6: discount and tax; code only with 3 and 6
bool VariantAllowsCode(std::uint8_t variant);  // 3, 6
bool IsKnownVariant(std::uint8_t variant);  // 1..6

}  // namespace tarnis::constructor
