#pragma once
// TDataOperFrame, page 1: the 32 operators.
#include "wizard/grid_page_frame.h"
#include "wizard/operators_page.h"

namespace tarnis::wizard {

class TDataOperFrame : public GridPageFrame {
  Q_OBJECT
 public:
  TDataOperFrame(WizardContext& context, QWidget* parent);

  void StringGrid1DblClick() override;

  OperatorsPage& page() { return page_; }

 private:
  OperatorsPage page_;
};

}  // namespace tarnis::wizard
