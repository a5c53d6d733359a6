#pragma once
// A UserInterface for tests: records every message, prompt and progress call in order, and
// answers questions and file dialogs from a script.
//
// It is as strict as the program's own: the hourglass nests (each busy call needs its own normal
// call, as on Qt's override-cursor stack), the progress bar and the wait window are shown and
// hidden in pairs. The program's event loop runs inside the progress calls, the message boxes and
// the file dialogs, so on_process_events runs there too; a new showing of the wait window forgets an
// earlier stop. Every call out of turn is kept in `faults`, and when the object goes away at
// the end of a test it fails the test unless the cursor is normal, the bar and the wait window
// are hidden and no call came out of turn.
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/user_interface.h"

namespace tarnis::test {

struct RecordedMessage {
  std::string text;
  std::string caption;
  ui::Icon icon;
  ui::Buttons buttons;
  ui::Answer answer;
  std::string check_box;  // the check box under the text; empty without one
  bool checked = false;   // its state when answered
};

class RecordingUserInterface : public ui::UserInterface {
 public:
  // Answers to Yes/No questions in order; once used up, default_answer.
  std::deque<ui::Answer> answers;
  ui::Answer default_answer = ui::Answer::Yes;
  // Whether the user ticks the check box of each message that has one, in order; once used up,
  // the box is left as shown.
  std::deque<bool> check_box_ticks;
  // Paths returned by the file dialogs in order; once used up, nothing (cancelled).
  std::deque<std::optional<std::string>> file_choices;
  // Runs wherever the program's event loop runs (ProcessEvents, the progress calls, message boxes,
  // file dialogs), for tests that act while an operation is under way.
  std::function<void()> on_process_events;
  // On: a question or file dialog with no scripted answer left is a fault rather than the default.
  bool only_scripted_answers = false;

  std::vector<RecordedMessage> messages;
  std::vector<ui::FileDialog> file_dialogs;
  // One line per call, in order: "message <caption>: <text>", "progress start", "progress 3/96 3",
  // "progress end", "wait show", "wait caption <text>", "wait step <text>", "wait close",
  // "cursor busy", "cursor normal", "beep".
  std::vector<std::string> events;

  // Nesting depth of the hourglass; busy_cursor is depth > 0.
  int busy_depth = 0;
  bool busy_cursor = false;
  bool progress_visible = false;
  int progress_position = 0;
  bool wait_visible = false;
  std::string wait_caption;
  std::string wait_step;
  int process_events_calls = 0;
  int beeps = 0;
  // What StopRequested answers while the wait window is up; tests set it from on_process_events
  // (WaitShow clears it, as a new showing of the window does).
  bool stop_requested = false;

  // Calls out of turn, as "cursor normal while normal", "progress end while hidden",
  // "progress step while hidden", "progress start while shown", "wait close while hidden",
  // "wait show while shown".
  std::vector<std::string> faults;
  // Off for the few tests that leave an operation half-way on purpose.
  bool check_settled_at_end = true;

  RecordingUserInterface() = default;
  RecordingUserInterface(const RecordingUserInterface&) = delete;
  RecordingUserInterface& operator=(const RecordingUserInterface&) = delete;
  ~RecordingUserInterface() override;

  // What is still on or came out of turn, one item per line; empty when all is at rest.
  std::string Unsettled() const;
  // Fails the current test (at `where`) unless Unsettled() is empty.
  void ExpectSettled(const std::string& where = {}) const;

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
  void Beep() override {
    ++beeps;
    events.push_back("beep");
  }
  // As the program's: only a wait window that is up can be stopped.
  bool StopRequested() override { return stop_requested && wait_visible; }
  void ShowTimeLeft(const std::string& text) override {
    time_left = text;
    events.push_back("time left " + text);
  }
  // The last time left shown; empty once hidden.
  std::string time_left;

  // The texts of all messages, in order.
  std::vector<std::string> MessageTexts() const;
  // The events that start with prefix, in order.
  std::vector<std::string> EventsStartingWith(const std::string& prefix) const;

 private:
  void RunEventLoop() {
    if (on_process_events) on_process_events();
  }
  std::optional<std::string> NextFileChoice(const std::string& kind, const ui::FileDialog& dialog);
};

}  // namespace tarnis::test
