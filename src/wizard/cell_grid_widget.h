#pragma once
// StringGrid1 of a wizard page: a QTableWidget that mirrors a CellGrid (its row 0 becomes the
// header, its column 0 the grey number column), rows 18 pixels high, whole-row selection, and the
// selected cell counted as the page counts it (rows from 1).
#include <QTableWidget>
#include <vector>

#include "wizard/cell_grid.h"

namespace tarnis::wizard {

struct GridColumn {
  int width;
  QString header;
};

class CellGridWidget : public QTableWidget {
  Q_OBJECT
 public:
  static constexpr int kRowHeight = 18;
  static constexpr int kFontPixelSize = 11;

  CellGridWidget(CellGrid& grid, const std::vector<GridColumn>& columns, QWidget* parent);

  // The last cell selected; row 1, column 1 at first.
  int selected_row() const { return selected_row_; }
  int selected_column() const { return selected_column_; }
  // Selects a cell as the user would (row from 1).
  void SelectCell(int row, int column);

  // Width that shows every column beside a vertical scroll bar.
  int FittingWidth() const;

 private:
  // Every refill puts the column widths and headers back, whatever the user dragged them to.
  void ApplyColumns();
  void Mirror(int row, int column);
  void MirrorAll();
  static void Show(QTableWidgetItem* cell, const std::string& text);

  CellGrid& grid_;
  std::vector<GridColumn> columns_;
  int selected_row_ = 1;
  int selected_column_ = 1;
};

}  // namespace tarnis::wizard
