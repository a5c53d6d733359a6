#pragma once
// The frame of a table page (services, additional requisites): title, StringGrid1, "Текущий",
// read, write and clear. TUslFrame and TKlsFrame configure it with their own layout.
#include <vector>

#include "wizard/cell_grid_widget.h"
#include "wizard/table_page.h"
#include "wizard/wizard_context.h"
#include "wizard/wizard_page_frame.h"

class QCheckBox;

namespace tarnis::wizard {

struct TablePageLayout {
  const TablePageKind& kind;
  QString object_name;
  QString title;
  QColor title_color;
  std::vector<GridColumn> columns;
};

class TablePageFrame : public ContentPageFrame {
  Q_OBJECT
 public:
  void FillPage();
  void StringGrid1DblClick();
  void BitBtn1Click();
  void BitBtn2Click();
  void BitBtn3Click();

  TablePage& page() { return page_; }

  CellGridWidget* StringGrid1 = nullptr;
  QCheckBox* CheckBox1 = nullptr;  // "Текущий"
  QPushButton* BitBtn3 = nullptr;  // "Очистить поля"

 protected:
  TablePageFrame(const TablePageLayout& layout, WizardContext& context, QWidget* parent);

 private:
  WizardContext& context_;
  TablePage page_;
};

}  // namespace tarnis::wizard
