#pragma once
// The UserInterface of tarnisctl: notices on standard output, failures, warnings (what a run did
// not do) and the steps of a transfer on standard error. A failure inside a transfer is answered from --keep-going; a
// question the command itself implies (erasing, say) is answered Yes, since the user typed it.
//
// When standard error is a terminal, a long transfer of one device also keeps one line there up
// to date: the section, the requests done of all, the percentage and the time left. Anything else
// written clears it first; the lines that stay are those a run without a terminal prints. When
// several devices run at once, each line starts with its port's tag and goes out whole.
#include <iostream>
#include <mutex>
#include <sstream>
#include <string>

#include "ui/silent_user_interface.h"

namespace tarnis::ctl {

// "Клише: 120/335 запросов, 35 %, осталось ≈ 40 с" (section and time left only when known).
std::string ProgressLine(const std::string& section, int step, int total, const std::string& time_left);

// Whether standard error is a terminal a self-updating line can be drawn on.
bool StandardErrorIsTerminal();

class ConsoleUserInterface : public ui::SilentUserInterface {
 public:
  // tag: "[COM1] " or empty for a single device; quiet_output: what would go to standard output
  // goes to standard error (standard output then carries JSON only); live_progress: draw the
  // self-updating line (never for tagged runs, whose lines would overwrite each other).
  explicit ConsoleUserInterface(bool keep_going, std::string tag = {}, bool quiet_output = false,
                                bool live_progress = StandardErrorIsTerminal())
      : keep_going_(keep_going),
        live_progress_(live_progress && tag.empty() && !quiet_output),
        tag_(std::move(tag)),
        quiet_output_(quiet_output) {}
  ~ConsoleUserInterface() override { ClearProgress(); }

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
  void WaitSetStep(const std::string& step) override {
    Err(step + '\n');
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

  // Text for standard output or standard error; each line gets the tag.
  void Out(const std::string& text) { Write(false, text); }
  void Err(const std::string& text) { Write(true, text); }

 private:
  void Write(bool error, const std::string& text) {
    ClearProgress();
    std::ostream& out = error || quiet_output_ ? std::cerr : std::cout;
    std::string tagged;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) tagged += tag_ + line + '\n';
    if (!text.empty() && text.back() != '\n') tagged.pop_back();
    static std::mutex mutex;
    std::lock_guard lock(mutex);
    out << tagged << std::flush;
  }
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
  std::string tag_;
  bool quiet_output_;
  bool had_failure_ = false;
  bool drawn_ = false;
  std::string section_;
  int step_ = 0;
  int total_ = 0;
  std::string time_left_;
};

}  // namespace tarnis::ctl
