#pragma once
// TDcoFrame, page 2: the document name, edited in place.
#include "wizard/document_name_page.h"
#include "wizard/wizard_context.h"
#include "wizard/wizard_page_frame.h"

class QCheckBox;
class QLineEdit;

namespace tarnis::wizard {

class TDcoFrame : public ContentPageFrame {
  Q_OBJECT
 public:
  TDcoFrame(WizardContext& context, QWidget* parent);

  void FillPage();
  void Edit1Change();
  void CheckBox1Click();
  void BitBtn1Click();
  void BitBtn2Click();

  QLineEdit* Edit1 = nullptr;
  QCheckBox* CheckBox1 = nullptr;  // "Широкий"

 private:
  void StoreControls();

  DocumentNamePage page_;
};

}  // namespace tarnis::wizard
