#pragma once
// The result of "Сравнить с ОРМИЗ КМ-07": every field in which the device differs from the
// program's record, with both values, and their count; "Совпадает полностью" when none.
#include <QDialog>
#include <vector>

#include "config/config_comparison.h"

class QLabel;
class QTableWidget;

namespace tarnis::app {

class CompareDialog : public QDialog {
  Q_OBJECT

 public:
  CompareDialog(const std::vector<config::Difference>& differences, QWidget* parent = nullptr);

  QTableWidget* DifferenceTable = nullptr;  // "Раздел", "№", "Поле", "В программе", "В КМ"
  QLabel* CountLabel = nullptr;
};

}  // namespace tarnis::app
