#pragma once
// The eight blank forms the device prints on, and the fixed properties of the six layout variants.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tarnis::constructor {

constexpr int kFormCount = 8;
constexpr int kVariantCount = 6;
constexpr int kRequisiteChoices = 8;  // requisite 1..8; 0 = none
constexpr int kMaxTypeSk = 3;

// Extra line printed on a blank.
enum class TypeSk : std::uint8_t { None = 0, Discount = 1, Tax = 2, Code = 3 };

// One blank form, four unsigned bytes in this order; values come from files and the device as
// they are, so readers check the ranges before using them.
struct BlankFormEntry {
  std::uint8_t programmed = 1;  // non-zero: the device holds this blank
  std::uint8_t variant = 0;     // 0 none, 1..6
  std::uint8_t requisite = 0;   // 0 none, 1..8 additional requisite of the configuration
  std::uint8_t typeSk = 0;      // TypeSk: 0 none, 1 discount, 2 tax, 3 code

  friend bool operator==(const BlankFormEntry&, const BlankFormEntry&) = default;
};
static_assert(sizeof(BlankFormEntry) == 4);

// Forms 1..8 at index form − 1; the configuration file stores these 32 bytes ahead of the record.
struct BlankFormTable {
  std::array<BlankFormEntry, kFormCount> entries{};

  // Form 1..8; nullptr for any other number.
  BlankFormEntry* Form(int form);
  const BlankFormEntry* Form(int form) const;

  friend bool operator==(const BlankFormTable&, const BlankFormTable&) = default;
};
static_assert(sizeof(BlankFormTable) == 32);
static_assert(alignof(BlankFormTable) == 1);

// Start values: every form programmed, nothing chosen.
void ResetBlankForms(BlankFormTable& table);

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
