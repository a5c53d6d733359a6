#pragma once
// The UserInterface of tarnisctl: notices on standard output, failures, warnings (what a run did
// not do) and the steps of a transfer on standard error. A failure inside a transfer is answered from --keep-going; a
// question the command itself implies (erasing, say) is answered Yes, since the user typed it.
//
// When standard error is a terminal, a long transfer also keeps one line there up to date: the
// section, the requests done of all, the percentage and the time left. Anything else written
// clears it first; the lines that stay are those a run without a terminal prints.
#include <iostream>
#include <string>

#include "ui/silent_user_interface.h"

namespace tarnis::ctl {

// "Клише: 120/335 запросов, 35 %, осталось ≈ 40 с" (section and time left only when known).
std::string ProgressLine(const std::string& section, int step, int total, const std::string& time_left);

// Whether standard error is a terminal a self-updating line can be drawn on.
bool StandardErrorIsTerminal();

class ConsoleUserInterface : public ui::SilentUserInterface {
 public:
  explicit ConsoleUserInterface(bool keep_going, bool live_progress = StandardErrorIsTerminal())
      : keep_going_(keep_going), live_progress_(live_progress) {}
  ~ConsoleUserInterface() override { ClearProgress(); }

  bool had_failure() const { return had_failure_; }

  ui::Answer Message(const std::string& text, const std::string&, ui::Icon icon, ui::Buttons buttons) override {
    ClearProgress();
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
  void WaitSetStep(const std::string& step) override {
    ClearProgress();
    std::cerr << step << std::endl;
    section_ = step;
    DrawProgress();
  }
  void ProgressStart() override {
    step_ = 0;
    total_ = 0;
    time_left_.clear();
  }
  void ProgressStep(int step, int total) override {
    step_ = step;
    total_ = total;
    DrawProgress();
  }
  void ProgressEnd() override {
    ClearProgress();
    total_ = 0;
  }
  void ShowTimeLeft(const std::string& text) override {
    time_left_ = text;
    DrawProgress();
  }

 private:
  void DrawProgress() {
    if (!live_progress_ || total_ <= 0) return;
    std::cerr << '\r' << ProgressLine(section_, step_, total_, time_left_) << "\x1b[K" << std::flush;
    drawn_ = true;
  }
  void ClearProgress() {
    if (!drawn_) return;
    std::cerr << "\r\x1b[K" << std::flush;
    drawn_ = false;
  }

  bool keep_going_;
  bool live_progress_;
  bool had_failure_ = false;
  bool drawn_ = false;
  std::string section_;
  int step_ = 0;
  int total_ = 0;
  std::string time_left_;
};

}  // namespace tarnis::ctl
