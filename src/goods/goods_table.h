#pragma once
// The goods base as the page shows it: 1001 rows, row i holding the record with code i. It is
// the program's only copy of the base; an observer hears of every change so a view can follow.
// Each record also has a state: on the device (as read or written, or as a loaded file holds it),
// edited since, or not written (its write failed or was stopped).
#include <array>
#include <bitset>
#include <functional>

#include "goods/goods_row.h"

namespace tarnis::goods {

enum class RecordState { OnDevice, Edited, NotWritten };

class GoodsTable {
 public:
  GoodsTable();  // every row empty

  const GoodsRow& row(int code) const { return rows_.at(static_cast<std::size_t>(code)); }
  void SetRow(int code, GoodsRow row);
  void SetCell(int code, GoodsColumn column, std::string text);
  // Every row back to the empty row of its code.
  void Reset();
  // All rows at once, as an import sets them: each row that differs is an edit.
  void Assign(const std::array<GoodsRow, kGoodsRecordCount>& rows);
  // All rows of a loaded file: nothing edited, nothing unsaved.
  void Load(const std::array<GoodsRow, kGoodsRecordCount>& rows);

  RecordState state(int code) const;
  // Records edited or not written.
  int ChangedCount() const;
  // After a read or write of the record went through (a failed read too: what the row then holds
  // is no edit of the user's).
  void MarkOnDevice(int code);
  void MarkNotWritten(int code);
  // The rows were saved to a file.
  void MarkSaved() { saved_ = rows_; }
  // Some record is neither on the device nor in the file last saved or loaded.
  bool HasUnsavedEdits() const;

  // Called with the first and last code whose rows changed.
  using Observer = std::function<void(int first, int last)>;
  void SetObserver(Observer observer) { observer_ = std::move(observer); }

 private:
  void Changed(int first, int last);

  std::array<GoodsRow, kGoodsRecordCount> rows_;
  std::array<GoodsRow, kGoodsRecordCount> device_;  // what the device is taken to hold
  std::array<GoodsRow, kGoodsRecordCount> saved_;
  std::bitset<kGoodsRecordCount> not_written_;
  Observer observer_;
};

}  // namespace tarnis::goods
