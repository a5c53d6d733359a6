#include "ui/operation_report.h"

#include <algorithm>

namespace tarnis::ui {
namespace {

std::string Joined(const std::string& first, const std::vector<std::string>& lines) {
  std::string text = first;
  for (const std::string& line : lines) text += "\n" + line;
  return text;
}

}  // namespace

void OperationReport::Failed(std::string item, std::string reason) {
  ++requests_;
  // One line per item: a failure's reason may carry a second line (why the port did not open).
  std::replace(reason.begin(), reason.end(), '\n', ' ');
  failures_.push_back({std::move(item), std::move(reason)});
}

std::string ChangesWrittenText(int written) { return "Записано изменений: " + std::to_string(written) + "."; }

std::string StoppedWriteText(int written, int planned, const std::string& detail) {
  std::string text = "Записано " + std::to_string(written) + " из " + std::to_string(planned);
  if (!detail.empty()) text += " (" + detail + ")";
  return text + ".";
}

bool OperationReport::AskToContinue(UserInterface& ui, const std::string& text) {
  if (!asking_) return true;
  CheckBox dont_ask{kDontAskAgain};
  const bool go_on = AskContinue(ui, text, &dont_ask);
  if (go_on && dont_ask.checked) asking_ = false;
  return go_on;
}

std::string OperationReport::Summary() const {
  const bool reading = direction_ == Direction::Read;
  return std::string(reading ? "Прочитано с ошибками: не прочитано " : "Записано с ошибками: не записано ") +
         std::to_string(failures_.size()) + " из " + std::to_string(requests_) + ".";
}

std::string OperationReport::FailureText() const {
  std::vector<std::string> lines;
  for (std::size_t i = 0; i < failures_.size() && i < kListedItems; ++i) lines.push_back(failures_[i].item);
  if (failures_.size() > kListedItems) lines.push_back("и ещё " + std::to_string(failures_.size() - kListedItems));
  return Joined(Summary(), lines);
}

std::vector<std::string> OperationReport::LogLines() const {
  std::vector<std::string> lines{Summary()};
  for (const Failure& failure : failures_) lines.push_back(failure.item + ": " + failure.reason);
  lines.insert(lines.end(), remarks_.begin(), remarks_.end());
  return lines;
}

void OperationReport::Close(UserInterface& ui, const std::string& success_text, const NoteSink& note) const {
  if (AllSucceeded()) {
    ShowNotice(ui, Joined(success_text, remarks_));
    return;
  }
  if (note)
    for (const std::string& line : LogLines()) note(line);
  ui.Message(Joined(FailureText(), remarks_), kNoticeCaption, Icon::Warning, Buttons::Ok);
}

}  // namespace tarnis::ui
