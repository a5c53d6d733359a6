#pragma once
// TForm3, the connection settings: port, speed, factory number and the two read time-outs.
// Made anew each time it opens, so it always starts from the defaults, never from the settings
// in force. Apply checks every field first and changes nothing while one is wrong.
#include <QDialog>
#include <vector>

#include "connection/port_survey.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QPushButton;

namespace tarnis::app {

class TForm1;

class TForm3 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm3(TForm1& main_window);

  void Button1Click();  // "Применить"
  void Button2Click();  // "Отмена"
  void FindDeviceClick();  // "Найти аппарат"

  QComboBox* ComboBox1 = nullptr;  // port
  QComboBox* ComboBox2 = nullptr;  // speed
  QLineEdit* Edit1 = nullptr;      // inter-byte time-out
  QLineEdit* Edit2 = nullptr;      // total time-out
  QSpinBox* RetriesSpinBox = nullptr;  // "Повторов при сбое", 0..5
  QLineEdit* Edit3 = nullptr;      // factory number
  QLabel* PortDevice = nullptr;    // what the chosen name resolves to on this machine
  QLabel* PortReason = nullptr;    // why the chosen port cannot be used; empty for a free one
  QPushButton* FindDevice = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;

 protected:
  // Escape and the window manager's close act as "Отмена".
  void reject() override;
  void showEvent(QShowEvent* event) override;

 private:
  void FormShow();
  void DescribeChosenPort();
  // Surveys every name and marks each item of the port list with its state.
  void MarkPorts();

  std::vector<connection::PortReport> survey_;

  TForm1& main_window_;
};

}  // namespace tarnis::app
