#include "goods/base_frame.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

#include "goods/goods_file_actions.h"
#include "goods/goods_item_dialog.h"
#include "goods/goods_table_model.h"
#include "goods/goods_transfer.h"
#include "ui/digit_key_filter.h"
#include "ui/operation_report.h"
#include "ui/grid_keys.h"
#include "ui/qt_text.h"
#include "ui/user_interface.h"

namespace tarnis::goods {
namespace {

// The main window's client panel less the page's offset of 5 pixels on each side.
constexpr int kPageWidth = 732;
constexpr int kPageHeight = 443;
// The grid's text is as small as the column widths need: a 13-digit barcode fits in 100 pixels.
constexpr int kGridPointSize = 8;
constexpr int kColumnWidths[kGoodsColumnCount + 1] = {20, 75, 250, 80, 100, 55, 85};
constexpr int kRowHeight = 18;

template <class Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

}  // namespace

TBaseFrame::TBaseFrame(link::Link& link, ui::UserInterface& ui, QWidget* parent)
    : QFrame(parent), link_(link), ui_(ui) {
  setObjectName("BaseFrame");
  Build();
  WireControls();
  editor_ = new TForm8(ui_, this);
  for (QWidget* control : std::initializer_list<QWidget*>{BitBtn1, BitBtn2, BitBtn6, CheckBox1, Label3, Edit1, Label4,
                                                          Edit2, CheckBox2, ChangedCheckBox})
    control->setEnabled(false);
  ShowChangedCount();
}

TBaseFrame::~TBaseFrame() = default;

void TBaseFrame::Build() {
  setFixedSize(kPageWidth, kPageHeight);
  Label1 = Named(new QLabel("База товаров", this), "Label1");
  Label1->setStyleSheet("color: purple; font-weight: bold; font-size: 12pt;");
  Label2 = Named(new QLabel("Здесь Вы можете выгрузить имеющуюся базу товаров в ОРМИЗ КМ-07, отредактировать ее и "
                            "загрузить обратно. Вы также можете\nсохранить данные в виде файла на жестком диске "
                            "компьютера или открыть уже имеющийся файл базы товаров.",
                            this),
                 "Label2");
  Label2->setStyleSheet("color: purple; font-size: 7pt;");
  BuildGrid();

  GroupBox1 = Named(new QGroupBox(this), "GroupBox1");
  CheckBox1 = Named(new QCheckBox("Текущий", GroupBox1), "CheckBox1");
  CheckBox2 = Named(new QCheckBox("Диапазон", GroupBox1), "CheckBox2");
  ChangedCheckBox = Named(new QCheckBox("Изменённые", GroupBox1), "ChangedCheckBox");
  ChangedCountLabel = Named(new QLabel(this), "ChangedCountLabel");
  Label3 = Named(new QLabel("с", GroupBox1), "Label3");
  Edit1 = Named(new QLineEdit("0", GroupBox1), "Edit1");
  Label4 = Named(new QLabel("по", GroupBox1), "Label4");
  Edit2 = Named(new QLineEdit("0", GroupBox1), "Edit2");
  BitBtn1 = Named(new QPushButton("Выгрузить из КМ", GroupBox1), "BitBtn1");
  BitBtn2 = Named(new QPushButton("Загрузить в КМ", GroupBox1), "BitBtn2");
  for (QLineEdit* field : {Edit1, Edit2}) {
    field->setFixedWidth(45);
    ui::InstallDigitKeyFilter(field);
  }
  auto* range = new QHBoxLayout;
  range->addWidget(CheckBox2);
  range->addWidget(Label3);
  range->addWidget(Edit1);
  range->addWidget(Label4);
  range->addWidget(Edit2);
  auto* group = new QGridLayout(GroupBox1);
  group->setContentsMargins(6, 4, 6, 4);
  auto* scope = new QHBoxLayout;
  scope->addWidget(CheckBox1);
  scope->addWidget(ChangedCheckBox);
  group->addLayout(scope, 0, 0);
  group->addLayout(range, 1, 0);
  group->addWidget(BitBtn1, 0, 1);
  group->addWidget(BitBtn2, 1, 1);

  BitBtn3 = Named(new QPushButton("Сохранить в файл", this), "BitBtn3");
  BitBtn4 = Named(new QPushButton("Загрузить из файла", this), "BitBtn4");
  BitBtn5 = Named(new QPushButton("Очистить поля", this), "BitBtn5");
  BitBtn6 = Named(new QPushButton("Очистить базу в КМ", this), "BitBtn6");
  BitBtn7 = Named(new QPushButton("Экспорт CSV...", this), "BitBtn7");
  BitBtn8 = Named(new QPushButton("Импорт CSV...", this), "BitBtn8");
  Button1 = Named(new QPushButton("Выход", this), "Button1");
  auto* side = new QGridLayout;
  side->setVerticalSpacing(2);
  side->addWidget(BitBtn3, 0, 0);
  side->addWidget(BitBtn4, 1, 0);
  side->addWidget(BitBtn7, 0, 1);
  side->addWidget(BitBtn8, 1, 1);
  side->addWidget(BitBtn5, 0, 2);
  side->addWidget(BitBtn6, 1, 2);
  side->addWidget(Button1, 2, 2);
  // Under the file buttons, beside "Выход": the scope row has no room for it.
  side->addWidget(ChangedCountLabel, 2, 0, 1, 2);

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(GroupBox1);
  bottom->addLayout(side);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 0, 2, 2);
  layout->setSpacing(2);
  layout->addWidget(Label1);
  layout->addWidget(Label2);
  layout->addWidget(StringGrid1, 1);
  layout->addLayout(bottom);
}

