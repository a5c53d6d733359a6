#include "wizard/usl_frame.h"

#include "wizard/wizard_style.h"

namespace tarnis::wizard {

TUslFrame::TUslFrame(WizardContext& context, QWidget* parent)
    : TablePageFrame({kServicesPage,
                      "TUslFrame",
                      "Услуги",
                      kPurple,
                      {{25, "№"}, {175, "Строка 1"}, {175, "Строка 2"}, {60, "Дост."}}},
                     context, parent) {}

}  // namespace tarnis::wizard
