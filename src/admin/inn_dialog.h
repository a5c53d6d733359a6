#pragma once
// TForm10, the ИНН programming dialog: taxpayer number, password, date and group, a warning that
// the step cannot be undone, and "Применить", which sends everything in one request. Made for
// each use; it starts from "0", today's date and "Группа 1" every time.
#include <QDialog>

#include "admin/inn.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarnis::admin {

class TForm10 : public QDialog {
  Q_OBJECT

 public:
  TForm10(link::Link& link, ui::UserInterface& ui, QWidget* parent = nullptr);

  void FormShow();
  void Button2Click();  // apply
  void Button1Click();  // cancel

  // What the fields hold now.
  InnForm Form() const;

  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label9 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label10 = nullptr;
  QLabel* Label11 = nullptr;
  QLabel* Label12 = nullptr;
  QLabel* Label13 = nullptr;
  QLabel* Label5 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QLabel* Label6 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QLabel* Label7 = nullptr;
  QDateEdit* DateTimePicker1 = nullptr;
  QLabel* Label8 = nullptr;
  QComboBox* ComboBox1 = nullptr;
  QPushButton* Button2 = nullptr;
  QPushButton* Button1 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* FieldWidget(InnField field) const;

  link::Link& link_;
  ui::UserInterface& ui_;
};

}  // namespace tarnis::admin
