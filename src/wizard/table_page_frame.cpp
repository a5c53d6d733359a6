#include "wizard/table_page_frame.h"

#include "wizard/wizard_style.h"

namespace tarnis::wizard {

TablePageFrame::TablePageFrame(const TablePageLayout& layout, WizardContext& context, QWidget* parent)
    : GridPageFrame(layout.object_name, context, parent),
      page_(layout.kind, context.configuration, context.link, context.ui) {
  TitleLabel(layout.title, layout.title_color, this)->move(8, 4);
  PlaceGrid(page_, layout.columns, 26);
}

void TablePageFrame::StringGrid1DblClick() {
  const int column = StringGrid1->selected_column();
  if (page_.EditorAt(column) == CellEditor::Line) EditLine(page_, StringGrid1->selected_row(), column);
}

}  // namespace tarnis::wizard
