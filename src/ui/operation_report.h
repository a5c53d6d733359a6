#pragma once
// What a run of many requests did not do. The transfers tell it each request's outcome, naming a
// failed one in the words of the page it belongs to ("Операторы №1, Ф.И.О.", "Товар 41"); at the
// end it closes the run with the success notice only when nothing failed, and otherwise with a
// warning that lists what was not read or written. The same list goes to the exchange log and,
// in tarnisctl, to standard error.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "ui/user_interface.h"

namespace tarnis::ui {

enum class Direction { Read, Write };

// The failure prompt's check box.
inline constexpr const char* kDontAskAgain = "Не спрашивать до конца операции";

// A write of only what changed with nothing to write.
inline constexpr const char* kNoChanges = "Изменений нет.";
// Asked before a read from the device replaces edits neither the device nor a file holds.
inline constexpr const char* kReplaceEditsQuestion = "Несохранённые изменения будут заменены данными из КМ. Продолжить?";

// The closing lines of a write of only what changed, "Записано изменений: N.", and of a write the
// user stopped, "Записано N из M." (with detail in brackets before the point when given).
std::string ChangesWrittenText(int written);
std::string StoppedWriteText(int written, int planned, const std::string& detail = {});

class OperationReport {
 public:
  // Items the closing box names; the rest are counted as "и ещё K".
  static constexpr std::size_t kListedItems = 15;

  struct Failure {
    std::string item;    // in the page's words
    std::string reason;  // the link's or the device's message, as the failure prompt showed it
  };
  // Receives the log lines (the exchange log, a log file).
  using NoteSink = std::function<void(const std::string&)>;

  explicit OperationReport(Direction direction) : direction_(direction) {}

  void Succeeded() { ++requests_; }
  void Failed(std::string item, std::string reason);
  // Lines the closing box adds after the list, or alone after the success notice's text.
  void AddRemark(std::string remark) { remarks_.push_back(std::move(remark)); }

  // The failure prompt (AskContinue) with the check box kDontAskAgain; true to go on. Once it is
  // answered "Да" with the box ticked, the run's later failures go on without a question: they
  // are only listed.
  bool AskToContinue(UserInterface& ui, const std::string& text);

  bool AllSucceeded() const { return failures_.empty(); }
  int requests() const { return requests_; }
  int succeeded() const { return requests_ - static_cast<int>(failures_.size()); }
  const std::vector<Failure>& failures() const { return failures_; }
  const std::vector<std::string>& remarks() const { return remarks_; }

  // "Прочитано с ошибками: не прочитано N из M." or "Записано с ошибками: не записано N из M."
  std::string Summary() const;
  // The summary, at most kListedItems items, one a line, and "и ещё K" for the rest.
  std::string FailureText() const;
  // The summary, then every failure as "item: reason", then the remarks.
  std::vector<std::string> LogLines() const;

  // Ends the run: success_text as the usual notice (its remarks on further lines) when every
  // request succeeded; otherwise the warning box with FailureText and the remarks, and the log
  // lines handed to note.
  void Close(UserInterface& ui, const std::string& success_text, const NoteSink& note = {}) const;

 private:
  Direction direction_;
  int requests_ = 0;
  std::vector<Failure> failures_;
  std::vector<std::string> remarks_;
  bool asking_ = true;
};

}  // namespace tarnis::ui
