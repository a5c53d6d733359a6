#pragma once
// The frame of a table page (services, additional requisites): title, StringGrid1, "Текущий",
// read, write and clear. TUslFrame and TKlsFrame configure it with their own layout.
#include <vector>

#include "wizard/grid_page_frame.h"
#include "wizard/table_page.h"

namespace tarnis::wizard {

struct TablePageLayout {
  const TablePageKind& kind;
  QString object_name;
  QString title;
  QColor title_color;
  std::vector<GridColumn> columns;
};

class TablePageFrame : public GridPageFrame {
  Q_OBJECT
 public:
  void StringGrid1DblClick() override;

  TablePage& page() { return page_; }

 protected:
  TablePageFrame(const TablePageLayout& layout, WizardContext& context, QWidget* parent);

 private:
  TablePage page_;
};

}  // namespace tarnis::wizard
