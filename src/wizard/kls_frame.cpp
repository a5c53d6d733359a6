#include "wizard/kls_frame.h"

#include "wizard/wizard_style.h"

namespace tarnis::wizard {

TKlsFrame::TKlsFrame(WizardContext& context, QWidget* parent)
    : TablePageFrame({kRequisitesPage,
                      "TKlsFrame",
                      "Дополнительные реквизиты",
                      kMaroon,
                      {{20, "№"}, {125, "Строка 1"}, {125, "Строка 2"}, {100, "Строка 3"}, {65, "Дост."}}},
                     context, parent) {}

}  // namespace tarnis::wizard
