#pragma once
// The UserInterface of tarnisctl: notices on standard output, failures, warnings (what a run did
// not do) and the steps of a transfer on standard error. A failure inside a transfer is answered from --keep-going; a
// question the command itself implies (erasing, say) is answered Yes, since the user typed it.
#include <iostream>

#include "ui/silent_user_interface.h"

namespace tarnis::ctl {

class ConsoleUserInterface : public ui::SilentUserInterface {
 public:
  explicit ConsoleUserInterface(bool keep_going) : keep_going_(keep_going) {}

  bool had_failure() const { return had_failure_; }

  ui::Answer Message(const std::string& text, const std::string&, ui::Icon icon, ui::Buttons buttons) override {
    const bool failure = icon == ui::Icon::Error || icon == ui::Icon::Warning;
    had_failure_ = had_failure_ || failure;
    std::ostream& out = failure ? std::cerr : std::cout;
    out << text;
    if (buttons == ui::Buttons::Ok) {
      out << std::endl;
      return ui::Answer::Ok;
    }
    const bool yes = !failure || keep_going_;
    out << (yes ? " Да" : " Нет") << std::endl;
    return yes ? ui::Answer::Yes : ui::Answer::No;
  }
  void WaitSetStep(const std::string& step) override { std::cerr << step << std::endl; }

 private:
  bool keep_going_;
  bool had_failure_ = false;
};

}  // namespace tarnis::ctl
