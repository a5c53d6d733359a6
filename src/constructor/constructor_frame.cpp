// The constructor page's layout, its opening and its leaving.
#include "constructor/constructor_frame.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "constructor/group_help_dialog.h"

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
  help->setShortcut(Qt::Key_F1);
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
  BuildRequisiteGrid();

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

void TFrameConstructor::BitBtn3Click() {
  TForm11 help(this);
  help.exec();
}

void TFrameConstructor::Button1Click() {
  if (!ui::Confirm(ui_, "Вы действительно хотите выйти из конструктора форм?")) return;
  if (leave_) leave_();
}

}  // namespace tarnis::constructor
