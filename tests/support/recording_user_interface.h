#pragma once
// A UserInterface for tests: records every message, prompt and progress call in order, and
// answers questions and file dialogs from a script.
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
};

class RecordingUserInterface : public ui::UserInterface {
 public:
  // Answers to Yes/No questions in order; once used up, default_answer.
  std::deque<ui::Answer> answers;
  ui::Answer default_answer = ui::Answer::Yes;
  // Paths returned by the file dialogs in order; once used up, nothing (cancelled).
  std::deque<std::optional<std::string>> file_choices;
  // Runs at every ProcessEvents, for tests that act while an operation is under way.
  std::function<void()> on_process_events;

  std::vector<RecordedMessage> messages;
  std::vector<ui::FileDialog> file_dialogs;
  // One line per call, in order: "message <caption>: <text>", "progress start", "progress 3/96 3",
  // "progress end", "wait show", "wait caption <text>", "wait step <text>", "wait close",
  // "cursor busy", "cursor normal".
  std::vector<std::string> events;

  bool busy_cursor = false;
  bool progress_visible = false;
  int progress_position = 0;
  bool wait_visible = false;
  std::string wait_caption;
  std::string wait_step;
  int process_events_calls = 0;
  // What StopRequested answers; tests set it, e.g. from on_process_events.
  bool stop_requested = false;

  ui::Answer Message(const std::string& text, const std::string& caption, ui::Icon icon,
                     ui::Buttons buttons) override;
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
  bool StopRequested() override { return stop_requested; }

  // The texts of all messages, in order.
  std::vector<std::string> MessageTexts() const;
  // The events that start with prefix, in order.
  std::vector<std::string> EventsStartingWith(const std::string& prefix) const;
};

}  // namespace tarnis::test
