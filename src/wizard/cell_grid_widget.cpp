#include "wizard/cell_grid_widget.h"

#include <QHeaderView>
#include <QScrollBar>

#include "ui/grid_keys.h"
#include "ui/qt_text.h"

namespace tarnis::wizard {

CellGridWidget::CellGridWidget(CellGrid& grid, const std::vector<GridColumn>& columns, QWidget* parent)
    : QTableWidget(grid.rows() - 1, grid.columns(), parent), grid_(grid), columns_(columns) {
  setObjectName("StringGrid1");
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  ui::InstallGridKeys(this);
  setWordWrap(false);
  // The grid's own size, as small as the page's texts, so that the fixed column widths show
  // whole lines.
  QFont small = font();
  small.setPixelSize(kFontPixelSize);
  small.setStretch(QFont::SemiCondensed);
  setFont(small);
  verticalHeader()->hide();
  verticalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setDefaultSectionSize(kRowHeight);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setMinimumSectionSize(1);
  ApplyColumns();

  const QBrush fixed = palette().button();
  for (int row = 0; row < rowCount(); ++row) {
    for (int column = 0; column < columnCount(); ++column) {
      auto* item = new QTableWidgetItem;
      if (column == 0) {
        item->setFlags(Qt::ItemIsEnabled);
        item->setBackground(fixed);
      } else {
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
      }
      setItem(row, column, item);
    }
  }
  grid_.SetObserver([this](int row, int column) { Mirror(row, column); });
  MirrorAll();
  connect(this, &QTableWidget::currentCellChanged, this, [this](int row, int column, int, int) {
    if (row < 0 || column < 0) return;
    selected_row_ = row + 1;
    selected_column_ = column;
  });
  SelectCell(1, 1);
}

void CellGridWidget::SelectCell(int row, int column) { setCurrentCell(row - 1, column); }

void CellGridWidget::ApplyColumns() {
  QStringList headers;
  for (int column = 0; column < columnCount() && column < static_cast<int>(columns_.size()); ++column) {
    setColumnWidth(column, columns_[static_cast<std::size_t>(column)].width);
    headers << columns_[static_cast<std::size_t>(column)].header;
  }
  setHorizontalHeaderLabels(headers);
}

int CellGridWidget::FittingWidth() const {
  int width = 2 * frameWidth() + verticalScrollBar()->sizeHint().width();
  for (int column = 0; column < columnCount(); ++column) width += columnWidth(column);
  return width;
}

void CellGridWidget::Mirror(int row, int column) {
  if (row == CellGrid::kAllCells) {
    ApplyColumns();
    return MirrorAll();
  }
  if (row < 1 || row > rowCount() || column < 0 || column >= columnCount()) return;
  Show(item(row - 1, column), grid_.Cell(row, column));
}

// A text wider than its column is cut on screen; the tip shows it whole.
void CellGridWidget::Show(QTableWidgetItem* cell, const std::string& text) {
  const QString shown = ui::FromCp1251(text);
  cell->setText(shown);
  cell->setToolTip(shown);
}

void CellGridWidget::MirrorAll() {
  for (int row = 1; row <= rowCount(); ++row)
    for (int column = 0; column < columnCount(); ++column)
      Show(item(row - 1, column), grid_.Cell(row, column));
}

}  // namespace tarnis::wizard
