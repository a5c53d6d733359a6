#include "wizard/table_page.h"

#include <utility>

#include "wizard/parameter_run.h"

namespace tarnis::wizard {

const TablePageKind kServicesPage{config::Section::Services, "Не удалось прочитать параметр...", false};
const TablePageKind kRequisitesPage{config::Section::Requisites, kReadFailure, true};

TablePage::TablePage(const TablePageKind& kind, config::DeviceConfiguration& configuration, link::Link& link,
                     ui::UserInterface& ui)
    : ItemPage(configuration, link, ui, config::MapOf(kind.section).rows, config::MapOf(kind.section).fields + 2),
      kind_(kind),
      lines_(config::MapOf(kind.section).fields) {}

config::ConfigText& TablePage::Line(int row, int line) {
  return const_cast<config::ConfigText&>(std::as_const(*this).Line(row, line));
}

const config::ConfigText& TablePage::Line(int row, int line) const {
  const auto item = static_cast<std::size_t>(row - 1);
  const auto index = static_cast<std::size_t>(line - 1);
  return kind_.section == config::Section::Services ? configuration_.services[item].lines[index]
                                                    : configuration_.requisites[item].lines[index];
}

std::uint8_t TablePage::Enabled(int row) const {
  const auto item = static_cast<std::size_t>(row - 1);
  return kind_.section == config::Section::Services ? configuration_.services[item].enabled
                                                    : configuration_.requisites[item].enabled;
}

void TablePage::Fill() {
  grid().Refill([this] {
    for (int row = 1; row <= items(); ++row) {
      grid().SetCell(row, 0, std::to_string(row));
      for (int line = 1; line <= lines_; ++line) grid().SetCell(row, line, std::string(Line(row, line).Body()));
      grid().SetCell(row, access_column(), AccessText(Enabled(row) != 0));
    }
  });
}

CellEditor TablePage::EditorAt(int column) const { return IsLineColumn(column) ? CellEditor::Line : CellEditor::None; }

LineValue TablePage::LineAt(int row, int column) const {
  if (!ValidRow(row) || !IsLineColumn(column)) return {};
  return {grid().Cell(row, column), Line(row, column).IsWide()};
}

void TablePage::ApplyLine(int row, int column, const LineValue& value) {
  if (!ValidRow(row) || !IsLineColumn(column)) return;
  grid().SetCell(row, column, value.text);
  StoreLine(Line(row, column), value);
}

void TablePage::EmptyLine(int row, int line) {
  Line(row, line).Clear();
  grid().SetCell(row, line, {});
}

void TablePage::ReadOne(int row) {
  ui_.SetBusyCursor(true);
  ui_.ProgressStart();
  ParameterRun run;
  run.section = kind_.section;
  run.first_row = run.last_row = row;
  run.on_failure = OnFailure::ReportAndStop;
  run.failure_text = [this](int) { return kind_.single_read_failure; };
  run.before_field = [this](int r, int line) { EmptyLine(r, line); };
  const bool ok = RunParameters(link_, ui_, configuration_, run).all_ok;
  ui_.ProgressEnd();
  if (kind_.notice_before_refill && ok) ui::ShowNotice(ui_, kReadDone);
  Fill();
  if (!kind_.notice_before_refill && ok) ui::ShowNotice(ui_, kReadDone);
  ui_.SetBusyCursor(false);
}

void TablePage::ReadAll() {
  ui_.SetBusyCursor(true);
  ui_.ProgressStart();
  ParameterRun run;
  run.section = kind_.section;
  run.first_row = 1;
  run.last_row = items();
  run.before_field = [this](int r, int line) { EmptyLine(r, line); };
  const RunOutcome outcome = RunParameters(link_, ui_, configuration_, run);
  ui_.ProgressEnd();
  Fill();
  ui_.SetBusyCursor(false);
  CloseRun(link_, ui_, outcome, kReadDone);
}

void TablePage::WriteOne(int row) {
  if (!Writable(row)) return ui::ShowNotice(ui_, kNotChangeable);
  ui_.SetBusyCursor(true);
  ui_.ProgressStart();
  ParameterRun run;
  run.mode = link::Mode::Write;
  run.section = kind_.section;
  run.first_row = run.last_row = row;
  run.on_failure = OnFailure::ReportAndStop;
  const bool ok = RunParameters(link_, ui_, configuration_, run).all_ok;
  ui_.ProgressEnd();
  Fill();
  if (ok) ui::ShowNotice(ui_, kWriteDone);
  ui_.SetBusyCursor(false);
}

void TablePage::WriteAll() {
  ui_.SetBusyCursor(true);
  ui_.ProgressStart();
  ParameterRun run;
  run.mode = link::Mode::Write;
  run.section = kind_.section;
  run.first_row = 1;
  run.last_row = items();
  run.skip_row = [this](int row) { return !Writable(row); };
  const RunOutcome outcome = RunParameters(link_, ui_, configuration_, run);
  Fill();
  ui_.ProgressEnd();
  ui_.SetBusyCursor(false);
  CloseRun(link_, ui_, outcome, kWriteDone);
}

void TablePage::Clear() {
  for (int row = 1; row <= items(); ++row) {
    if (!Writable(row)) continue;
    for (int line = 1; line <= lines_; ++line) EmptyLine(row, line);
  }
}

}  // namespace tarnis::wizard
