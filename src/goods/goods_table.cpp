#include "goods/goods_table.h"

namespace tarnis::goods {

GoodsTable::GoodsTable() {
  for (int code = 0; code < kGoodsRecordCount; ++code) rows_[static_cast<std::size_t>(code)] = EmptyGoodsRow(code);
}

void GoodsTable::SetRow(int code, GoodsRow row) {
  rows_.at(static_cast<std::size_t>(code)) = std::move(row);
  Changed(code, code);
}

void GoodsTable::SetCell(int code, GoodsColumn column, std::string text) {
  rows_.at(static_cast<std::size_t>(code)).cell(column) = std::move(text);
  Changed(code, code);
}

void GoodsTable::Reset() {
  for (int code = 0; code < kGoodsRecordCount; ++code) rows_[static_cast<std::size_t>(code)] = EmptyGoodsRow(code);
  Changed(0, kLastGoodsCode);
}

void GoodsTable::Assign(const std::array<GoodsRow, kGoodsRecordCount>& rows) {
  rows_ = rows;
  Changed(0, kLastGoodsCode);
}

void GoodsTable::Changed(int first, int last) {
  if (observer_) observer_(first, last);
}

}  // namespace tarnis::goods
