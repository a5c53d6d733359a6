#include "wizard/dco_frame.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "ui/qt_text.h"
#include "wizard/capitals_validator.h"
#include "wizard/wizard_style.h"

namespace tarnis::wizard {

TDcoFrame::TDcoFrame(WizardContext& context, QWidget* parent)
    : ContentPageFrame("TDcoFrame", "Далее >>>", context.single_page, parent),
      page_(context.configuration, context.link, context.ui) {
  TitleLabel("Название ДСО", kMaroon, this)->move(8, 4);
  const int below = PlaceLines({"По умолчанию название ДСО - \"КВИТАНЦИЯ\", печатаемое посередине строки",
              "широким шрифтом. Название ДСО печатается на каждом документе и на каждой",
              "его копии. В учебном режиме есть возможность запрограммировать другое",
              "название документа."},
             kMaroon, 8, 24, kTextWidth, this);
  auto* label = new QLabel("ДСО:", this);
  const int row = below + 24;
  label->setGeometry(8, row, 36, 22);
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  Edit1->setMaxLength(static_cast<int>(config::ConfigText::kNarrowLimit));
  Edit1->setValidator(new CapitalsValidator(Edit1));
  Edit1->setGeometry(46, row, 280, 22);
  CheckBox1 = new QCheckBox("Широкий", this);
  CheckBox1->setObjectName("CheckBox1");
  CheckBox1->setGeometry(340, row + 1, 110, 20);

  connect(Edit1, &QLineEdit::textChanged, this, &TDcoFrame::Edit1Change);
  connect(CheckBox1, &QCheckBox::toggled, this, &TDcoFrame::CheckBox1Click);
  connect(BitBtn1, &QPushButton::clicked, this, &TDcoFrame::BitBtn1Click);
  connect(BitBtn2, &QPushButton::clicked, this, &TDcoFrame::BitBtn2Click);
}

void TDcoFrame::FillPage() {
  // The controls show what is stored; showing it must not store it again (a stored text longer
  // than its width allows would be cut).
  const LineValue shown = page_.Shown();
  {
    const QSignalBlocker block_box(CheckBox1);
    const QSignalBlocker block_edit(Edit1);
    CheckBox1->setChecked(shown.wide);
    Edit1->setText(ui::FromCp1251(shown.text));
  }
  ApplySinglePageRule();
}

void TDcoFrame::StoreControls() { page_.Store({ui::ToCp1251Lossy(Edit1->text()), CheckBox1->isChecked()}); }

void TDcoFrame::Edit1Change() { StoreControls(); }

void TDcoFrame::CheckBox1Click() { StoreControls(); }

void TDcoFrame::BitBtn1Click() {
  page_.Read([this] { Edit1->clear(); }, [this] { FillPage(); });
}

void TDcoFrame::BitBtn2Click() { page_.Write(); }

}  // namespace tarnis::wizard
