#pragma once
// Which records a read or write of the goods page covers, and the check of the range fields.
#include <optional>
#include <string>
#include <string_view>

namespace tarnis::goods {

struct GoodsScope {
  enum class Kind { Selected, Range, All, Changed };  // Changed: the records edited or not written
  Kind kind = Kind::All;
  int selected_code = 0;    // Selected: the code of the selected row
  std::string first, last;  // Range: the texts of the two range fields
};

// "Текущий" wins over "Изменённые", which wins over "Диапазон"; with none, every code.
GoodsScope ChooseScope(bool current_checked, bool range_checked, int selected_code, std::string first_text,
                       std::string last_text, bool changed_checked = false);

enum class RangeField { None, First, Last };

struct RangeCheck {
  int first = 0;
  int last = 0;
  std::string error;                     // UTF-8; empty when the range is good
  RangeField focus = RangeField::None;   // the field to put the focus on after the error
  bool ok() const { return error.empty(); }
};

// Empty start, empty end, an end that is not a number or beyond 1000, a start that is not a
// number, an end before the start: checked in this order.
RangeCheck CheckRange(std::string_view first_text, std::string_view last_text);

}  // namespace tarnis::goods
