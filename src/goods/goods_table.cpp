#include "goods/goods_table.h"

namespace tarnis::goods {

GoodsTable::GoodsTable() {
  for (int code = 0; code < kGoodsRecordCount; ++code) rows_[static_cast<std::size_t>(code)] = EmptyGoodsRow(code);
  device_ = saved_ = rows_;
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

void GoodsTable::Load(const std::array<GoodsRow, kGoodsRecordCount>& rows) {
  device_ = saved_ = rows;
  not_written_.reset();
  Assign(rows);
}

RecordState GoodsTable::state(int code) const {
  const auto index = static_cast<std::size_t>(code);
  if (not_written_.test(index)) return RecordState::NotWritten;
  return rows_.at(index) == device_[index] ? RecordState::OnDevice : RecordState::Edited;
}

int GoodsTable::ChangedCount() const {
  int count = 0;
  for (int code = 0; code < kGoodsRecordCount; ++code) count += state(code) != RecordState::OnDevice;
  return count;
}

void GoodsTable::MarkOnDevice(int code) {
  const auto index = static_cast<std::size_t>(code);
  device_.at(index) = rows_[index];
  not_written_.reset(index);
  Changed(code, code);
}

void GoodsTable::MarkNotWritten(int code) {
  not_written_.set(static_cast<std::size_t>(code));
  Changed(code, code);
}

bool GoodsTable::HasUnsavedEdits() const {
  for (int code = 0; code < kGoodsRecordCount; ++code)
    if (state(code) != RecordState::OnDevice && rows_[static_cast<std::size_t>(code)] != saved_[static_cast<std::size_t>(code)])
      return true;
  return false;
}

void GoodsTable::Changed(int first, int last) {
  if (observer_) observer_(first, last);
}

}  // namespace tarnis::goods
