#include "goods/goods_scope.h"

#include "goods/goods_row.h"

namespace tarnis::goods {
namespace {

// Large enough for any code and any mistyped end; a longer text is no number at all.
constexpr std::uint64_t kRangeNumberMax = 1'000'000'000;

RangeCheck Refused(std::string error, RangeField focus) {
  RangeCheck check;
  check.error = std::move(error);
  check.focus = focus;
  return check;
}

}  // namespace

GoodsScope ChooseScope(bool current_checked, bool range_checked, int selected_code, std::string first_text,
                       std::string last_text, bool changed_checked) {
  GoodsScope scope;
  scope.selected_code = selected_code;
  if (current_checked) {
    scope.kind = GoodsScope::Kind::Selected;
  } else if (changed_checked) {
    scope.kind = GoodsScope::Kind::Changed;
  } else if (range_checked) {
    scope.kind = GoodsScope::Kind::Range;
    scope.first = std::move(first_text);
    scope.last = std::move(last_text);
  }
  return scope;
}

RangeCheck CheckRange(std::string_view first_text, std::string_view last_text) {
  if (first_text.empty()) return Refused("Не задано начало диапазона... ", RangeField::First);
  if (last_text.empty()) return Refused("Не задан конец диапазона... ", RangeField::Last);
  // The end is checked before the start is looked at: an end beyond 1000 is reported first.
  const auto last = DecimalCell(last_text, kRangeNumberMax);
  if (!last || *last > static_cast<std::uint64_t>(kLastGoodsCode))
    return Refused("Неверный конец диапазона... ", last ? RangeField::None : RangeField::Last);
  const auto first = DecimalCell(first_text, kRangeNumberMax);
  if (!first) return Refused("Неверное начало диапазона... ", RangeField::First);
  if (*last < *first) return Refused("Неверно задан диапазон... ", RangeField::None);
  RangeCheck check;
  check.first = static_cast<int>(*first);
  check.last = static_cast<int>(*last);
  return check;
}

}  // namespace tarnis::goods
