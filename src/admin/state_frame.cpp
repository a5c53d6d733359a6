#include "admin/state_frame.h"

#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "link/link.h"
#include "ui/qt_text.h"
#include "ui/user_interface.h"

namespace tarnis::admin {
namespace {

constexpr int kNumberWidth = 110;
constexpr int kTextWidth = 110;

QLineEdit* MakeField(const char* name, int width, QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(name);
  field->setFixedWidth(width);
  field->setReadOnly(true);
  // Display fields are drawn in the window's background colour.
  QPalette colours = field->palette();
  colours.setColor(QPalette::Base, colours.color(QPalette::Window));
  field->setPalette(colours);
  return field;
}

}  // namespace

TStateFrame::TStateFrame(link::Link& link, ui::UserInterface& ui, QWidget* parent)
    : QFrame(parent), link_(link), ui_(ui) {
  setObjectName("StateFrame");

  Label1 = new QLabel("Запрос состояния", this);
  Label1->setObjectName("Label1");
  QFont title = Label1->font();
  title.setBold(true);
  title.setPointSizeF(title.pointSizeF() * 1.3);
  Label1->setFont(title);

  BitBtn1 = new QPushButton("Состояние", this);
  BitBtn1->setObjectName("BitBtn1");
  BitBtn1->setMinimumWidth(110);
  BitBtn1->setShortcut(Qt::Key_F5);  // refresh, as everywhere
  connect(BitBtn1, &QPushButton::clicked, this, &TStateFrame::BitBtn1Click);

  GroupBox1 = new QGroupBox(this);
  GroupBox1->setObjectName("GroupBox1");
  auto* grid = new QGridLayout(GroupBox1);
  grid->setHorizontalSpacing(10);
  int row = 0;
  auto add_row = [&](QLabel*& caption, const char* caption_name, const char* text, QLineEdit* number,
                     QLineEdit* value) {
    caption = new QLabel(text, GroupBox1);
    caption->setObjectName(caption_name);
    grid->addWidget(caption, row, 0);
    if (number) grid->addWidget(number, row, 1);
    if (value) grid->addWidget(value, row, 2);
    ++row;
  };
  Edit11 = MakeField("Edit11", kNumberWidth, GroupBox1);
  Edit12 = MakeField("Edit12", kNumberWidth, GroupBox1);
  Edit1 = MakeField("Edit1", kNumberWidth, GroupBox1);
  Edit2 = MakeField("Edit2", kTextWidth, GroupBox1);
  Edit18 = MakeField("Edit18", kNumberWidth, GroupBox1);
  Edit19 = MakeField("Edit19", kTextWidth, GroupBox1);
  Edit3 = MakeField("Edit3", kNumberWidth, GroupBox1);
  Edit4 = MakeField("Edit4", kTextWidth, GroupBox1);
  Edit4->setVisible(false);
  Edit7 = MakeField("Edit7", kNumberWidth, GroupBox1);
  Edit8 = MakeField("Edit8", kTextWidth, GroupBox1);
  Edit9 = MakeField("Edit9", kNumberWidth, GroupBox1);
  Edit10 = MakeField("Edit10", kTextWidth, GroupBox1);
  Edit13 = MakeField("Edit13", kNumberWidth, GroupBox1);
  Edit15 = MakeField("Edit15", kNumberWidth, GroupBox1);
  add_row(Label10, "Label10", "Время КМ :", Edit11, nullptr);
  add_row(Label9, "Label9", "Дата КМ :", Edit12, nullptr);
  add_row(Label3, "Label3", "Режим работы :", Edit1, Edit2);
  add_row(Label16, "Label16", "Подрежим :", Edit18, Edit19);
  add_row(Label4, "Label4", "Флеш память :", Edit3, Edit4);
  add_row(Label6, "Label6", "Батарейка :", Edit7, Edit8);
  add_row(Label7, "Label7", "№ текущего документа :", Edit9, nullptr);
  add_row(Label8, "Label8", "Состояние текущего документа :", nullptr, Edit10);
  add_row(Label11, "Label11", "Заводской номер КМ :", Edit13, nullptr);
  add_row(Label13, "Label13", "ИНН :", Edit15, nullptr);
  grid->setColumnStretch(3, 1);

  auto* page = new QVBoxLayout(this);
  page->addWidget(Label1);
  page->addWidget(BitBtn1, 0, Qt::AlignLeft);
  page->addWidget(GroupBox1);
  page->addStretch(1);
}

void TStateFrame::BitBtn1Click() {
  const link::Link::Operation operation(link_);
  if (!operation) return;
  ShowReport(StatusReport{});
  StatusOutcome outcome;
  {
    const ui::BusyCursor busy(ui_);
    outcome = RequestStatusReport(link_);
  }
  if (!outcome.reply.ok()) {
    ui::ShowError(ui_, kStatusReadFailed + outcome.reply.message);
    return;
  }
  ShowReport(outcome.report);
}

void TStateFrame::ShowReport(const StatusReport& report) {
  const std::pair<QLineEdit*, const std::string*> fields[] = {
      {Edit11, &report.time},          {Edit12, &report.date},
      {Edit1, &report.mode_number},    {Edit2, &report.mode_text},
      {Edit18, &report.submode_number}, {Edit19, &report.submode_text},
      {Edit3, &report.flash_number},   {Edit4, &report.flash_text},
      {Edit7, &report.battery_number}, {Edit8, &report.battery_text},
      {Edit9, &report.document_number}, {Edit10, &report.document_state_text},
      {Edit13, &report.factory_number}, {Edit15, &report.inn},
  };
  for (const auto& [field, text] : fields) field->setText(ui::FromUtf8(*text));
}

}  // namespace tarnis::admin
