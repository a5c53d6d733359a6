#include "wizard/cliche_page.h"

#include "wizard/parameter_run.h"

namespace tarnis::wizard {

ClichePage::ClichePage(config::DeviceConfiguration& configuration, link::Link& link, ui::UserInterface& ui)
    : configuration_(configuration), link_(link), ui_(ui) {}

void ClichePage::Fill(int cliche) {
  shown_ = Valid(cliche);
  grid_.Refill([this] {
    for (int row = 1; row <= config::kClicheLineCount; ++row) {
      grid_.SetCell(row, 0, std::to_string(row));
      grid_.SetCell(row, 1, std::string(Line(shown_, row).Body()));
    }
  });
}

LineValue ClichePage::LineAt(int row) const {
  if (!ValidRow(row)) return {};
  const config::ConfigText& line =
      configuration_.cliches[static_cast<std::size_t>(shown_ - 1)].lines[static_cast<std::size_t>(row - 1)];
  return {grid_.Cell(row, 1), line.IsWide()};
}

void ClichePage::ApplyLine(int row, const LineValue& value) {
  if (!ValidRow(row)) return;
  grid_.SetCell(row, 1, value.text);
  StoreLine(Line(shown_, row), value);
}

void ClichePage::Read(int cliche) { Transfer(link::Mode::Read, cliche); }

void ClichePage::Write(int cliche) { Transfer(link::Mode::Write, cliche); }

void ClichePage::Transfer(link::Mode mode, int cliche) {
  link::Link::Operation hold(link_);
  if (!hold) return;
  cliche = Valid(cliche);
  ui_.SetBusyCursor(true);
  ui_.ProgressStart();
  ParameterRun run;
  run.mode = mode;
  run.section = config::Section::Cliches;
  run.first_row = run.last_row = cliche;
  // A read empties each line just before its request: a failed line stays empty.
  if (mode == link::Mode::Read)
    run.before_field = [this](int row, int line) {
      Line(row, line).Clear();
      grid_.SetCell(line, 1, {});
    };
  const RunOutcome outcome = RunParameters(link_, ui_, configuration_, run);
  ui_.ProgressEnd();
  Fill(cliche);
  ui_.SetBusyCursor(false);
  CloseRun(link_, ui_, outcome, mode == link::Mode::Read ? kReadDone : kWriteDone);
}

}  // namespace tarnis::wizard
