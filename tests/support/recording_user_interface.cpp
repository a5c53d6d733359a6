#include "recording_user_interface.h"

#include <gtest/gtest.h>

namespace tarnis::test {

ui::Answer RecordingUserInterface::Message(const std::string& text, const std::string& caption, ui::Icon icon,
                                           ui::Buttons buttons) {
  ui::Answer answer = ui::Answer::Ok;
  if (buttons != ui::Buttons::Ok) {
    answer = default_answer;
    if (!answers.empty()) {
      answer = answers.front();
      answers.pop_front();
    } else if (only_scripted_answers) {
      faults.push_back("unscripted question: " + text);
    }
  }
  if (buttons == ui::Buttons::YesNo && answer == ui::Answer::Cancel) faults.push_back("cancel without a cancel button");
  messages.push_back({text, caption, icon, buttons, answer});
  events.push_back("message " + caption + ": " + text);
  RunEventLoop();
  return answer;
}

ui::Answer RecordingUserInterface::MessageWithCheckBox(const std::string& text, const std::string& caption,
                                                       ui::Icon icon, ui::Buttons buttons, ui::CheckBox& check_box) {
  if (!check_box_ticks.empty()) {
    check_box.checked = check_box_ticks.front();
    check_box_ticks.pop_front();
  }
  const ui::Answer answer = Message(text, caption, icon, buttons);
  messages.back().check_box = check_box.text;
  messages.back().checked = check_box.checked;
  return answer;
}

std::optional<std::string> RecordingUserInterface::NextFileChoice(const std::string& kind,
                                                                  const ui::FileDialog& dialog) {
  file_dialogs.push_back(dialog);
  events.push_back(kind + " dialog " + dialog.title);
  RunEventLoop();
  if (file_choices.empty()) {
    if (only_scripted_answers) faults.push_back("unscripted " + kind + " dialog " + dialog.title);
    return std::nullopt;
  }
  auto choice = file_choices.front();
  file_choices.pop_front();
  return choice;
}

std::optional<std::string> RecordingUserInterface::ChooseOpenFile(const ui::FileDialog& dialog) {
  return NextFileChoice("open", dialog);
}

std::optional<std::string> RecordingUserInterface::ChooseSaveFile(const ui::FileDialog& dialog) {
  return NextFileChoice("save", dialog);
}

RecordingUserInterface::~RecordingUserInterface() {
  if (check_settled_at_end) ExpectSettled("at the end of the test");
}

std::string RecordingUserInterface::Unsettled() const {
  std::string report;
  if (busy_depth != 0) report += "hourglass depth " + std::to_string(busy_depth) + "\n";
  if (progress_visible) report += "progress bar shown\n";
  if (wait_visible) report += "wait window shown\n";
  if (!time_left.empty()) report += "time left shown\n";
  for (const auto& fault : faults) report += fault + "\n";
  return report;
}

void RecordingUserInterface::ExpectSettled(const std::string& where) const {
  const std::string report = Unsettled();
  if (!report.empty()) ADD_FAILURE() << "User interface not at rest " << where << ":\n" << report;
}

void RecordingUserInterface::SetBusyCursor(bool busy) {
  events.push_back(busy ? "cursor busy" : "cursor normal");
  if (busy) {
    ++busy_depth;
  } else if (busy_depth > 0) {
    --busy_depth;
  } else {
    faults.push_back("cursor normal while normal");
  }
  busy_cursor = busy_depth > 0;
}

void RecordingUserInterface::ProgressStart() {
  if (progress_visible) faults.push_back("progress start while shown");
  progress_visible = true;
  progress_position = 0;
  events.push_back("progress start");
  RunEventLoop();
}

void RecordingUserInterface::ProgressStep(int step, int total) {
  if (!progress_visible) faults.push_back("progress step while hidden");
  progress_position = ui::ProgressPosition(step, total);
  events.push_back("progress " + std::to_string(step) + "/" + std::to_string(total) + " " +
                   std::to_string(progress_position));
  RunEventLoop();
}

void RecordingUserInterface::ProgressEnd() {
  if (!progress_visible) faults.push_back("progress end while hidden");
  progress_visible = false;
  progress_position = 0;
  events.push_back("progress end");
  RunEventLoop();
}

void RecordingUserInterface::WaitShow() {
  if (wait_visible) faults.push_back("wait show while shown");
  if (!wait_visible) stop_requested = false;
  wait_visible = true;
  events.push_back("wait show");
}

void RecordingUserInterface::WaitSetCaption(const std::string& caption) {
  wait_caption = caption;
  events.push_back("wait caption " + caption);
}

void RecordingUserInterface::WaitSetStep(const std::string& step) {
  wait_step = step;
  events.push_back("wait step " + step);
}

void RecordingUserInterface::WaitClose() {
  if (!wait_visible) faults.push_back("wait close while hidden");
  wait_visible = false;
  events.push_back("wait close");
}

void RecordingUserInterface::ProcessEvents() {
  ++process_events_calls;
  RunEventLoop();
}

std::vector<std::string> RecordingUserInterface::MessageTexts() const {
  std::vector<std::string> texts;
  for (const auto& m : messages) texts.push_back(m.text);
  return texts;
}

std::vector<std::string> RecordingUserInterface::EventsStartingWith(const std::string& prefix) const {
  std::vector<std::string> found;
  for (const auto& e : events)
    if (e.rfind(prefix, 0) == 0) found.push_back(e);
  return found;
}

}  // namespace tarnis::test
