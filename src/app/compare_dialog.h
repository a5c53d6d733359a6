#pragma once
// The result of "Сравнить с ОРМИЗ КМ-07": every field in which the device differs from the
// program's record, with both values, and their count; "Совпадает полностью" when none. With
// actions, "Записать отличия в КМ" and "Взять из КМ" act on the selected rows (every row when
// none is selected) and show the list anew; "Копировать" and Ctrl+C put the selected rows (every
// row when none is selected) on the clipboard as tab-separated text under the header line.
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "config/config_comparison.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace tarnis::app {

struct CompareActions {
  // Each acts on rows (indexes of the list shown; empty: every row) and returns the line that
  // tells what it left out, empty when nothing.
  std::function<std::string(const std::vector<int>& rows)> write_to_device;
  std::function<std::string(const std::vector<int>& rows)> take_from_device;
  // The list after an action.
  std::function<std::vector<config::Difference>()> differences;
};

class CompareDialog : public QDialog {
  Q_OBJECT

 public:
  CompareDialog(const std::vector<config::Difference>& differences, QWidget* parent = nullptr,
                CompareActions actions = {});

  QTableWidget* DifferenceTable = nullptr;  // "Раздел", "№", "Поле", "В программе", "В КМ"
  QLabel* CountLabel = nullptr;
  QLabel* ActionNoteLabel = nullptr;  // what the last action left out; hidden when nothing
  QPushButton* WriteDifferencesButton = nullptr;  // null without actions
  QPushButton* TakeFromDeviceButton = nullptr;    // null without actions
  QPushButton* CopyButton = nullptr;

  // The rows chosen (selected, or every row) as tab-separated lines under the header line.
  QString ListText() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ShowDifferences(const std::vector<config::Difference>& differences);
  std::vector<int> SelectedRows() const;
  void Act(const std::function<std::string(const std::vector<int>&)>& action);

  CompareActions actions_;
};

}  // namespace tarnis::app
