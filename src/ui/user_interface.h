#pragma once
// Everything the operations show or ask the user goes through this interface: message boxes,
// file dialogs, the hourglass, the main window's progress bar and the wait window. The program
// implements it with Qt; tests implement it with a recording fake that answers from a script.
#include <optional>
#include <string>

namespace tarnis::ui {

// None: a plain notice or an editor's refusal, shown without a picture.
enum class Icon { Error, Information, Question, Warning, None };
enum class Buttons { Ok, YesNo, YesNoCancel };
enum class Answer { Ok, Yes, No, Cancel };

// A check box under a message's text; checked holds its state when shown and when answered.
struct CheckBox {
  std::string text;
  bool checked = false;
};

struct FileDialog {
  std::string title;             // empty: the toolkit's own
  std::string filter;            // as "Конфигурация (*.cfg)|*.cfg"
  std::string default_suffix;    // added when the name has none, as "cfg"
  bool confirm_overwrite = true;  // false: a save replaces an existing file without a question
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // Texts are UTF-8, exactly as the user reads them.
  virtual Answer Message(const std::string& text, const std::string& caption, Icon icon, Buttons buttons) = 0;
  // The same message with check_box under its text. Programs without windows have no check box:
  // they ask the plain message and leave it as it was.
  virtual Answer MessageWithCheckBox(const std::string& text, const std::string& caption, Icon icon, Buttons buttons,
                                     CheckBox& check_box) {
    static_cast<void>(check_box);
    return Message(text, caption, icon, buttons);
  }
  // The chosen path, or nothing when the dialog was cancelled or confirmed without a name.
  virtual std::optional<std::string> ChooseOpenFile(const FileDialog& dialog) = 0;
  virtual std::optional<std::string> ChooseSaveFile(const FileDialog& dialog) = 0;

  virtual void SetBusyCursor(bool busy) = 0;

  virtual void ProgressStart() = 0;
  // Sets the bar to ProgressPosition(step, total).
  virtual void ProgressStep(int step, int total) = 0;
  virtual void ProgressEnd() = 0;

  virtual void WaitShow() = 0;
  virtual void WaitSetCaption(const std::string& caption) = 0;
  virtual void WaitSetStep(const std::string& step) = 0;
  virtual void WaitClose() = 0;

  // Lets pending window messages run so that the windows repaint during a long operation.
  virtual void ProcessEvents() = 0;

  // True once the user asked the running operation to stop (the wait window's "Прервать").
  // Long operations ask between exchanges and stop as answering "Нет" to "Продолжить?" would.
  virtual bool StopRequested() = 0;

  // The short sound of a refused command (another exchange is under way, a key that does nothing).
  virtual void Beep() = 0;

  // The time a long operation still needs, as "осталось ≈ 40 с", shown beside the progress;
  // empty hides it. Programs without windows show nothing.
  virtual void ShowTimeLeft(const std::string& text) { static_cast<void>(text); }
};

// step × 100 / total, by integer division; 0 for a total that is not positive.
int ProgressPosition(int step, int total);

// The captions every message uses.
inline const std::string kErrorCaption = "Ошибка...";
inline const std::string kNoticeCaption = "Предупреждение...";
inline const std::string kQuestionCaption = "Подтверждение...";

// A failure: caption "Ошибка...", error icon, OK.
void ShowError(UserInterface& ui, const std::string& text);
// A success notice or a refusal before an exchange: "Предупреждение...", information icon, OK.
void ShowNotice(UserInterface& ui, const std::string& text);
// A question: "Подтверждение...", question icon, Yes/No; true for Yes.
bool Confirm(UserInterface& ui, const std::string& text);
// A failed item inside a transfer: text + "\n Продолжить?", "Ошибка...", error icon, Yes/No;
// true for Yes (go on with the next item). With check_box, it is shown under the text.
bool AskContinue(UserInterface& ui, const std::string& text, CheckBox* check_box = nullptr);

// Hourglass for the lifetime of the object.
class BusyCursor {
 public:
  explicit BusyCursor(UserInterface& ui) : ui_(ui) { ui_.SetBusyCursor(true); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
  ~BusyCursor() { ui_.SetBusyCursor(false); }

 private:
  UserInterface& ui_;
};

}  // namespace tarnis::ui
