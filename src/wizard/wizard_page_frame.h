#pragma once
// What every wizard page carries: its fixed size and the three buttons along its bottom edge,
// Button3 "Выход", Button2 "<<< Назад" and Button1 "Далее >>>". The content pages add BitBtn1
// "Выгрузить из КМ" and BitBtn2 "Загрузить в КМ" and the single-page rule.
#include <QFrame>

class QPushButton;

namespace tarnis::wizard {

class WizardPageFrame : public QFrame {
  Q_OBJECT
 public:
  static constexpr int kWidth = 461;
  static constexpr int kHeight = 339;

  QPushButton* Button1 = nullptr;  // next
  QPushButton* Button2 = nullptr;  // back
  QPushButton* Button3 = nullptr;  // exit

 protected:
  WizardPageFrame(const QString& object_name, const QString& next_caption, QWidget* parent);
  // Top of the row of buttons above the navigation buttons.
  static constexpr int kActionRowTop = 270;
  static constexpr int kNavigationTop = 306;
  // Width of the explanatory texts.
  static constexpr int kTextWidth = 445;
};

class ContentPageFrame : public WizardPageFrame {
  Q_OBJECT
 public:
  QPushButton* BitBtn1 = nullptr;  // read from the device
  QPushButton* BitBtn2 = nullptr;  // write to the device

 protected:
  ContentPageFrame(const QString& object_name, const QString& next_caption, bool single_page, QWidget* parent);
  // Alone: no "Далее" and "<<< Назад"; in the wizard: both, and the device buttons, shown.
  void ApplySinglePageRule();

 private:
  bool single_page_;
};

}  // namespace tarnis::wizard
