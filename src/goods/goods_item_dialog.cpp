#include "goods/goods_item_dialog.h"

#include "link/device_charset.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "goods/goods_item_entry.h"
#include "platform/cp1251_codec.h"
#include "ui/digit_key_filter.h"
#include "ui/qt_text.h"
#include "ui/user_interface.h"

namespace tarnis::goods {
namespace {

constexpr int kClientWidth = 402;
constexpr int kClientHeight = 206;
constexpr int kBarcodeMaxLength = 13;
constexpr int kPriceMaxLength = 12;

// Whether typing `typed` into a price field holding `current` keeps to digits and one separator,
// a point or a comma (Russian keyboards type the comma). The comma stays as typed: whether it is
// the point is decided on applying, once the whole price is there.
bool PriceTypingAccepted(const QString& typed, const QString& current) {
  bool point = current.contains('.') || current.contains(',');
  for (const QChar c : typed) {
    if ((c == u'.' || c == u',') && !point) {
      point = true;
    } else if (!ui::DigitKeyFilter::Accepts(QString(c))) {
      return false;
    }
  }
  return true;
}

// The price field takes digits and one point; everything else typed is swallowed, whether it
// comes as a key or from an input method.
class PriceKeyFilter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const auto* field = static_cast<QLineEdit*>(watched);
    if (event->type() == QEvent::KeyPress) {
      if (!PriceTypingAccepted(static_cast<QKeyEvent*>(event)->text(), field->text())) return true;
    } else if (event->type() == QEvent::InputMethod) {
      if (!PriceTypingAccepted(static_cast<QInputMethodEvent*>(event)->commitString(), field->text())) return true;
    }
    return QObject::eventFilter(watched, event);
  }
};

// The limit is on what the user types. A longer text the program puts into the field (a row's
// 15-digit barcode, a price from a file) must reach the field and come back whole, so the limit
// stays at the longer length until the user's edits bring the text back within the limit.
void LimitTyping(QLineEdit* field, int limit) {
  field->setMaxLength(limit);
  QObject::connect(field, &QLineEdit::textEdited, field, [field, limit](const QString& text) {
    field->setMaxLength(std::max(limit, static_cast<int>(text.size())));
  });
}

void SetProgramText(QLineEdit* field, const QString& text, int limit) {
  field->setMaxLength(std::max(limit, static_cast<int>(text.size())));
  field->setText(text);
}

}  // namespace

TForm8::TForm8(ui::UserInterface& ui, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint),
      ui_(ui) {
  setObjectName("Form8");
  setWindowTitle("Редактирование параметров...");
  setModal(true);
  Build();
  setFixedSize(kClientWidth, kClientHeight);
}

