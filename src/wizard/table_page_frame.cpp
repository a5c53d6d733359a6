#include "wizard/table_page_frame.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "wizard/wizard_style.h"

namespace tarnis::wizard {

TablePageFrame::TablePageFrame(const TablePageLayout& layout, WizardContext& context, QWidget* parent)
    : ContentPageFrame(layout.object_name, "Далее >>>", context.single_page, parent),
      context_(context),
      page_(layout.kind, context.configuration, context.link, context.ui) {
  TitleLabel(layout.title, layout.title_color, this)->move(8, 4);
  StringGrid1 = new CellGridWidget(page_.grid(), layout.columns, this);
  StringGrid1->setGeometry(4, 26, StringGrid1->FittingWidth(), 238);
  CheckBox1 = new QCheckBox("Текущий", this);
  CheckBox1->setObjectName("CheckBox1");
  CheckBox1->setChecked(true);
  CheckBox1->setGeometry(8, kActionRowTop + 3, 98, 20);
  BitBtn3 = new QPushButton("Очистить поля", this);
  BitBtn3->setObjectName("BitBtn3");
  BitBtn3->setGeometry(342, kActionRowTop, 112, 25);

  connect(StringGrid1, &QTableWidget::cellDoubleClicked, this, &TablePageFrame::StringGrid1DblClick);
  connect(BitBtn1, &QPushButton::clicked, this, &TablePageFrame::BitBtn1Click);
  connect(BitBtn2, &QPushButton::clicked, this, &TablePageFrame::BitBtn2Click);
  connect(BitBtn3, &QPushButton::clicked, this, &TablePageFrame::BitBtn3Click);
}

void TablePageFrame::FillPage() {
  page_.Fill();
  ApplySinglePageRule();
}

void TablePageFrame::StringGrid1DblClick() {
  const int row = StringGrid1->selected_row();
  const int column = StringGrid1->selected_column();
  if (page_.EditorAt(column) != CellEditor::Line) return;
  if (auto edited = context_.editors.line.EditLine(page_.LineAt(row, column))) page_.ApplyLine(row, column, *edited);
}

void TablePageFrame::BitBtn1Click() { page_.Read(CheckBox1->isChecked(), StringGrid1->selected_row()); }

void TablePageFrame::BitBtn2Click() { page_.Write(CheckBox1->isChecked(), StringGrid1->selected_row()); }

void TablePageFrame::BitBtn3Click() { page_.Clear(); }

}  // namespace tarnis::wizard
