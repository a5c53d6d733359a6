#pragma once
// The UserInterface of tarnisctl: notices on standard output, failures, warnings (what a run did
// not do) and the steps of a transfer on standard error. A failure inside a transfer is answered from --keep-going; a
// question the command itself implies (erasing, say) is answered Yes, since the user typed it.
// When several devices run at once, each line starts with its port's tag and goes out whole.
#include <iostream>
#include <mutex>
#include <sstream>

#include "ui/silent_user_interface.h"

namespace tarnis::ctl {

class ConsoleUserInterface : public ui::SilentUserInterface {
 public:
  // tag: "[COM1] " or empty for a single device; quiet_output: what would go to standard output
  // goes to standard error (standard output then carries JSON only).
  explicit ConsoleUserInterface(bool keep_going, std::string tag = {}, bool quiet_output = false)
      : keep_going_(keep_going), tag_(std::move(tag)), quiet_output_(quiet_output) {}

  bool had_failure() const { return had_failure_; }

  ui::Answer Message(const std::string& text, const std::string&, ui::Icon icon, ui::Buttons buttons) override {
    const bool failure = icon == ui::Icon::Error || icon == ui::Icon::Warning;
    had_failure_ = had_failure_ || failure;
    if (buttons == ui::Buttons::Ok) {
      Write(failure, text + '\n');
      return ui::Answer::Ok;
    }
    const bool yes = !failure || keep_going_;
    Write(failure, text + (yes ? " Да" : " Нет") + '\n');
    return yes ? ui::Answer::Yes : ui::Answer::No;
  }
  void WaitSetStep(const std::string& step) override { Err(step + '\n'); }

  // Text for standard output or standard error; each line gets the tag.
  void Out(const std::string& text) { Write(false, text); }
  void Err(const std::string& text) { Write(true, text); }

 private:
  void Write(bool error, const std::string& text) {
    std::ostream& out = error || quiet_output_ ? std::cerr : std::cout;
    std::string tagged;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) tagged += tag_ + line + '\n';
    if (!text.empty() && text.back() != '\n') tagged.pop_back();
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    out << tagged << std::flush;
  }

  bool keep_going_;
  std::string tag_;
  bool quiet_output_;
  bool had_failure_ = false;
};

}  // namespace tarnis::ctl