void TBaseFrame::BuildGrid() {
  StringGrid1 = Named(new QTableView(this), "StringGrid1");
  QFont font = StringGrid1->font();
  font.setPointSize(kGridPointSize);
  StringGrid1->setFont(font);
  StringGrid1->horizontalHeader()->setFont(font);
  model_ = new GoodsTableModel(table_, StringGrid1);
  StringGrid1->setModel(model_);
  StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
  StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
  StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid1->setShowGrid(true);
  StringGrid1->verticalHeader()->hide();
  StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  StringGrid1->verticalHeader()->setDefaultSectionSize(kRowHeight);
  StringGrid1->horizontalHeader()->setHighlightSections(false);
  StringGrid1->horizontalHeader()->setMinimumSectionSize(kColumnWidths[0]);
  for (int column = 0; column <= kGoodsColumnCount; ++column)
    StringGrid1->setColumnWidth(column, kColumnWidths[column]);
  StringGrid1->setCurrentIndex(model_->index(0, 1));
}

void TBaseFrame::WireControls() {
  connect(BitBtn1, &QPushButton::clicked, this, &TBaseFrame::BitBtn1Click);
  connect(BitBtn2, &QPushButton::clicked, this, &TBaseFrame::BitBtn2Click);
  connect(BitBtn3, &QPushButton::clicked, this, &TBaseFrame::BitBtn3Click);
  connect(BitBtn4, &QPushButton::clicked, this, &TBaseFrame::BitBtn4Click);
  connect(BitBtn5, &QPushButton::clicked, this, &TBaseFrame::BitBtn5Click);
  connect(BitBtn6, &QPushButton::clicked, this, &TBaseFrame::BitBtn6Click);
  connect(BitBtn7, &QPushButton::clicked, this, &TBaseFrame::BitBtn7Click);
  connect(BitBtn8, &QPushButton::clicked, this, &TBaseFrame::BitBtn8Click);
  connect(Button1, &QPushButton::clicked, this, &TBaseFrame::Button1Click);
  connect(CheckBox2, &QCheckBox::clicked, this, &TBaseFrame::CheckBox2Click);
  connect(model_, &QAbstractItemModel::dataChanged, this, &TBaseFrame::ShowChangedCount);
  connect(StringGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (current.isValid()) StringGrid1SelectCell(current.row() + 1);
          });
  connect(StringGrid1, &QTableView::doubleClicked, this, &TBaseFrame::StringGrid1DblClick);
  ui::InstallGridKeys(StringGrid1);
  // Shown, the page's own file buttons take the usual open and save keys from the main menu.
  BitBtn3->setShortcut(QKeySequence::Save);
  BitBtn4->setShortcut(QKeySequence::Open);
  // "Очистить поля" is the page's cancel button: Escape resets the table while the page shows,
  // wherever the focus is in the window (a hidden page's shortcut does not fire).
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  escape->setContext(Qt::WindowShortcut);
  connect(escape, &QShortcut::activated, this, &TBaseFrame::BitBtn5Click);
}

