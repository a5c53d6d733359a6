#pragma once
// TKlsFrame, page 4: the 8 additional requisites, three lines each.
#include "wizard/table_page_frame.h"

namespace tarnis::wizard {

class TKlsFrame : public TablePageFrame {
  Q_OBJECT
 public:
  TKlsFrame(WizardContext& context, QWidget* parent);
};

}  // namespace tarnis::wizard
