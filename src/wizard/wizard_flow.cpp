#include "wizard/wizard_flow.h"

namespace tarnis::wizard {

std::optional<WizardPage> NextPage(WizardPage page) {
  if (page == WizardPage::Last) return std::nullopt;
  return static_cast<WizardPage>(static_cast<int>(page) + 1);
}

std::optional<WizardPage> PreviousPage(WizardPage page) {
  if (page == WizardPage::Start) return std::nullopt;
  return static_cast<WizardPage>(static_cast<int>(page) - 1);
}

bool IsContentPage(WizardPage page) { return page != WizardPage::Start && page != WizardPage::Last; }

bool ConfirmExit(ui::UserInterface& ui, WizardPage page, bool single_page) {
  if (IsContentPage(page) && single_page) return true;
  return ui::Confirm(ui, page == WizardPage::Services ? kExitConstructorQuestion : kExitWizardQuestion);
}

WizardPage PageFromIndex(int index) {
  return index >= 0 && index < kPageCount ? static_cast<WizardPage>(index) : WizardPage::Start;
}

}  // namespace tarnis::wizard
