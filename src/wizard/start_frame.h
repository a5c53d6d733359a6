#pragma once
// TStartFrame, page 0: the greeting and the read of the whole configuration.
#include "wizard/wizard_page_frame.h"

namespace tarnis::wizard {

class TStartFrame : public WizardPageFrame {
  Q_OBJECT
 public:
  explicit TStartFrame(QWidget* parent);

  QPushButton* BitBtn1 = nullptr;  // "Выгрузить из КМ": the whole configuration
};

}  // namespace tarnis::wizard
