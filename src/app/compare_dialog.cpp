#include "app/compare_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <set>

namespace tarnis::app {
namespace {

constexpr int kColumns = 5;

// A cell on one line of the copied text: its own tabs and line breaks become blanks.
QString OneLine(QString text) {
  for (QChar& c : text)
    if (c == '\t' || c == '\n' || c == '\r') c = ' ';
  return text;
}

}  // namespace

CompareDialog::CompareDialog(const std::vector<config::Difference>& differences, QWidget* parent,
                             CompareActions actions)
    : QDialog(parent), actions_(std::move(actions)) {
  setObjectName("CompareDialog");
  setWindowTitle("Сравнение с ОРМИЗ КМ-07");

  CountLabel = new QLabel(this);
  CountLabel->setObjectName("CountLabel");

  DifferenceTable = new QTableWidget(0, kColumns, this);
  DifferenceTable->setObjectName("DifferenceTable");
  DifferenceTable->setHorizontalHeaderLabels({"Раздел", "№", "Поле", "В программе", "В КМ"});
  DifferenceTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  DifferenceTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  DifferenceTable->verticalHeader()->hide();
  DifferenceTable->installEventFilter(this);

  ActionNoteLabel = new QLabel(this);
  ActionNoteLabel->setObjectName("ActionNoteLabel");
  ActionNoteLabel->setWordWrap(true);
  ActionNoteLabel->hide();

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->button(QDialogButtonBox::Close)->setText("Закрыть");
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  if (actions_.write_to_device && actions_.take_from_device && actions_.differences) {
    WriteDifferencesButton = buttons->addButton("Записать отличия в КМ", QDialogButtonBox::ActionRole);
    WriteDifferencesButton->setObjectName("WriteDifferencesButton");
    connect(WriteDifferencesButton, &QPushButton::clicked, this, [this] { Act(actions_.write_to_device); });
    TakeFromDeviceButton = buttons->addButton("Взять из КМ", QDialogButtonBox::ActionRole);
    TakeFromDeviceButton->setObjectName("TakeFromDeviceButton");
    connect(TakeFromDeviceButton, &QPushButton::clicked, this, [this] { Act(actions_.take_from_device); });
  }
  CopyButton = buttons->addButton("Копировать", QDialogButtonBox::ActionRole);
  CopyButton->setObjectName("CopyButton");
  connect(CopyButton, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(ListText()); });
  // Enter keeps closing the window; it never starts a write.
  for (QPushButton* button : {WriteDifferencesButton, TakeFromDeviceButton, CopyButton})
    if (button) button->setAutoDefault(false);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(CountLabel);
  layout->addWidget(DifferenceTable, 1);
  layout->addWidget(ActionNoteLabel);
  layout->addWidget(buttons);

  ShowDifferences(differences);
  if (differences.empty()) resize(actions_.differences ? 520 : 360, 120);
  else resize(760, 420);
}

void CompareDialog::ShowDifferences(const std::vector<config::Difference>& differences) {
  CountLabel->setText(differences.empty() ? QString("Совпадает полностью")
                                          : QString("Различий: %1").arg(differences.size()));
  CountLabel->setAlignment(differences.empty() ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
  DifferenceTable->clearSelection();
  DifferenceTable->setRowCount(static_cast<int>(differences.size()));
  for (int row = 0; row < static_cast<int>(differences.size()); ++row) {
    const config::Difference& difference = differences[static_cast<std::size_t>(row)];
    const QString cells[kColumns] = {QString::fromStdString(difference.section),
                                     difference.item != 0 ? QString::number(difference.item) : QString(),
                                     QString::fromStdString(difference.field), QString::fromStdString(difference.first),
                                     QString::fromStdString(difference.note.empty()
                                                                ? difference.second
                                                                : difference.second + " (" + difference.note + ")")};
    for (int column = 0; column < kColumns; ++column)
      DifferenceTable->setItem(row, column, new QTableWidgetItem(cells[column]));
  }
  // "В КМ" takes the width left and wraps a note, as why cliché 2 was not written, within it.
  for (int column = 0; column < kColumns - 1; ++column) DifferenceTable->resizeColumnToContents(column);
  DifferenceTable->horizontalHeader()->setStretchLastSection(true);
  DifferenceTable->setWordWrap(true);
  QHeaderView* rows = DifferenceTable->verticalHeader();
  rows->setMinimumSectionSize(rows->defaultSectionSize());
  rows->setSectionResizeMode(QHeaderView::ResizeToContents);
  DifferenceTable->setVisible(!differences.empty());
  for (QPushButton* button : {WriteDifferencesButton, TakeFromDeviceButton, CopyButton})
    if (button) button->setEnabled(!differences.empty());
}

std::vector<int> CompareDialog::SelectedRows() const {
  std::set<int> rows;
  for (const QModelIndex& index : DifferenceTable->selectionModel()->selectedIndexes()) rows.insert(index.row());
  return {rows.begin(), rows.end()};
}

QString CompareDialog::ListText() const {
  std::vector<int> rows = SelectedRows();
  if (rows.empty())
    for (int row = 0; row < DifferenceTable->rowCount(); ++row) rows.push_back(row);
  QStringList lines;
  QStringList header;
  for (int column = 0; column < kColumns; ++column) header << DifferenceTable->horizontalHeaderItem(column)->text();
  lines << header.join('\t');
  for (const int row : rows) {
    QStringList cells;
    for (int column = 0; column < kColumns; ++column) cells << OneLine(DifferenceTable->item(row, column)->text());
    lines << cells.join('\t');
  }
  return lines.join('\n') + '\n';
}

bool CompareDialog::eventFilter(QObject* watched, QEvent* event) {
  // The table would copy its current cell alone.
  if (watched == DifferenceTable && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
    QApplication::clipboard()->setText(ListText());
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void CompareDialog::Act(const std::function<std::string(const std::vector<int>&)>& action) {
  const std::string note = action(SelectedRows());
  ShowDifferences(actions_.differences());
  ActionNoteLabel->setText(QString::fromStdString(note));
  ActionNoteLabel->setVisible(!note.empty());
}

}  // namespace tarnis::app
