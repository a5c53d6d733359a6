#include "wizard/cell_editors.h"

#include "link/device_charset.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "config/device_configuration.h"
#include "ui/digit_key_filter.h"
#include "ui/qt_text.h"
#include "wizard/capitals_validator.h"
#include "wizard/wizard_style.h"

namespace tarnis::wizard {

CellEditorDialog::CellEditorDialog(const QString& caption, QSize client_size, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setWindowTitle(caption);
  setFixedSize(client_size);
  setModal(true);
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  Button1 = new QPushButton("Применить", this);
  Button1->setObjectName("Button1");
  Button2 = new QPushButton("Отмена", this);
  Button2->setObjectName("Button2");
  // Enter applies, whichever control has the focus; Escape cancels (reject).
  Button1->setAutoDefault(false);
  Button2->setAutoDefault(false);
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, &CellEditorDialog::Apply);
  connect(Button2, &QPushButton::clicked, this, &CellEditorDialog::reject);
}

void CellEditorDialog::Apply() {
  result_flag_ = 1;
  done(QDialog::Accepted);
}

void CellEditorDialog::reject() {
  result_flag_ = 0;
  QDialog::reject();
}

bool CellEditorDialog::Run() {
  result_flag_ = 0;
  exec();
  return result_flag_ == 1;
}

void CellEditorDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Edit1->setFocus();
}

TForm6::TForm6(QWidget* parent) : CellEditorDialog("Редактирование строки...", QSize(346, 133), parent) {
  setObjectName("TForm6");
  std::vector<QLabel*> lines;
  PlaceLines({"Все программируемые строки имеют длину до 24 символов",
              "узким шрифтом или до 12 символов широким шрифтом."},
             kMaroon, 8, 6, 330, this, &lines);
  Label2 = lines[0];
  Label3 = lines[1];
  Label2->setObjectName("Label2");
  Label3->setObjectName("Label3");
  Edit1->setMaxLength(static_cast<int>(config::ConfigText::kNarrowLimit));
  Edit1->setValidator(new CapitalsValidator(Edit1));
  QFont courier("Courier");
  courier.setStyleHint(QFont::TypeWriter);
  courier.setPixelSize(16);
  Edit1->setFont(courier);
  Edit1->setGeometry(8, 44, 330, 26);
  CheckBox1 = new QCheckBox("Широкий", this);
  CheckBox1->setObjectName("CheckBox1");
  CheckBox1->setGeometry(8, 78, 120, 20);
  Button1->setGeometry(150, 102, 90, 25);
  Button2->setGeometry(248, 102, 90, 25);

  LengthCount = new QLabel(this);
  LengthCount->setObjectName("LengthCount");
  LengthCount->setGeometry(130, 72, 208, 14);
  LengthWarning = new QLabel(this);
  LengthWarning->setObjectName("LengthWarning");
  LengthWarning->setGeometry(130, 86, 208, 14);
  for (QLabel* label : {LengthCount, LengthWarning}) {
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont small = label->font();
    small.setPixelSize(11);
    label->setFont(small);
  }
  LengthWarning->setStyleSheet("color: #c00000");
  connect(Edit1, &QLineEdit::textChanged, this, &TForm6::ShowLength);
  connect(CheckBox1, &QCheckBox::toggled, this, &TForm6::ShowLength);
  ShowLength();
}

void TForm6::ShowLength() {
  const auto limit = static_cast<qsizetype>(config::ConfigText::BodyLimit(
      CheckBox1->isChecked() ? config::ConfigText::kWide : config::ConfigText::kNarrow));
  const qsizetype length = Edit1->text().size();
  const bool over = length > limit;
  LengthCount->setText(QString("%1 / %2").arg(length).arg(limit));
  LengthCount->setStyleSheet(over ? "color: #c00000; font-weight: bold" : "");
  // Past the width the length says more; otherwise a character the device keeps as another.
  const std::string held = link::HeldDifferentlyNotice(ui::ToCp1251Lossy(Edit1->text()));
  LengthWarning->setText(over ? QString("будет напечатано %1 символов").arg(limit) : QString::fromStdString(held));
}

std::optional<LineValue> TForm6::EditLine(const LineValue& line) {
  Edit1->setText(ui::FromCp1251(line.text));
  CheckBox1->setChecked(line.wide);
  if (!Run()) return std::nullopt;
  return LineValue{ui::ToCp1251Lossy(Edit1->text()), CheckBox1->isChecked()};
}

TForm7::TForm7(QWidget* parent) : CellEditorDialog("Редактирование числа....", QSize(331, 79), parent) {
  setObjectName("TForm7");
  Edit1->setMaxLength(4);
  ui::InstallDigitKeyFilter(Edit1);
  Edit1->setGeometry(8, 10, 315, 24);
  Button1->setGeometry(135, 46, 90, 25);
  Button2->setGeometry(233, 46, 90, 25);
}

std::optional<std::string> TForm7::EditNumber(const std::string& number) {
  Edit1->setText(ui::FromCp1251(number));
  if (!Run()) return std::nullopt;
  return ui::ToCp1251Lossy(Edit1->text());
}

}  // namespace tarnis::wizard
