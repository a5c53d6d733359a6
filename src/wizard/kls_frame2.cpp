#include "wizard/kls_frame2.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>

#include "wizard/cell_grid_widget.h"
#include "wizard/wizard_style.h"

namespace tarnis::wizard {

TKlsFrame2::TKlsFrame2(WizardContext& context, QWidget* parent)
    : ContentPageFrame("TKlsFrame2", "Далее>>>", context.single_page, parent),
      context_(context),
      page_(context.configuration, context.link, context.ui) {
  TitleLabel("Клише", kMaroon, this)->move(8, 4);
  const int bottom = PlaceLines(
      {"В КМ заложено 2 программируемых клише по 8 строк. Если первое клише хотя бы раз",
       "было использовано при печати ДСО (после ввода ИНН) - изменить его нельзя, может",
       "быть запрограммировано второе клише, а после того как и оно будет использовано",
       "при печати ДСО - изменить клише буде уже нельзя.", "",
       "Клише состоит из 8 строк: первые 5 - заголовок, последние 3 - окончание."},
      kMaroon, 8, 22, kTextWidth, this);

  StringGrid1 = new CellGridWidget(page_.grid(), {{20, "№"}, {400, "Значение"}}, this);
  QFont courier("Courier");
  courier.setStyleHint(QFont::TypeWriter);
  courier.setPixelSize(CellGridWidget::kFontPixelSize + 2);
  StringGrid1->setFont(courier);
  // All eight lines in view, under the header.
  StringGrid1->setGeometry(4, bottom + 4, StringGrid1->FittingWidth(),
                           2 * StringGrid1->frameWidth() + StringGrid1->horizontalHeader()->sizeHint().height() +
                               config::kClicheLineCount * CellGridWidget::kRowHeight);
  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName("ComboBox1");
  ComboBox1->addItems({"Клише 1", "Клише 2"});
  ComboBox1->setCurrentIndex(0);
  ComboBox1->setGeometry(8, kActionRowTop, 96, 25);

  connect(StringGrid1, &QTableWidget::cellDoubleClicked, this, &TKlsFrame2::StringGrid1DblClick);
  connect(BitBtn1, &QPushButton::clicked, this, &TKlsFrame2::BitBtn1Click);
  connect(BitBtn2, &QPushButton::clicked, this, &TKlsFrame2::BitBtn2Click);
}

int TKlsFrame2::ChosenCliche() const { return ComboBox1->currentIndex() + 1; }

void TKlsFrame2::FillPage(int cliche) {
  page_.Fill(cliche);
  ShowChosenCliche();
  ApplySinglePageRule();
}

void TKlsFrame2::ShowChosenCliche() { ComboBox1->setCurrentIndex(page_.shown() - 1); }

void TKlsFrame2::StringGrid1DblClick() {
  const int row = StringGrid1->selected_row();
  if (page_.EditorAt(StringGrid1->selected_column()) != CellEditor::Line) return;
  if (auto edited = context_.editors.line.EditLine(page_.LineAt(row))) page_.ApplyLine(row, *edited);
}

// The page shows the cliché it read or wrote, and the list names it.
void TKlsFrame2::BitBtn1Click() {
  page_.Read(ChosenCliche());
  ShowChosenCliche();
}

void TKlsFrame2::BitBtn2Click() {
  page_.Write(ChosenCliche());
  ShowChosenCliche();
}

}  // namespace tarnis::wizard
