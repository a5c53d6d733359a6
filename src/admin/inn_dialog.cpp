#include "admin/inn_dialog.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "ui/digit_key_filter.h"
#include "ui/qt_text.h"

namespace tarnis::admin {
namespace {

QLabel* MakeLabel(const QString& text, const char* name, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  return label;
}

void MakeBold(QLabel* label) {
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
}

QLineEdit* MakeNumberField(const char* name, int max_length, QWidget* parent) {
  auto* field = new QLineEdit("0", parent);
  field->setObjectName(name);
  field->setMaxLength(max_length);
  field->setFixedWidth(120);
  ui::InstallDigitKeyFilter(field);
  return field;
}

}  // namespace

TForm10::TForm10(link::Link& link, ui::UserInterface& ui, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      link_(link),
      ui_(ui) {
  setObjectName("Form10");
  setWindowTitle("Программирование ИНН....");

  Label1 = MakeLabel("Программирование ИНН", "Label1", this);
  MakeBold(Label1);
  Label2 = MakeLabel("Внимание!", "Label2", this);
  MakeBold(Label2);
  QPalette red = Label2->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  Label2->setPalette(red);
  Label9 = MakeLabel("Ввод ИИН переводит КМ в рабочий режим. Все формы БСО,", "Label9", this);
  Label3 = MakeLabel("которые были запрограммированы до ввода ИНН, при переходе КМ в рабочий", "Label3", this);
  Label4 = MakeLabel("режим автоматически будут удалены. Поэтому в рабочем режиме их нужно", "Label4", this);
  Label10 = MakeLabel("будет вводить заново (в соответствии с выбранной группой БСО). В рабочем", "Label10", this);
  Label11 = MakeLabel("режиме все печатаемые на ДСО данные (название ДСО, Ф.И.О. и должность", "Label11", this);
  Label12 = MakeLabel("операторов, клише, услуги и доп. реквизиты), а также формы БСО перепрог-", "Label12", this);
  Label13 = MakeLabel("раммировать будет уже нельзя!", "Label13", this);

  Label5 = MakeLabel("ИНН:", "Label5", this);
  Edit1 = MakeNumberField("Edit1", kInnMaxLength, this);
  Label6 = MakeLabel("Пароль:", "Label6", this);
  Edit2 = MakeNumberField("Edit2", kPasswordMaxLength, this);
  Label7 = MakeLabel("Дата:", "Label7", this);
  DateTimePicker1 = new QDateEdit(this);
  DateTimePicker1->setObjectName("DateTimePicker1");
  const QLocale russian(QLocale::Russian, QLocale::Russia);
  DateTimePicker1->setLocale(russian);
  DateTimePicker1->setDisplayFormat("d MMMM yyyy 'г.'");  // the long date without the weekday
  DateTimePicker1->setCalendarPopup(true);
  DateTimePicker1->setDateRange(QDate(kFirstInnYear, 1, 1), QDate(kLastInnYear, 12, 31));
  Label8 = MakeLabel("Группа:", "Label8", this);
  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName("ComboBox1");
  ComboBox1->addItems({"Группа 1", "Группа 2", "Группа 3"});
  ComboBox1->setCurrentIndex(0);

  Button2 = new QPushButton("Применить", this);
  Button2->setObjectName("Button2");
  Button2->setDefault(true);
  Button1 = new QPushButton("Отмена", this);
  Button1->setObjectName("Button1");
  connect(Button2, &QPushButton::clicked, this, &TForm10::Button2Click);
  connect(Button1, &QPushButton::clicked, this, &TForm10::Button1Click);

  auto* warning_start = new QHBoxLayout;
  warning_start->setSpacing(4);
  warning_start->addWidget(Label2);
  warning_start->addWidget(Label9);
  warning_start->addStretch(1);
  auto* warning = new QVBoxLayout;
  warning->setSpacing(0);
  warning->addLayout(warning_start);
  for (QLabel* line : {Label3, Label4, Label10, Label11, Label12, Label13}) warning->addWidget(line);

  auto* fields = new QGridLayout;
  const std::pair<QLabel*, QWidget*> rows[] = {
      {Label5, Edit1}, {Label6, Edit2}, {Label7, DateTimePicker1}, {Label8, ComboBox1}};
  int row = 0;
  for (const auto& [caption, field] : rows) {
    fields->addWidget(caption, row, 0);
    fields->addWidget(field, row, 1, Qt::AlignLeft);
    ++row;
  }
  fields->setColumnStretch(2, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Button2);
  buttons->addWidget(Button1);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1, 0, Qt::AlignHCenter);
  layout->addLayout(warning);
  layout->addSpacing(6);
  layout->addLayout(fields);
  layout->addSpacing(6);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TForm10::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) FormShow();
}

void TForm10::FormShow() { DateTimePicker1->setDate(QDate::currentDate()); }

InnForm TForm10::Form() const {
  InnForm form;
  form.inn_text = ui::ToUtf8(Edit1->text());
  form.password_text = ui::ToUtf8(Edit2->text());
  const QDate date = DateTimePicker1->date();
  form.year = date.year();
  form.month = date.month();
  form.day = date.day();
  form.group_index = ComboBox1->currentIndex();
  return form;
}

void TForm10::Button2Click() {
  const InnApplyResult result = ApplyInnForm(link_, ui_, Form());
  if (result.close_dialog) {
    accept();
    return;
  }
  if (QWidget* field = FieldWidget(result.focus)) field->setFocus();
}

void TForm10::Button1Click() { reject(); }

QWidget* TForm10::FieldWidget(InnField field) const {
  switch (field) {
    case InnField::Inn: return Edit1;
    case InnField::Password: return Edit2;
    case InnField::Date: return DateTimePicker1;
    case InnField::Group: return ComboBox1;
    case InnField::None: return nullptr;
  }
  return nullptr;
}

}  // namespace tarnis::admin
