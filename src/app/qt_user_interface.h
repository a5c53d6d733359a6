#pragma once
// The program's UserInterface: Qt message boxes and file dialogs, the override cursor, the main
// window's progress bar and the wait window TForm9.
#include <QString>
#include <string_view>

#include "ui/user_interface.h"

namespace tarnis::app {

class TForm1;
class TForm9;

class QtUserInterface final : public ui::UserInterface {
 public:
  explicit QtUserInterface(TForm1& main_window) : main_window_(main_window) {}
  ~QtUserInterface() override;

  // The wait window is made after the main window; until it is set, wait steps show nowhere.
  void SetWaitWindow(TForm9* wait_window) { wait_window_ = wait_window; }

  ui::Answer Message(const std::string& text, const std::string& caption, ui::Icon icon,
                     ui::Buttons buttons) override;
  ui::Answer MessageWithCheckBox(const std::string& text, const std::string& caption, ui::Icon icon,
                                 ui::Buttons buttons, ui::CheckBox& check_box) override;
  std::optional<std::string> ChooseOpenFile(const ui::FileDialog& dialog) override;
  std::optional<std::string> ChooseSaveFile(const ui::FileDialog& dialog) override;
  void SetBusyCursor(bool busy) override;
  void ProgressStart() override;
  void ProgressStep(int step, int total) override;
  void ProgressEnd() override;
  void WaitShow() override;
  void WaitSetCaption(const std::string& caption) override;
  void WaitSetStep(const std::string& step) override;
  void WaitClose() override;
  void ProcessEvents() override;
  bool StopRequested() override;
  void ShowTimeLeft(const std::string& text) override;
  void Beep() override;

 private:
  ui::Answer ShowMessage(const std::string& text, const std::string& caption, ui::Icon icon, ui::Buttons buttons,
                         ui::CheckBox* check_box);
  std::optional<std::string> ChooseFile(const ui::FileDialog& dialog, bool save);

  TForm1& main_window_;
  TForm9* wait_window_ = nullptr;
  int busy_depth_ = 0;
};

// A filter written as "Name (*.ext)|*.ext|Other|*.a;*.b" in the form Qt's file dialogs take:
// "Name (*.ext);;Other (*.a *.b)".
QString QtFileFilter(std::string_view filter);

}  // namespace tarnis::app