void TForm8::Build() {
  const auto named = []<class Widget>(Widget* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
  };
  Edit1 = named(new QLineEdit(this), "Edit1");
  Edit1->setMaxLength(static_cast<int>(kGoodsNameMaxLength));
  QFont courier = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  courier.setFamily("Courier");
  courier.setStyleHint(QFont::Monospace);
  Edit1->setFont(courier);
  connect(Edit1, &QLineEdit::textEdited, this, &TForm8::CapitaliseName);

  CheckBox1 = named(new QCheckBox("Широкий", this), "CheckBox1");
  Edit2 = named(new QLineEdit("0", this), "Edit2");
  LimitTyping(Edit2, kBarcodeMaxLength);
  ui::InstallDigitKeyFilter(Edit2);
  Edit3 = named(new QLineEdit("1", this), "Edit3");
  ui::InstallDigitKeyFilter(Edit3);
  Edit4 = named(new QLineEdit("0.00", this), "Edit4");
  LimitTyping(Edit4, kPriceMaxLength);
  Edit4->installEventFilter(new PriceKeyFilter(Edit4));

  Button1 = named(new QPushButton("Применить", this), "Button1");
  Button2 = named(new QPushButton("Отмена", this), "Button2");
  Button3 = named(new QPushButton("Очистить поля", this), "Button3");
  // Enter applies wherever the focus is; Escape cancels (reject).
  for (QPushButton* button : {Button1, Button2, Button3}) button->setAutoDefault(false);
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, &TForm8::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TForm8::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TForm8::Button3Click);

  auto* notice = new QLabel(
      "<span style='color:#800000'><b>Внимание!</b><br>Значение \"Цена\" вводите<br>через ТОЧКУ с копейками</span>",
      this);
  notice->setObjectName("Label6");

  auto* fields = new QGridLayout;
  fields->addWidget(new QLabel("Наименование:", this), 0, 0);
  fields->addWidget(Edit1, 0, 1, 1, 2);
  fields->addWidget(CheckBox1, 0, 3);
  fields->addWidget(new QLabel("Штрих-код:", this), 1, 0);
  fields->addWidget(Edit2, 1, 1);
  fields->addWidget(new QLabel("Секция:", this), 2, 0);
  fields->addWidget(Edit3, 2, 1);
  fields->addWidget(new QLabel("Цена:", this), 3, 0);
  fields->addWidget(Edit4, 3, 1);
  fields->addWidget(notice, 1, 2, 3, 2, Qt::AlignLeft | Qt::AlignVCenter);
  // Under the fields: a character of the name that the device keeps as another.
  NameNotice = named(new QLabel(this), "NameNotice");
  NameNotice->setStyleSheet("color: #c00000");
  fields->addWidget(NameNotice, 4, 1, 1, 3);
  connect(Edit1, &QLineEdit::textChanged, this, [this](const QString& text) {
    NameNotice->setText(QString::fromStdString(link::HeldDifferentlyNotice(ui::ToCp1251Lossy(text))));
  });
  fields->setColumnStretch(2, 1);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Button3);
  buttons->addStretch();
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addStretch();
  layout->addLayout(buttons);
}

void TForm8::CapitaliseName(const QString& text) {
  const QString upper = text.toUpper();
  if (upper == text) return;
  const int cursor = Edit1->cursorPosition();
  Edit1->setText(upper);
  Edit1->setCursorPosition(cursor);
}

void TForm8::LoadFrom(const GoodsRow& row) {
  Edit1->setText(ui::FromCp1251(row.name));
  CheckBox1->setChecked(row.font == WideFontWord());
  SetProgramText(Edit2, row.barcode.empty() ? QString("0") : ui::FromCp1251(row.barcode), kBarcodeMaxLength);
  Edit3->setText(ui::FromCp1251(row.section));
  SetProgramText(Edit4, ui::FromCp1251(row.price), kPriceMaxLength);
}

bool TForm8::Run() {
  applied_ = false;
  exec();
  return applied_;
}

GoodsRow TForm8::RowFor(int code) const {
  GoodsRow row;
  row.code = std::to_string(code);
  row.name = Cp1251ToUpper(ui::ToCp1251Lossy(Edit1->text())).substr(0, kGoodsNameMaxLength);
  row.font = CheckBox1->isChecked() ? WideFontWord() : NarrowFontWord();
  row.barcode = ui::ToCp1251Lossy(Edit2->text());
  row.section = ui::ToCp1251Lossy(Edit3->text());
  row.price = ui::ToCp1251Lossy(Edit4->text());
  return row;
}

void TForm8::Button1Click() {
  const ItemCheck check =
      CheckGoodsItem(ui::ToUtf8(Edit2->text()), ui::ToUtf8(Edit3->text()), ui::ToUtf8(Edit4->text()));
  if (!check.price.empty()) SetProgramText(Edit4, ui::FromUtf8(check.price), kPriceMaxLength);
  if (!check.ok()) {
    ui_.Message(check.error, ui::kErrorCaption, ui::Icon::None, ui::Buttons::Ok);
    if (check.focus == ItemField::Price) Edit4->setFocus();
    if (check.focus == ItemField::Section) Edit3->setFocus();
    return;
  }
  applied_ = true;
  accept();
}

void TForm8::Button2Click() {
  applied_ = false;
  QDialog::reject();
}

void TForm8::reject() { Button2Click(); }

void TForm8::Button3Click() {
  Edit1->clear();
  SetProgramText(Edit2, "0", kBarcodeMaxLength);
  CheckBox1->setChecked(false);
  Edit3->setText("0");
  SetProgramText(Edit4, "0.00", kPriceMaxLength);
}

}  // namespace tarnis::goods
