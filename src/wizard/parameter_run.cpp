#include "wizard/parameter_run.h"

namespace tarnis::wizard {

RunOutcome RunParameters(link::Link& link, ui::UserInterface& ui, config::DeviceConfiguration& configuration,
                         const ParameterRun& run) {
  const config::SectionMap& map = config::MapOf(run.section);
  const int fields = map.fields;
  const int total = fields * (run.last_row - run.first_row + 1);
  RunOutcome outcome;
  for (int row = run.first_row; row <= run.last_row; ++row) {
    if (run.skip_row && run.skip_row(row)) continue;
    if (run.before_row) run.before_row(row);
    for (int field = 1; field <= fields; ++field) {
      if (run.before_field) run.before_field(row, field);
      const auto reply = config::ExchangeConfigurationText(link, run.mode, configuration,
                                     {map.table, static_cast<std::uint8_t>(row), static_cast<std::uint8_t>(field)});
      if (!reply.ok()) {
        outcome.all_ok = false;
        std::string text = run.failure_text ? run.failure_text(field)
                                            : (run.mode == link::Mode::Read ? kReadFailure : kWriteFailure);
        text += reply.message;
        if (run.on_failure == OnFailure::ReportAndStop) {
          ui::ShowError(ui, text);
          outcome.ended_early = true;
          return outcome;
        }
        if (!ui::AskContinue(ui, text)) {
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

}  // namespace tarnis::wizard
