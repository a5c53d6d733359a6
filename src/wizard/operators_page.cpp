#include "wizard/operators_page.h"

#include "wizard/parameter_run.h"

namespace tarnis::wizard {

OperatorsPage::OperatorsPage(config::DeviceConfiguration& configuration, link::Link& link, ui::UserInterface& ui)
    : ItemPage(configuration, link, ui, config::kOperatorCount, kColumns) {}

void OperatorsPage::Fill() {
  grid().Refill([this] {
    for (int row = 1; row <= config::kOperatorCount; ++row) {
      const config::OperatorRecord& record = Operator(row);
      grid().SetCell(row, 0, std::to_string(row));
      grid().SetCell(row, 1, std::string(record.position.Body()));
      grid().SetCell(row, 2, std::string(record.full_name.Body()));
      grid().SetCell(row, kPasswordColumn, std::string(record.password.Text()));
      grid().SetCell(row, kAccessColumn, AccessText(record.enabled != 0));
    }
  });
}

CellEditor OperatorsPage::EditorAt(int column) const {
  if (column == 1 || column == 2) return CellEditor::Line;
  if (column == kPasswordColumn) return CellEditor::Number;
  return CellEditor::None;
}

config::ConfigText* OperatorsPage::LineField(int row, int column) {
  if (!ValidRow(row)) return nullptr;
  if (column == 1) return &Operator(row).position;
  if (column == 2) return &Operator(row).full_name;
  return nullptr;
}

LineValue OperatorsPage::LineAt(int row, int column) const {
  if (!ValidRow(row) || EditorAt(column) != CellEditor::Line) return {};
  const config::OperatorRecord& record = configuration_.operators[static_cast<std::size_t>(row - 1)];
  const config::ConfigText& field = column == 1 ? record.position : record.full_name;
  return {grid().Cell(row, column), field.IsWide()};
}

void OperatorsPage::ApplyLine(int row, int column, const LineValue& value) {
  config::ConfigText* field = LineField(row, column);
  if (!field) return;
  grid().SetCell(row, column, value.text);
  StoreLine(*field, value);
}

void OperatorsPage::ApplyPassword(int row, const std::string& text) {
  if (!ValidRow(row)) return;
  grid().SetCell(row, kPasswordColumn, text);
  Operator(row).password.Set(std::string_view(text).substr(0, kPasswordDigits));
}

void OperatorsPage::Empty(int row) {
  config::OperatorRecord& record = Operator(row);
  record.position.Clear();
  record.full_name.Clear();
  record.password.Clear();
  for (int column = 1; column <= kPasswordColumn; ++column) grid().SetCell(row, column, {});
}

bool OperatorsPage::PasswordUsable(int row) const {
  const auto number = config::PasswordNumber(configuration_.operators[static_cast<std::size_t>(row - 1)].password.Text());
  return number && *number != 0;
}

void OperatorsPage::ShowAccessAfterWrite(int row) {
  grid().SetCell(row, kAccessColumn, AccessTextAfterWrite(Operator(row).enabled != 0));
}

void OperatorsPage::ReadOne(int row) {
  ui_.SetBusyCursor(true);
  ui_.ProgressStart();
  Empty(row);
  ParameterRun run;
  run.section = config::Section::Operators;
  run.first_row = run.last_row = row;
  run.on_failure = OnFailure::ReportAndStop;
  if (!RunParameters(link_, ui_, configuration_, run).ended_early) ui::ShowNotice(ui_, kReadDone);
  ui_.ProgressEnd();
  Fill();
  ui_.SetBusyCursor(false);
}

void OperatorsPage::ReadAll() {
  ui_.SetBusyCursor(true);
  ui_.ProgressStart();
  ParameterRun run;
  run.section = config::Section::Operators;
  run.first_row = 1;
  run.last_row = config::kOperatorCount;
  run.before_row = [this](int row) { Empty(row); };
  const RunOutcome outcome = RunParameters(link_, ui_, configuration_, run);
  ui_.ProgressEnd();
  Fill();
  ui_.SetBusyCursor(false);
  CloseRun(link_, ui_, outcome, kReadDone);
}

void OperatorsPage::WriteOne(int row) {
  if (!Writable(row)) return ui::ShowNotice(ui_, kNotChangeable);
  if (!PasswordUsable(row)) return ui::ShowNotice(ui_, kPasswordZero);
  ui_.SetBusyCursor(true);
  ui_.ProgressStart();
  ParameterRun run;
  run.mode = link::Mode::Write;
  run.section = config::Section::Operators;
  run.first_row = run.last_row = row;
  run.on_failure = OnFailure::ReportAndStop;
  // The password's failure sentence has no blank before the message.
  run.failure_text = [](int field) { return field == kPasswordColumn ? "Не удалось записать параметр..." : kWriteFailure; };
  if (!RunParameters(link_, ui_, configuration_, run).ended_early) ui::ShowNotice(ui_, kWriteDone);
  ShowAccessAfterWrite(row);
  ui_.ProgressEnd();
  ui_.SetBusyCursor(false);
}

void OperatorsPage::WriteAll() {
  ui_.SetBusyCursor(true);
  ui_.ProgressStart();
  ParameterRun run;
  run.mode = link::Mode::Write;
  run.section = config::Section::Operators;
  run.first_row = 1;
  run.last_row = config::kOperatorCount;
  run.skip_row = [this](int row) { return !Writable(row) || !PasswordUsable(row); };
  run.after_row = [this](int row) { ShowAccessAfterWrite(row); };
  const RunOutcome outcome = RunParameters(link_, ui_, configuration_, run);
  ui_.ProgressEnd();
  ui_.SetBusyCursor(false);
  CloseRun(link_, ui_, outcome, kWriteDone);
}

void OperatorsPage::Clear() {
  for (int row = 1; row <= config::kOperatorCount; ++row)
    if (Writable(row)) Empty(row);
}

}  // namespace tarnis::wizard
