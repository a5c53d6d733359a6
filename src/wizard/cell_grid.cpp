#include "wizard/cell_grid.h"

#include "platform/cp1251_codec.h"

namespace tarnis::wizard {

CellGrid::CellGrid(int rows, int columns)
    : rows_(rows), columns_(columns), cells_(static_cast<std::size_t>(rows * columns)) {}

const std::string& CellGrid::Cell(int row, int column) const {
  static const std::string kNone;
  if (!Contains(row, column)) return kNone;
  return cells_[static_cast<std::size_t>(row * columns_ + column)];
}

void CellGrid::SetCell(int row, int column, std::string text) {
  if (!Contains(row, column)) return;
  cells_[static_cast<std::size_t>(row * columns_ + column)] = std::move(text);
  Notify(row, column);
}

const std::string& AccessText(bool enabled) {
  static const std::string kYes = Utf8ToCp1251Lossy("да");
  static const std::string kNo = Utf8ToCp1251Lossy("нет");
  return enabled ? kYes : kNo;
}

const std::string& AccessTextAfterWrite(bool enabled) {
  static const std::string kYes = Utf8ToCp1251Lossy("да.");
  static const std::string kNo = Utf8ToCp1251Lossy("нет.");
  return enabled ? kYes : kNo;
}

bool IsRefused(std::string_view access_cell) { return access_cell == AccessText(false); }

}  // namespace tarnis::wizard
