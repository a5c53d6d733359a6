#pragma once
// The goods base as the page shows it: 1001 rows, row i holding the record with code i. It is
// the program's only copy of the base; an observer hears of every change so a view can follow.
#include <array>
#include <functional>

#include "goods/goods_row.h"

namespace tarnis::goods {

class GoodsTable {
 public:
  GoodsTable();  // every row empty

  const GoodsRow& row(int code) const { return rows_.at(static_cast<std::size_t>(code)); }
  void SetRow(int code, GoodsRow row);
  void SetCell(int code, GoodsColumn column, std::string text);
  // Every row back to the empty row of its code.
  void Reset();
  // All rows at once, as a file load or an import sets them.
  void Assign(const std::array<GoodsRow, kGoodsRecordCount>& rows);

  // Called with the first and last code whose rows changed.
  using Observer = std::function<void(int first, int last)>;
  void SetObserver(Observer observer) { observer_ = std::move(observer); }

 private:
  void Changed(int first, int last);

  std::array<GoodsRow, kGoodsRecordCount> rows_;
  Observer observer_;
};

}  // namespace tarnis::goods
