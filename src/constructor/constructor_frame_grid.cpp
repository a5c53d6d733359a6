// The constructor page's grid of the configuration's additional requisites.
#include "constructor/constructor_frame.h"

#include <QHeaderView>
#include <QTableWidget>

#include "ui/qt_text.h"

namespace tarnis::constructor {

void TFrameConstructor::BuildRequisiteGrid() {
  StringGrid1 = new QTableWidget(config::kRequisiteCount, 5, this);
  StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
  StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid1->setTabKeyNavigation(false);  // Tab leaves the grid; the arrows walk it
  StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
  StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  StringGrid1->verticalHeader()->hide();
  StringGrid1->verticalHeader()->setDefaultSectionSize(18);
  StringGrid1->horizontalHeader()->setFixedHeight(20);
  StringGrid1->setFixedSize(20 + 125 + 125 + 100 + 65 + 4, 20 + 8 * 18 + 4);
}

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

}  // namespace tarnis::constructor
