#pragma once
// TDataOperFrame, page 1: the 32 operators.
#include "wizard/operators_page.h"
#include "wizard/wizard_context.h"
#include "wizard/wizard_page_frame.h"

class QCheckBox;

namespace tarnis::wizard {

class CellGridWidget;

class TDataOperFrame : public ContentPageFrame {
  Q_OBJECT
 public:
  TDataOperFrame(WizardContext& context, QWidget* parent);

  void FillPage();
  void StringGrid1DblClick();
  void BitBtn1Click();
  void BitBtn2Click();
  void BitBtn3Click();

  OperatorsPage& page() { return page_; }

  CellGridWidget* StringGrid1 = nullptr;
  QCheckBox* CheckBox1 = nullptr;  // "Текущий"
  QPushButton* BitBtn3 = nullptr;  // "Очистить поля"

 private:
  WizardContext& context_;
  OperatorsPage page_;
};

}  // namespace tarnis::wizard
