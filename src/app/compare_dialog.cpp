#include "app/compare_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tarnis::app {

CompareDialog::CompareDialog(const std::vector<config::Difference>& differences, QWidget* parent)
    : QDialog(parent) {
  setObjectName("CompareDialog");
  setWindowTitle("Сравнение с ОРМИЗ КМ-07");

  CountLabel = new QLabel(this);
  CountLabel->setObjectName("CountLabel");
  CountLabel->setText(differences.empty() ? QString("Совпадает полностью")
                                          : QString("Различий: %1").arg(differences.size()));

  DifferenceTable = new QTableWidget(static_cast<int>(differences.size()), 5, this);
  DifferenceTable->setObjectName("DifferenceTable");
  DifferenceTable->setHorizontalHeaderLabels({"Раздел", "№", "Поле", "В программе", "В КМ"});
  DifferenceTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  DifferenceTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  DifferenceTable->verticalHeader()->hide();
  for (int row = 0; row < static_cast<int>(differences.size()); ++row) {
    const config::Difference& difference = differences[static_cast<std::size_t>(row)];
    const QString cells[5] = {QString::fromStdString(difference.section),
                              difference.item != 0 ? QString::number(difference.item) : QString(),
                              QString::fromStdString(difference.field), QString::fromStdString(difference.first),
                              QString::fromStdString(difference.note.empty()
                                                         ? difference.second
                                                         : difference.second + " (" + difference.note + ")")};
    for (int column = 0; column < 5; ++column)
      DifferenceTable->setItem(row, column, new QTableWidgetItem(cells[column]));
  }
  DifferenceTable->resizeColumnsToContents();
  DifferenceTable->horizontalHeader()->setStretchLastSection(true);
  DifferenceTable->setVisible(!differences.empty());
  if (differences.empty()) {
    CountLabel->setAlignment(Qt::AlignCenter);
    resize(360, 120);
  } else {
    resize(760, 420);
  }

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  buttons->button(QDialogButtonBox::Close)->setText("Закрыть");
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(CountLabel);
  layout->addWidget(DifferenceTable, 1);
  layout->addWidget(buttons);
}

}  // namespace tarnis::app
