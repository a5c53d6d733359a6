#pragma once
// The cells of a wizard page's grid, as the page's algorithms see them: row 0 is the header row,
// column 0 the number column, texts are Windows-1251. The widget mirrors it through the observer.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnis::wizard {

class CellGrid {
 public:
  static constexpr int kAllCells = -1;

  CellGrid(int rows, int columns);

  int rows() const { return rows_; }
  int columns() const { return columns_; }
  bool Contains(int row, int column) const { return row >= 0 && row < rows_ && column >= 0 && column < columns_; }

  // Empty for a cell outside the grid.
  const std::string& Cell(int row, int column) const;
  // Ignored for a cell outside the grid.
  void SetCell(int row, int column, std::string text);

  // Calls the observer once for a whole refill, (kAllCells, kAllCells).
  template <typename Fill>
  void Refill(Fill&& fill) {
    refilling_ = true;
    fill();
    refilling_ = false;
    Notify(kAllCells, kAllCells);
  }

  // Called after every change: (row, column) of one cell, or (kAllCells, kAllCells).
  void SetObserver(std::function<void(int row, int column)> observer) { observer_ = std::move(observer); }

 private:
  void Notify(int row, int column) {
    if (observer_ && !refilling_) observer_(row, column);
  }

  int rows_;
  int columns_;
  std::vector<std::string> cells_;
  std::function<void(int, int)> observer_;
  bool refilling_ = false;
};

// The access column's texts: "да" / "нет" as the page fills them, "да." / "нет." after an
// operator write. Only the exact "нет" blocks a write.
const std::string& AccessText(bool enabled);
const std::string& AccessTextAfterWrite(bool enabled);
bool IsRefused(std::string_view access_cell);

}  // namespace tarnis::wizard
