#pragma once
// TForm4, the About window: the program's name, version and company from the version resource
// of the program's own file. Made for each showing.
#include <QDialog>
#include <string>

#include "platform/version_info.h"

class QFrame;
class QLabel;
class QPushButton;

namespace tarnis::app {

class TForm4 : public QDialog {
  Q_OBJECT

 public:
  // executable_path: the program file whose version resource is shown.
  explicit TForm4(QWidget* parent = nullptr, std::string executable_path = version_info::kRunningExecutable);

  // Fills the value labels; a value the file does not hold leaves its label as it is.
  void FormShow();
  void Button1Click();

  QFrame* Panel1 = nullptr;
  QLabel* Image1 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label7 = nullptr;
  QPushButton* Button1 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  std::string executable_path_;
};

}  // namespace tarnis::app
