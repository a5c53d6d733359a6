#pragma once
// TStateFrame, the status page: "Состояние" asks the device for its status and shows every
// field; a failed request leaves them all empty. Nothing is asked when the page is shown.
#include <QFrame>

#include "admin/status_report.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarnis::link {
class Link;
}
namespace tarnis::ui {
class UserInterface;
}

namespace tarnis::admin {

class TStateFrame : public QFrame {
  Q_OBJECT

 public:
  TStateFrame(link::Link& link, ui::UserInterface& ui, QWidget* parent = nullptr);

  // ShowStatus: clears the fields, asks the device, fills the fields or reports the failure.
  void BitBtn1Click();

  QLabel* Label1 = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QLabel* Label10 = nullptr;
  QLabel* Label9 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label16 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* Label7 = nullptr;
  QLabel* Label8 = nullptr;
  QLabel* Label11 = nullptr;
  QLabel* Label13 = nullptr;
  QLineEdit* Edit11 = nullptr;  // time
  QLineEdit* Edit12 = nullptr;  // date
  QLineEdit* Edit1 = nullptr;   // operating mode
  QLineEdit* Edit2 = nullptr;
  QLineEdit* Edit18 = nullptr;  // submode
  QLineEdit* Edit19 = nullptr;
  QLineEdit* Edit3 = nullptr;   // flash
  QLineEdit* Edit4 = nullptr;   // its text is never visible
  QLineEdit* Edit7 = nullptr;   // battery
  QLineEdit* Edit8 = nullptr;
  QLineEdit* Edit9 = nullptr;   // current document number
  QLineEdit* Edit10 = nullptr;  // current document state
  QLineEdit* Edit13 = nullptr;  // factory number
  QLineEdit* Edit15 = nullptr;  // ИНН

 private:
  void ShowReport(const StatusReport& report);

  link::Link& link_;
  ui::UserInterface& ui_;
};

}  // namespace tarnis::admin
