#pragma once
// The wizard's page order and its "Выход" question.
#include <optional>
#include <string>

#include "ui/user_interface.h"

namespace tarnis::wizard {

// Page indices as the main window passes the start page.
enum class WizardPage : int { Start = 0, Operators, DocumentName, Services, Requisites, Cliches, Last };
constexpr int kPageCount = 7;

inline const std::string kExitWizardQuestion = "Вы действительно хотите выйти из \"Помощника\"?  ";
inline const std::string kExitConstructorQuestion = "Вы действительно хотите выйти из конструктора?";

// The page "Далее >>>" and "<<< Назад" lead to; nothing where there is none.
std::optional<WizardPage> NextPage(WizardPage page);
std::optional<WizardPage> PreviousPage(WizardPage page);

// A content page (operators to clichés).
bool IsContentPage(WizardPage page);

// "Выход" on page: a content page opened alone closes at once; otherwise the user is asked, on the
// services page about the constructor. True when the wizard should close.
bool ConfirmExit(ui::UserInterface& ui, WizardPage page, bool single_page);

// A start page index from the main window; anything outside 0..6 starts at the start page.
WizardPage PageFromIndex(int index);

}  // namespace tarnis::wizard
