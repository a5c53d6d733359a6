#pragma once
// The loop every wizard page runs to read or write texts of one section: row after row, field
// after field, one request each, with progress, and a failure either reported (one item) or
// asked about with "Продолжить?" (many items). Texts are stored into and taken from the record
// through the parameter map; the enabled byte follows every answer that carries it.
#include <functional>
#include <string>

#include "config/device_configuration.h"
#include "config/parameter_exchange.h"
#include "link/commands.h"
#include "ui/operation_report.h"
#include "ui/user_interface.h"

namespace tarnis::wizard {

inline const std::string kReadFailure = "Не удалось прочитать параметр... ";
inline const std::string kWriteFailure = "Не удалось записать параметр... ";
inline const std::string kReadDone = "Прочитано удачно...";
inline const std::string kWriteDone = "Записано удачно...";
inline const std::string kNotChangeable = "Параметр недоступен для изменения...";

enum class OnFailure {
  ReportAndStop,   // error box with the failure text and the link's message; the run ends
  AskToContinue,   // the failure text, the message and "\n Продолжить?"; No ends the run at once
};

struct ParameterRun {
  link::Mode mode = link::Mode::Read;
  config::Section section = config::Section::Operators;
  int first_row = 1;
  int last_row = 1;
  OnFailure on_failure = OnFailure::AskToContinue;
  // The sentence a failure of field f starts with; empty: kReadFailure or kWriteFailure.
  std::function<std::string(int field)> failure_text;
  // Rows passed over without a request or a progress step.
  std::function<bool(int row)> skip_row;
  // Before the first request of a row, and before each request.
  std::function<void(int row)> before_row;
  std::function<void(int row, int field)> before_field;
  // After every field of a row has had its request, unless the run ended within the row.
  std::function<void(int row)> after_row;
};

struct RunOutcome {
  bool ended_early = false;  // by No, or by a reported failure
  bool all_ok = true;        // every request returned Ok
  ui::OperationReport report{ui::Direction::Read};  // each request, a failure in the pages' words
};

// Progress step k of total T for field f of row r: k = fields × (r − first_row) + f,
// T = fields × (number of rows). Does not show or hide the progress bar.
RunOutcome RunParameters(link::Link& link, ui::UserInterface& ui, config::DeviceConfiguration& configuration,
                         const ParameterRun& run);

// The closing box of a run of many items that was not stopped: done_text when every request
// succeeded, otherwise what failed (also to the link's log). Nothing after a stopped run.
void CloseRun(link::Link& link, ui::UserInterface& ui, const RunOutcome& outcome, const std::string& done_text);

}  // namespace tarnis::wizard