void TBaseFrame::EnableDeviceControls() {
  for (QWidget* control : std::initializer_list<QWidget*>{BitBtn1, BitBtn2, BitBtn6, CheckBox1, CheckBox2,
                                                          ChangedCheckBox})
    control->setEnabled(true);
}

GoodsScope TBaseFrame::Scope(bool writing) const {
  // "Изменённые" is a write's scope only: a read replaces rows, edited or not.
  return ChooseScope(CheckBox1->isChecked(), CheckBox2->isChecked(), selected_code_, ui::ToUtf8(Edit1->text()),
                     ui::ToUtf8(Edit2->text()), writing && ChangedCheckBox->isChecked());
}

void TBaseFrame::ShowChangedCount() {
  const int changed = table_.ChangedCount();
  ChangedCountLabel->setText(changed == 0 ? QString() : QStringLiteral("изменено: %1").arg(changed));
}

void TBaseFrame::FocusRangeField(RangeField field) {
  if (field == RangeField::First) Edit1->setFocus();
  if (field == RangeField::Last) Edit2->setFocus();
}

void TBaseFrame::BitBtn1Click() {
  const GoodsScope scope = Scope(false);
  if (scope.kind != GoodsScope::Kind::Selected && table_.HasUnsavedEdits() &&
      !ui::Confirm(ui_, ui::kReplaceEditsQuestion))
    return;
  FocusRangeField(ReadGoods(link_, ui_, table_, scope).focus);
}

void TBaseFrame::BitBtn2Click() { FocusRangeField(WriteGoods(link_, ui_, table_, Scope(true)).focus); }

void TBaseFrame::BitBtn3Click() { SaveGoodsTable(ui_, table_); }

void TBaseFrame::BitBtn4Click() { LoadGoodsTable(ui_, table_); }

void TBaseFrame::BitBtn5Click() { table_.Reset(); }

void TBaseFrame::BitBtn6Click() { EraseDeviceGoods(link_, ui_); }

void TBaseFrame::BitBtn7Click() { ExportGoodsCsv(ui_, table_); }

void TBaseFrame::BitBtn8Click() { ImportGoodsCsv(ui_, table_); }

void TBaseFrame::Button1Click() {
  if (ui::Confirm(ui_, "Вы действительно хотите выйти из загрузчика базы?")) emit ExitRequested();
}

void TBaseFrame::CheckBox2Click() {
  const bool range = CheckBox2->isChecked();
  for (QWidget* control : std::initializer_list<QWidget*>{Label3, Edit1, Label4, Edit2}) control->setEnabled(range);
}

void TBaseFrame::StringGrid1SelectCell(int row) {
  if (row >= 1 && row <= kGoodsRecordCount) selected_code_ = row - 1;
}

void TBaseFrame::StringGrid1DblClick() {
  const int code = selected_code_;
  editor_->LoadFrom(table_.row(code));
  if (editor_->Run()) table_.SetRow(code, editor_->RowFor(code));
}

}  // namespace tarnis::goods
