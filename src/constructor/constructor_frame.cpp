#include "constructor/constructor_frame.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "constructor/blank_transfer.h"
#include "constructor/group_help_dialog.h"
#include "constructor/preview.h"
#include "ui/qt_text.h"

namespace tarnis::constructor {

namespace {

constexpr int kPageWidth = 730;
constexpr int kPageHeight = 440;

QLabel* MakeLabel(QWidget* parent, const char* name, const char* text) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setObjectName(QString::fromLatin1(name));
  return label;
}

QToolButton* MakeToggle(QWidget* parent, const QString& name, const QString& caption) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setText(caption);
  button->setCheckable(true);
  button->setFixedSize(28, 26);
  return button;
}

// Hidden controls keep their place, so the page does not jump as variants change.
void KeepPlaceWhenHidden(QWidget* widget) {
  QSizePolicy policy = widget->sizePolicy();
  policy.setRetainSizeWhenHidden(true);
  widget->setSizePolicy(policy);
}

// A group of toggle buttons of which at most one is pressed: pressing one releases the others,
// clicking the pressed one releases it. The handler runs after the pressed state has changed.
template <std::size_t N, class Handler>
void MakeToggleGroup(const std::array<QToolButton*, N>& buttons, QObject* context, Handler handler) {
  for (QToolButton* button : buttons) {
    QObject::connect(button, &QToolButton::clicked, context, [buttons, button, handler](bool pressed) {
      if (pressed)
        for (QToolButton* other : buttons)
          if (other != button) other->setChecked(false);
      handler(button);
    });
  }
}

int PressedIndex(std::span<QToolButton* const> buttons) {
  for (std::size_t i = 0; i < buttons.size(); ++i)
    if (buttons[i]->isChecked()) return static_cast<int>(i);
  return -1;
}

}  // namespace

TFrameConstructor::TFrameConstructor(config::DeviceConfiguration& configuration, BlankFormTable& table,
                                     link::Link& link, ui::UserInterface& ui, QWidget* parent)
    : QFrame(parent), configuration_(configuration), table_(table), link_(link), ui_(ui) {
  setObjectName(QStringLiteral("TFrameConstructor"));
  setFixedSize(kPageWidth, kPageHeight);
  BuildControls();
}

