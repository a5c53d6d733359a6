#pragma once
// A content page whose items sit in StringGrid1 (operators, services, additional requisites):
// "Текущий" chooses the selected item or all items for reading and writing, "Очистить поля"
// empties the items that may be changed, a double-click edits the selected cell.
#include <vector>

#include "wizard/cell_grid_widget.h"
#include "wizard/item_page.h"
#include "wizard/wizard_context.h"
#include "wizard/wizard_page_frame.h"

class QCheckBox;

namespace tarnis::wizard {

class GridPageFrame : public ContentPageFrame {
  Q_OBJECT
 public:
  void FillPage();
  virtual void StringGrid1DblClick() = 0;
  void BitBtn1Click();
  void BitBtn2Click();
  void BitBtn3Click();

  CellGridWidget* StringGrid1 = nullptr;
  QCheckBox* CheckBox1 = nullptr;  // "Текущий"
  QPushButton* BitBtn3 = nullptr;  // "Очистить поля"

 protected:
  GridPageFrame(const QString& object_name, WizardContext& context, QWidget* parent);
  // Shows page's cells in StringGrid1 from top down to the buttons and connects the handlers.
  void PlaceGrid(ItemPage& page, const std::vector<GridColumn>& columns, int top);
  // The line editor on cell (row, column) of page; the cell and the record change only when the
  // edit is applied.
  template <class Page>
  void EditLine(Page& page, int row, int column) {
    if (auto edited = context_.editors.line.EditLine(page.LineAt(row, column))) page.ApplyLine(row, column, *edited);
  }

  WizardContext& context_;

 private:
  ItemPage* page_ = nullptr;
};

}  // namespace tarnis::wizard
