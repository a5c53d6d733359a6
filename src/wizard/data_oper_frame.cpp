#include "wizard/data_oper_frame.h"

#include "wizard/wizard_style.h"

namespace tarnis::wizard {

TDataOperFrame::TDataOperFrame(WizardContext& context, QWidget* parent)
    : GridPageFrame("TDataOperFrame", context, parent), page_(context.configuration, context.link, context.ui) {
  TitleLabel("Данные операторов", kMaroon, this)->move(8, 4);
  const int below = PlaceLines({"Программируемые данные оператора включают в себя должность, фамилию, имя,",
                                "отчество и пароль. Должность и Ф.И.О. печатаются в окончании документа. Если",
                                "данные не запрограммированны, то на документах на месте должности  и Ф.И.О",
                                "оператора будет напечатано указание на обязательный ввод этих данных."},
                               kMaroon, 8, 24, kTextWidth, this);
  PlaceGrid(page_, {{25, "№"}, {125, "Должность"}, {125, "Ф.И.О."}, {100, "Пароль"}, {60, "Дост."}}, below + 4);
}

void TDataOperFrame::StringGrid1DblClick() {
  const int row = StringGrid1->selected_row();
  const int column = StringGrid1->selected_column();
  switch (page_.EditorAt(column)) {
    case CellEditor::Line:
      EditLine(page_, row, column);
      break;
    case CellEditor::Number:
      if (auto edited = context_.editors.number.EditNumber(page_.PasswordAt(row))) page_.ApplyPassword(row, *edited);
      break;
    case CellEditor::None:
      break;
  }
}

}  // namespace tarnis::wizard
