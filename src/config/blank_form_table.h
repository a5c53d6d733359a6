#pragma once
// The 32-byte table of the eight blank forms: which forms the device holds and how each is laid out.
// The configuration file stores it ahead of the record; the constructor edits it.
#include <array>
#include <cstddef>
#include <cstdint>

namespace tarnis::config {

constexpr int kFormCount = 8;
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

// Forms 1..8 at index form − 1.
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

}  // namespace tarnis::config
