#pragma once
// TLastFrame, page 6: the end of the wizard; "Готово" leads on to the blank form constructor.
#include "wizard/wizard_page_frame.h"

class QLabel;

namespace tarnis::wizard {

class TLastFrame : public WizardPageFrame {
  Q_OBJECT
 public:
  TLastFrame(bool single_page, QWidget* parent);

  // "Готово" always; "<<< Назад" and the three lines only in the wizard.
  void FillPage();

  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;

 private:
  bool single_page_;
};

}  // namespace tarnis::wizard
