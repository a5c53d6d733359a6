#include "ui/user_interface.h"

namespace tarnis::ui {

int ProgressPosition(int step, int total) { return total > 0 ? step * 100 / total : 0; }

void ShowError(UserInterface& ui, const std::string& text) {
  ui.Message(text, kErrorCaption, Icon::Error, Buttons::Ok);
}

void ShowNotice(UserInterface& ui, const std::string& text) {
  ui.Message(text, kNoticeCaption, Icon::Information, Buttons::Ok);
}

bool Confirm(UserInterface& ui, const std::string& text) {
  return ui.Message(text, kQuestionCaption, Icon::Question, Buttons::YesNo) == Answer::Yes;
}

bool AskContinue(UserInterface& ui, const std::string& text, CheckBox* check_box) {
  const std::string question = text + "\n Продолжить?";
  const Answer answer = check_box ? ui.MessageWithCheckBox(question, kErrorCaption, Icon::Error, Buttons::YesNo, *check_box)
                                  : ui.Message(question, kErrorCaption, Icon::Error, Buttons::YesNo);
  return answer == Answer::Yes;
}

}  // namespace tarnis::ui
