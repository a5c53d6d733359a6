#pragma once
// TKlsFrame2, page 5: the two clichés of eight lines, one shown at a time.
#include "wizard/cliche_page.h"
#include "wizard/wizard_context.h"
#include "wizard/wizard_page_frame.h"

class QComboBox;

namespace tarnis::wizard {

class CellGridWidget;

class TKlsFrame2 : public ContentPageFrame {
  Q_OBJECT
 public:
  TKlsFrame2(WizardContext& context, QWidget* parent);

  // Shows cliché 1 or 2 and selects it in the list.
  void FillPage(int cliche);
  void StringGrid1DblClick();
  void BitBtn1Click();
  void BitBtn2Click();

  ClichePage& page() { return page_; }

  CellGridWidget* StringGrid1 = nullptr;
  QComboBox* ComboBox1 = nullptr;

 private:
  int ChosenCliche() const;
  void ShowChosenCliche();

  WizardContext& context_;
  ClichePage page_;
};

}  // namespace tarnis::wizard
