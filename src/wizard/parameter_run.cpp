#include "wizard/parameter_run.h"

namespace tarnis::wizard {

RunOutcome RunParameters(link::Link& link, ui::UserInterface& ui, config::DeviceConfiguration& configuration,
                         const ParameterRun& run) {
  const config::SectionMap& map = config::MapOf(run.section);
  const int fields = map.fields;
  const int total = fields * (run.last_row - run.first_row + 1);
  RunOutcome outcome;
  outcome.report = ui::OperationReport(run.mode == link::Mode::Read ? ui::Direction::Read : ui::Direction::Write);
  for (int row = run.first_row; row <= run.last_row; ++row) {
    if (run.skip_row && run.skip_row(row)) continue;
    if (run.before_row) run.before_row(row);
    for (int field = 1; field <= fields; ++field) {
      if (run.before_field) run.before_field(row, field);
      const config::ParameterAddress address{map.table, static_cast<std::uint8_t>(row),
                                             static_cast<std::uint8_t>(field)};
      const auto reply = config::ExchangeConfigurationText(link, run.mode, configuration, address);
      if (reply.ok()) {
        outcome.report.Succeeded();
      } else {
        outcome.all_ok = false;
        outcome.report.Failed(config::ParameterName(address), reply.message);
        std::string text = run.failure_text ? run.failure_text(field)
                                            : (run.mode == link::Mode::Read ? kReadFailure : kWriteFailure);
        text += reply.message;
        if (run.on_failure == OnFailure::ReportAndStop) {
          ui::ShowError(ui, text);
          outcome.ended_early = true;
          return outcome;
        }
        if (!outcome.report.AskToContinue(ui, text)) {
          outcome.ended_early = true;
          return outcome;
        }
      }
      ui.ProgressStep(fields * (row - run.first_row) + field, total);
    }
    if (run.after_row) run.after_row(row);
  }
  return outcome;
}

void CloseRun(link::Link& link, ui::UserInterface& ui, const RunOutcome& outcome, const std::string& done_text) {
  if (outcome.ended_early) return;
  outcome.report.Close(ui, done_text, [&link](const std::string& line) { link.Note(line); });
}

}  // namespace tarnis::wizard
