#pragma once
// A UserInterface that shows nothing: every question is answered Yes, every file dialog is
// cancelled. Programs without windows derive from it and override only what they show.
#include "ui/user_interface.h"

namespace tarnis::ui {

class SilentUserInterface : public UserInterface {
 public:
  Answer Message(const std::string&, const std::string&, Icon, Buttons buttons) override {
    return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
  }
  std::optional<std::string> ChooseOpenFile(const FileDialog&) override { return std::nullopt; }
  std::optional<std::string> ChooseSaveFile(const FileDialog&) override { return std::nullopt; }
  void SetBusyCursor(bool) override {}
  void ProgressStart() override {}
  void ProgressStep(int, int) override {}
  void ProgressEnd() override {}
  void WaitShow() override {}
  void WaitSetCaption(const std::string&) override {}
  void WaitSetStep(const std::string&) override {}
  void WaitClose() override {}
  void ProcessEvents() override {}
  bool StopRequested() override { return false; }
  void Beep() override {}
};

}  // namespace tarnis::ui