void TFrameConstructor::BuildControls() {
  RichEdit1 = new QPlainTextEdit(this);
  RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
  RichEdit1->setReadOnly(true);
  RichEdit1->setLineWrapMode(QPlainTextEdit::NoWrap);
  QFont courier(QStringLiteral("Courier"));
  courier.setStyleHint(QFont::TypeWriter);
  courier.setFixedPitch(true);
  courier.setPointSize(10);
  RichEdit1->setFont(courier);
  RichEdit1->setFixedWidth(256);

  auto* title = MakeLabel(this, "Label6", "Конструктор форм БСО");
  QFont title_font = title->font();
  title_font.setBold(true);
  title_font.setPointSize(title_font.pointSize() + 2);
  title->setFont(title_font);

  // The limits block: caption and value side by side, two columns of pairs.
  auto* limits = new QGridLayout;
  limits->setHorizontalSpacing(8);
  limits->setVerticalSpacing(2);
  auto add_pair = [&](int row, int column, const char* caption_name, const char* caption, const char* value_name,
                      const char* value) {
    limits->addWidget(MakeLabel(this, caption_name, caption), row, column * 2);
    QLabel* value_label = MakeLabel(this, value_name, value);
    limits->addWidget(value_label, row, column * 2 + 1);
    return value_label;
  };
  Label7 = add_pair(0, 0, "Label5", "Текущая форма", "Label7", "-");
  Label23 = add_pair(1, 0, "Label22", "Текущая группа", "Label23", "");
  Label24 = add_pair(2, 0, "Label8", "Количество ДСО:", "Label24", "---");
  Label15 = add_pair(3, 0, "Label9", "Кол-во услуг:", "Label15", "---");
  Label16 = add_pair(0, 1, "Label10", "Разрядность сумм:", "Label16", "---");
  Label17 = add_pair(1, 1, "Label11", "Дополнительный реквизит:", "Label17", "---");
  Label18 = add_pair(2, 1, "Label12", "Скидка: ", "Label18", "---");
  Label20 = add_pair(3, 1, "Label13", "Налог:", "Label20", "---");
  Label21 = add_pair(4, 1, "Label14", "Код:", "Label21", "---");
  limits->setColumnStretch(1, 1);
  limits->setColumnStretch(3, 1);

  auto* forms_row = new QHBoxLayout;
  forms_row->setSpacing(2);
  forms_row->addWidget(MakeLabel(this, "Label2", "Форма:"));
  forms_row->addSpacing(6);
  for (int i = 0; i < kFormCount; ++i) {
    form_buttons_[i] = MakeToggle(this, QStringLiteral("SpeedButton%1").arg(i + 1), QString::number(i + 1));
    forms_row->addWidget(form_buttons_[i]);
  }
  forms_row->addStretch();

  auto* variants_row = new QHBoxLayout;
  variants_row->setSpacing(2);
  variants_row->addWidget(MakeLabel(this, "Label1", "Вариант:"));
  variants_row->addSpacing(6);
  for (int i = 0; i < kVariantCount; ++i) {
    variant_buttons_[i] = MakeToggle(this, QStringLiteral("SpeedButton%1").arg(9 + i), QString::number(i + 1));
    variants_row->addWidget(variant_buttons_[i]);
  }
  variants_row->addSpacing(12);
  auto* help = new QToolButton(this);
  help->setObjectName(QStringLiteral("BitBtn3"));
  help->setIcon(style()->standardIcon(QStyle::SP_MessageBoxQuestion));
  help->setIconSize(QSize(20, 20));
  help->setFixedSize(30, 28);
  variants_row->addWidget(help);
  variants_row->addStretch();

  auto* requisite_row = new QHBoxLayout;
  Label25 = MakeLabel(this, "Label25", "Текущий реквизит:");
  ComboBox1 = new QComboBox(this);
  ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
  ComboBox1->addItem(QString::fromUtf8("Нет"));
  for (int r = 1; r <= kRequisiteChoices; ++r) ComboBox1->addItem(QStringLiteral(" %1").arg(r));
  requisite_row->addWidget(Label25);
  requisite_row->addWidget(ComboBox1);

  auto* grid_caption = new QHBoxLayout;
  grid_caption->setSpacing(4);
  Label3 = MakeLabel(this, "Label3", "Дополнительный");
  Label19 = MakeLabel(this, "Label19", "реквизит:");
  grid_caption->addWidget(Label3);
  grid_caption->addWidget(Label19);
  grid_caption->addStretch();
  StringGrid1 = new QTableWidget(config::kRequisiteCount, 5, this);
  StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
  StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
  StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  StringGrid1->verticalHeader()->hide();
  StringGrid1->verticalHeader()->setDefaultSectionSize(18);
  StringGrid1->horizontalHeader()->setFixedHeight(20);
  StringGrid1->setFixedSize(20 + 125 + 125 + 100 + 65 + 4, 20 + 8 * 18 + 4);

  requisite_row->addSpacing(16);
  Label4 = MakeLabel(this, "Label4", "Скидка/Налог/Код:");
  requisite_row->addWidget(Label4);
  requisite_row->addSpacing(6);
  const char* type_sk_captions[kMaxTypeSk] = {"С", "Н", "К"};
  for (int i = 0; i < kMaxTypeSk; ++i) {
    type_sk_buttons_[i] =
        MakeToggle(this, QStringLiteral("SpeedButton%1").arg(31 + i), QString::fromUtf8(type_sk_captions[i]));
    requisite_row->addWidget(type_sk_buttons_[i]);
  }
  requisite_row->addStretch();

  auto* buttons_row = new QHBoxLayout;
  auto* read_button = new QPushButton(QString::fromUtf8("Выгрузить из КМ"), this);
  read_button->setObjectName(QStringLiteral("BitBtn1"));
  read_button->setIcon(style()->standardIcon(QStyle::SP_ArrowLeft));
  auto* write_button = new QPushButton(QString::fromUtf8("Загрузить в КМ"), this);
  write_button->setObjectName(QStringLiteral("BitBtn2"));
  write_button->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
  auto* exit_button = new QPushButton(QString::fromUtf8("Выход"), this);
  exit_button->setObjectName(QStringLiteral("Button1"));
  buttons_row->addWidget(read_button);
  buttons_row->addWidget(write_button);
  buttons_row->addStretch();
  buttons_row->addWidget(exit_button);

  for (QWidget* widget : {static_cast<QWidget*>(Label25), static_cast<QWidget*>(ComboBox1),
                          static_cast<QWidget*>(Label3), static_cast<QWidget*>(Label19),
                          static_cast<QWidget*>(StringGrid1), static_cast<QWidget*>(Label4)})
    KeepPlaceWhenHidden(widget);
  for (QToolButton* button : type_sk_buttons_) KeepPlaceWhenHidden(button);

  auto* right = new QVBoxLayout;
  right->setSpacing(5);
  right->addWidget(title);
  right->addLayout(limits);
  right->addLayout(forms_row);
  right->addLayout(variants_row);
  right->addLayout(requisite_row);
  right->addLayout(grid_caption);
  right->addWidget(StringGrid1);
  right->addStretch();
  right->addLayout(buttons_row);

  auto* page = new QHBoxLayout(this);
  page->setContentsMargins(4, 4, 4, 4);
  page->addWidget(RichEdit1);
  page->addLayout(right, 1);

  MakeToggleGroup(form_buttons_, this, [this](QAbstractButton*) { FormClick(); });
  MakeToggleGroup(variant_buttons_, this, [this](QAbstractButton* clicked) { VariantClick(clicked); });
  MakeToggleGroup(type_sk_buttons_, this, [this](QAbstractButton* clicked) { TypeSkClick(clicked); });
  connect(ComboBox1, &QComboBox::activated, this, [this](int) { ComboBox1Select(); });
  connect(read_button, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
  connect(write_button, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
  connect(help, &QToolButton::clicked, this, [this] { BitBtn3Click(); });
  connect(exit_button, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void TFrameConstructor::InitConstructor() {
  FillRequisiteGrid();
  PaintFormButtons();
  ShowForm(0);
  for (QToolButton* button : variant_buttons_) button->setEnabled(false);
  HideChoiceControls();
  RichEdit1->clear();
  ui_.ProcessEvents();
}

void TFrameConstructor::SetGroupLabel(const QString& group) { Label23->setText(group); }

void TFrameConstructor::FillRequisiteGrid() {
  const char* headers[] = {"№", "Строка 1", "Строка 2", "Строка 3", "Дост."};
  const int widths[] = {20, 125, 125, 100, 65};
  for (int column = 0; column < 5; ++column) {
    StringGrid1->setHorizontalHeaderItem(column, new QTableWidgetItem(QString::fromUtf8(headers[column])));
    StringGrid1->setColumnWidth(column, widths[column]);
  }
  for (int row = 0; row < config::kRequisiteCount; ++row) {
    const config::RequisiteRecord& requisite = configuration_.requisites[static_cast<std::size_t>(row)];
    StringGrid1->setItem(row, 0, new QTableWidgetItem(QString::number(row + 1)));
    for (int line = 0; line < 3; ++line)
      StringGrid1->setItem(row, line + 1,
                           new QTableWidgetItem(ui::FromCp1251(requisite.lines[static_cast<std::size_t>(line)].Body())));
    StringGrid1->setItem(row, 4, new QTableWidgetItem(QString::fromUtf8(requisite.enabled != 0 ? "да" : "нет")));
  }
}

void TFrameConstructor::PaintFormButtons() {
  for (int form = 1; form <= kFormCount; ++form) {
    QToolButton* button = form_buttons_[static_cast<std::size_t>(form - 1)];
    QPalette palette = button->palette();
    const QColor colour = table_.Form(form)->programmed == 0 ? QColor(255, 0, 0) : QColor(0, 0, 0);
    palette.setColor(QPalette::ButtonText, colour);
    palette.setColor(QPalette::WindowText, colour);
    button->setPalette(palette);
    button->setEnabled(true);
  }
}

int TFrameConstructor::SelectedForm() const { return PressedIndex(form_buttons_) + 1; }

BlankFormEntry* TFrameConstructor::SelectedEntry() { return table_.Form(SelectedForm()); }

void TFrameConstructor::ShowForm(int form) {
  const BlankFormEntry* entry = table_.Form(form);
  if (entry == nullptr) {
    Label7->setText(QStringLiteral("-"));
    return;
  }
  Label7->setText(QString::number(form));
  ui_.ProcessEvents();
  if (entry->variant == 0) {
    ReleaseAll(variant_buttons_);
    Label3->hide();
    Label19->hide();
    StringGrid1->hide();
    SetTypeSkControlsVisible(false);
    RichEdit1->clear();
    Label23->clear();
    return;
  }
  ShowControlsOfVariant(entry->variant);
}

void TFrameConstructor::ShowControlsOfVariant(int variant) {
  if (variant < 1 || variant > kVariantCount) return;
  const auto v = static_cast<std::uint8_t>(variant);
  SetRequisiteControlsVisible(VariantAllowsRequisite(v));
  SetTypeSkControlsVisible(VariantAllowsExtraLine(v));
  if (VariantAllowsExtraLine(v) && !VariantAllowsCode(v)) type_sk_buttons_[2]->hide();
}

void TFrameConstructor::SetRequisiteControlsVisible(bool visible) {
  for (QWidget* widget : {static_cast<QWidget*>(Label25), static_cast<QWidget*>(ComboBox1),
                          static_cast<QWidget*>(Label3), static_cast<QWidget*>(Label19),
                          static_cast<QWidget*>(StringGrid1)})
    widget->setVisible(visible);
}

void TFrameConstructor::SetTypeSkControlsVisible(bool visible) {
  Label4->setVisible(visible);
  for (QToolButton* button : type_sk_buttons_) {
    button->setVisible(visible);
    button->setEnabled(true);
  }
}

void TFrameConstructor::HideChoiceControls() {
  SetRequisiteControlsVisible(false);
  SetTypeSkControlsVisible(false);
}

void TFrameConstructor::ResetLimits() {
  Label23->clear();
  for (QLabel* label : {Label16, Label17, Label18, Label20, Label21, Label24, Label15})
    label->setText(QStringLiteral("---"));
}

void TFrameConstructor::ReleaseAll(std::span<QToolButton* const> buttons) {
  for (QToolButton* button : buttons) button->setChecked(false);
}

void TFrameConstructor::PressTypeSk(int type_sk) {
  if (type_sk < 0 || type_sk > kMaxTypeSk) return;
  for (int i = 0; i < kMaxTypeSk; ++i) type_sk_buttons_[static_cast<std::size_t>(i)]->setChecked(i + 1 == type_sk);
}

void TFrameConstructor::SelectRequisite(int requisite) {
  ComboBox1->setCurrentIndex(requisite >= 0 && requisite <= kRequisiteChoices ? requisite : -1);
}

void TFrameConstructor::ShowVariantLimits(int variant) {
  if (variant != 0) {
    if (const BlankFormEntry* entry = SelectedEntry()) {
      SelectRequisite(entry->requisite);
      PressTypeSk(entry->typeSk);
    }
  }
  // Any value outside 0..6 shows the empty texts of an unknown variant.
  const VariantLimitRow& limits =
      LimitsOf(variant >= 0 && variant <= kVariantCount ? static_cast<std::uint8_t>(variant) : std::uint8_t{255});
  Label23->setText(ui::FromUtf8(limits.group));
  Label15->setText(ui::FromUtf8(limits.services));
  Label16->setText(ui::FromUtf8(limits.sumDigits));
  Label17->setText(ui::FromUtf8(limits.requisite));
  Label18->setText(ui::FromUtf8(limits.discount));
  Label20->setText(ui::FromUtf8(limits.tax));
  Label21->setText(ui::FromUtf8(limits.code));
  Label24->setText(ui::FromUtf8(limits.documents));
  ui_.ProcessEvents();
}

void TFrameConstructor::PressFormVariant(int form) {
  ReleaseAll(variant_buttons_);
  const BlankFormEntry* entry = table_.Form(form);
  if (entry != nullptr && IsKnownVariant(entry->variant)) variant_buttons_[entry->variant - 1u]->setChecked(true);
}

void TFrameConstructor::BuildPreview(int form) {
  RichEdit1->clear();
  const BlankFormEntry* entry = table_.Form(form);
  if (entry == nullptr) return;
  QStringList lines;
  for (const std::string& line : PreviewLines(configuration_, *entry)) lines << ui::FromCp1251(line);
  RichEdit1->setPlainText(lines.join(QLatin1Char('\n')));
}

void TFrameConstructor::FormClick() {
  const bool form_pressed = SelectedForm() != 0;
  ReleaseAll(variant_buttons_);
  ui_.ProcessEvents();
  RichEdit1->clear();
  HideChoiceControls();
  ResetLimits();
  ui_.ProcessEvents();
  const int form = SelectedForm();
  ShowForm(form);
  for (QToolButton* button : variant_buttons_) button->setEnabled(form_pressed);
  if (!form_pressed) return;
  PressFormVariant(form);
  BuildPreview(form);
  ShowVariantLimits(table_.Form(form)->variant);
}

void TFrameConstructor::VariantClick(QAbstractButton* clicked) {
  const int pressed = PressedIndex(variant_buttons_);
  if (pressed < 0) {
    HideChoiceControls();
    RichEdit1->clear();
    ResetLimits();
    ui_.ProcessEvents();
    return;
  }
  BlankFormEntry* entry = SelectedEntry();
  if (entry == nullptr) {
    clicked->setChecked(false);
    ui::ShowNotice(ui_, "Не выбрана форма...");
    return;
  }
  const int variant = pressed + 1;
  ShowControlsOfVariant(variant);
  ShowVariantLimits(variant);
  entry->variant = static_cast<std::uint8_t>(variant);
  BuildPreview(SelectedForm());
}

void TFrameConstructor::TypeSkClick(QAbstractButton*) {
  BlankFormEntry* entry = SelectedEntry();
  if (entry == nullptr) return;
  entry->typeSk = static_cast<std::uint8_t>(PressedIndex(type_sk_buttons_) + 1);
  BuildPreview(SelectedForm());
}

void TFrameConstructor::ComboBox1Select() {
  BlankFormEntry* entry = SelectedEntry();
  const int index = ComboBox1->currentIndex();
  if (entry == nullptr || index < 0) return;
  entry->requisite = static_cast<std::uint8_t>(index);
  BuildPreview(SelectedForm());
}

namespace {

// Another device operation is letting window messages run: the click waits for nothing.
void RefuseIfBusy(TransferOutcome outcome) {
  if (outcome == TransferOutcome::Busy) QApplication::beep();
}

}  // namespace

void TFrameConstructor::BitBtn2Click() {
  RefuseIfBusy(ProgramSelectedBlank(link_, ui_, table_, SelectedForm(), PressedIndex(variant_buttons_) >= 0));
}

void TFrameConstructor::BitBtn1Click() {
  RefuseIfBusy(ReadSelectedBlank(link_, ui_, table_, SelectedForm(), [this](int form, const link::BlankFields& answer) {
    ShowReadBlank(form, answer.requisite, answer.type_sk);
  }));
}

void TFrameConstructor::ShowReadBlank(int form, std::uint8_t requisite, std::uint8_t type_sk) {
  // The answer may name another form than the one pressed: that form becomes the pressed one, so
  // that later choices go to the form the page shows.
  for (int i = 0; i < kFormCount; ++i) form_buttons_[static_cast<std::size_t>(i)]->setChecked(i + 1 == form);
  SelectRequisite(requisite);
  if (type_sk >= 1 && type_sk <= kMaxTypeSk) PressTypeSk(type_sk);
  ShowForm(form);
  PressFormVariant(form);  // the answer's variant, stored in the table already
  BuildPreview(form);
}

void TFrameConstructor::BitBtn3Click() {
  TForm11 help(this);
  help.exec();
}

void TFrameConstructor::Button1Click() {
  if (!ui::Confirm(ui_, "Вы действительно хотите выйти из конструктора форм?")) return;
  if (leave_) leave_();
}

}  // namespace tarnis::constructor
