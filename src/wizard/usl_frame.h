#pragma once
// TUslFrame, page 3: the 99 services, two lines each.
#include "wizard/table_page_frame.h"

namespace tarnis::wizard {

class TUslFrame : public TablePageFrame {
  Q_OBJECT
 public:
  TUslFrame(WizardContext& context, QWidget* parent);
};

}  // namespace tarnis::wizard
