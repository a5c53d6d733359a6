#pragma once
// TBaseFrame, the goods page: the 1001-record table with its device transfers, its files and
// the item editor. The page shows state and starts operations; the work is in goods_transfer and
// goods_file_actions.
#include <QFrame>
#include <memory>

#include "goods/goods_scope.h"
#include "goods/goods_table.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace tarnis::link {
class Link;
}
namespace tarnis::ui {
class UserInterface;
}

namespace tarnis::goods {

class GoodsTableModel;
class TForm8;

class TBaseFrame : public QFrame {
  Q_OBJECT
 public:
  // Builds and initialises the page: every row empty, the device controls disabled.
  TBaseFrame(link::Link& link, ui::UserInterface& ui, QWidget* parent = nullptr);
  ~TBaseFrame() override;

  GoodsTable& table() { return table_; }
  const GoodsTable& table() const { return table_; }
  // The code of the selected row (the grid's row r holds code r − 1).
  int selected_code() const { return selected_code_; }
  TForm8& editor() { return *editor_; }

  // After the port opened: the read, write and erase buttons and the two mode boxes.
  void EnableDeviceControls();

  void BitBtn1Click();  // read from the device
  void BitBtn2Click();  // write to the device
  void BitBtn3Click();  // save to a file
  void BitBtn4Click();  // load from a file
  void BitBtn5Click();  // reset the table
  void BitBtn6Click();  // erase the device's base
  void BitBtn7Click();  // export CSV
  void BitBtn8Click();  // import CSV
  void Button1Click();  // leave the page
  void CheckBox2Click();
  void StringGrid1SelectCell(int row);
  void StringGrid1DblClick();

  QLabel* Label1 = nullptr;  // heading
  QLabel* Label2 = nullptr;  // introduction
  QTableView* StringGrid1 = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QCheckBox* CheckBox1 = nullptr;
  QCheckBox* CheckBox2 = nullptr;
  QCheckBox* ChangedCheckBox = nullptr;  // "Изменённые": a write sends the records not on the device
  QLabel* ChangedCountLabel = nullptr;   // how many records are not on the device
  QLabel* Label3 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QLabel* Label4 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* BitBtn2 = nullptr;
  QPushButton* BitBtn3 = nullptr;
  QPushButton* BitBtn4 = nullptr;
  QPushButton* BitBtn5 = nullptr;
  QPushButton* BitBtn6 = nullptr;
  QPushButton* BitBtn7 = nullptr;
  QPushButton* BitBtn8 = nullptr;
  QPushButton* Button1 = nullptr;

 signals:
  // The user confirmed leaving the page; the main window hides it.
  void ExitRequested();

 private:
  void Build();
  void BuildGrid();
  void WireControls();
  GoodsScope Scope(bool writing) const;
  void FocusRangeField(RangeField field);
  void ShowChangedCount();

  link::Link& link_;
  ui::UserInterface& ui_;
  GoodsTable table_;
  int selected_code_ = 0;
  GoodsTableModel* model_ = nullptr;
  TForm8* editor_ = nullptr;
};

}  // namespace tarnis::goods
