#pragma once
// TForm8, the goods item editor: name, font, barcode, section and price of one row, checked and
// the price normalised before the user may apply them. Created once and reused for every edit.
#include <QDialog>

#include "goods/goods_row.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarnis::ui {
class UserInterface;
}

namespace tarnis::goods {

class TForm8 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm8(ui::UserInterface& ui, QWidget* parent = nullptr);

  // The fields from a row; an empty barcode cell shows "0".
  void LoadFrom(const GoodsRow& row);
  // Runs the dialog modally; true when it ended applied.
  bool Run();
  bool applied() const { return applied_; }
  // The row the fields describe, for the record with this code.
  GoodsRow RowFor(int code) const;

  void Button1Click();  // "Применить"
  void Button2Click();  // "Отмена"
  void Button3Click();  // "Очистить поля"

  QLineEdit* Edit1 = nullptr;  // name
  QCheckBox* CheckBox1 = nullptr;
  QLineEdit* Edit2 = nullptr;  // barcode
  QLineEdit* Edit3 = nullptr;  // section
  QLineEdit* Edit4 = nullptr;  // price
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
  QPushButton* Button3 = nullptr;
  QLabel* NameNotice = nullptr;  // "Ё будет записана как Е" while the name holds such a character

 protected:
  // Escape cancels, as "Отмена" does.
  void reject() override;

 private:
  void Build();
  void CapitaliseName(const QString& text);

  ui::UserInterface& ui_;
  bool applied_ = false;
};

}  // namespace tarnis::goods
