#include "wizard/data_oper_frame.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "wizard/cell_grid_widget.h"
#include "wizard/wizard_style.h"

namespace tarnis::wizard {

TDataOperFrame::TDataOperFrame(WizardContext& context, QWidget* parent)
    : ContentPageFrame("TDataOperFrame", "Далее >>>", context.single_page, parent),
      context_(context),
      page_(context.configuration, context.link, context.ui) {
  TitleLabel("Данные операторов", kMaroon, this)->move(8, 4);
  const int below = PlaceLines({"Программируемые данные оператора включают в себя должность, фамилию, имя,",
              "отчество и пароль. Должность и Ф.И.О. печатаются в окончании документа. Если",
              "данные не запрограммированны, то на документах на месте должности  и Ф.И.О",
              "оператора будет напечатано указание на обязательный ввод этих данных."},
             kMaroon, 8, 24, kTextWidth, this);
  StringGrid1 = new CellGridWidget(
      page_.grid(), {{25, "№"}, {125, "Должность"}, {125, "Ф.И.О."}, {100, "Пароль"}, {60, "Дост."}}, this);
  StringGrid1->setGeometry(4, below + 4, StringGrid1->FittingWidth(), kActionRowTop - 6 - (below + 4));
  CheckBox1 = new QCheckBox("Текущий", this);
  CheckBox1->setObjectName("CheckBox1");
  CheckBox1->setChecked(true);
  CheckBox1->setGeometry(8, kActionRowTop + 3, 98, 20);
  BitBtn3 = new QPushButton("Очистить поля", this);
  BitBtn3->setObjectName("BitBtn3");
  BitBtn3->setGeometry(342, kActionRowTop, 112, 25);

  connect(StringGrid1, &QTableWidget::cellDoubleClicked, this, &TDataOperFrame::StringGrid1DblClick);
  connect(BitBtn1, &QPushButton::clicked, this, &TDataOperFrame::BitBtn1Click);
  connect(BitBtn2, &QPushButton::clicked, this, &TDataOperFrame::BitBtn2Click);
  connect(BitBtn3, &QPushButton::clicked, this, &TDataOperFrame::BitBtn3Click);
}

void TDataOperFrame::FillPage() {
  page_.Fill();
  ApplySinglePageRule();
}

void TDataOperFrame::StringGrid1DblClick() {
  const int row = StringGrid1->selected_row();
  const int column = StringGrid1->selected_column();
  switch (page_.EditorAt(column)) {
    case CellEditor::Line:
      if (auto edited = context_.editors.line.EditLine(page_.LineAt(row, column))) page_.ApplyLine(row, column, *edited);
      break;
    case CellEditor::Number:
      if (auto edited = context_.editors.number.EditNumber(page_.PasswordAt(row))) page_.ApplyPassword(row, *edited);
      break;
    case CellEditor::None:
      break;
  }
}

void TDataOperFrame::BitBtn1Click() { page_.Read(CheckBox1->isChecked(), StringGrid1->selected_row()); }

void TDataOperFrame::BitBtn2Click() { page_.Write(CheckBox1->isChecked(), StringGrid1->selected_row()); }

void TDataOperFrame::BitBtn3Click() { page_.Clear(); }

}  // namespace tarnis::wizard
