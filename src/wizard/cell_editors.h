#pragma once
// The two cell editors of the wizard's grids, created once and reused for every edit: TForm6 for
// a printable line with its width, TForm7 for a password. Each reports whether the edit was
// applied ("Применить" or Enter); any other way of closing counts as "Отмена".
#include <QDialog>
#include <optional>
#include <string>

#include "wizard/line_value.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tarnis::wizard {

// Common behaviour: the result flag, Enter in Edit1 applies, focus in Edit1 on showing.
class CellEditorDialog : public QDialog {
  Q_OBJECT
 public:
  // 1 when the last edit was applied, 0 when it was cancelled.
  std::uint8_t result_flag() const { return result_flag_; }

  QLineEdit* Edit1 = nullptr;
  QPushButton* Button1 = nullptr;  // "Применить"
  QPushButton* Button2 = nullptr;  // "Отмена"

 public slots:
  void Apply();
  void reject() override;

 protected:
  CellEditorDialog(const QString& caption, QSize client_size, QWidget* parent);
  // Shows the dialog modally; true when applied.
  bool Run();
  void showEvent(QShowEvent* event) override;

 private:
  std::uint8_t result_flag_ = 0;
};

class TForm6 : public CellEditorDialog {
  Q_OBJECT
 public:
  explicit TForm6(QWidget* parent = nullptr);

  // The edited line when "Применить" or Enter closed the editor; nothing after "Отмена".
  std::optional<LineValue> EditLine(const LineValue& line);

  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QCheckBox* CheckBox1 = nullptr;  // "Широкий"
  // "16 / 12": the text's length and what the width prints, red past it; under it, only then,
  // "будет напечатано 12 символов", otherwise a character the device keeps as another, as
  // "Ё будет записана как Е".
  QLabel* LengthCount = nullptr;
  QLabel* LengthWarning = nullptr;

 private:
  void ShowLength();
};

class TForm7 : public CellEditorDialog {
  Q_OBJECT
 public:
  explicit TForm7(QWidget* parent = nullptr);

  // The digits typed (at most four) when applied; nothing after "Отмена".
  std::optional<std::string> EditNumber(const std::string& number);
};

// The editors the pages share; both live for the whole run.
struct CellEditors {
  TForm6& line;
  TForm7& number;
};

}  // namespace tarnis::wizard
