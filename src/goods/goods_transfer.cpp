#include "goods/goods_transfer.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/commands.h"
#include "link/device_charset.h"
#include "ui/operation_report.h"
#include "ui/time_left.h"

namespace tarnis::goods {
namespace {

const std::string kReadFailed = "Не удалось прочитать параметр... ";
const std::string kWriteFailed = "Не удалось записать параметр... ";
const std::string kEraseFailed = "Не удалось стереть запись... ";
const std::string kReadDone = "Прочитано удачно...";
const std::string kWriteDone = "Записано удачно...";
const std::string kEraseDone = "База очищена...";
const std::string kEraseQuestion = "Вы действительно хотите удалить базу из КМ?";

// The wait window, the hourglass and the progress bar for the length of a run of records.
class RecordRun {
 public:
  RecordRun(ui::UserInterface& ui, const char* step) : ui_(ui) {
    ui_.WaitShow();
    ui_.WaitSetStep(step);
    ui_.ProcessEvents();
    ui_.SetBusyCursor(true);
    ui_.ProgressStart();
  }
  RecordRun(const RecordRun&) = delete;
  RecordRun& operator=(const RecordRun&) = delete;
  ~RecordRun() { End(); }

  // Pending window messages run after each record, so the windows repaint and a click on
  // "Прервать" is seen before the next record.
  void Step(int done, int total) {
    ui_.ProgressStep(done, total);
    ui_.ProcessEvents();
  }
  void End() {
    if (ended_) return;
    ended_ = true;
    ui_.ProgressEnd();
    ui_.SetBusyCursor(false);
    ui_.WaitClose();
  }

 private:
  ui::UserInterface& ui_;
  bool ended_ = false;
};

// How a run of records ended: the outcome, and how many records it went through before a stop.
struct RunEnd {
  TransferOutcome outcome = TransferOutcome::Done;
  int gone_through = 0;
};

// The codes, in order, each given to transfer, which returns the failure text to ask about, or
// nothing on success. Yes goes on (after skipped, when given, has dealt with the record); the first
// No stops the run at once, and so does "Прервать", before the next record.
using RecordTransfer = std::function<std::optional<std::string>(int code)>;
// Every record's outcome goes to report, a failure as "Товар <code>".
RunEnd RunRecords(ui::UserInterface& ui, RecordRun& run, ui::OperationReport& report, const std::vector<int>& codes,
                  const std::string& failed, const RecordTransfer& transfer,
                  const std::function<void(int code)>& skipped = {}) {
  const int total = static_cast<int>(codes.size());
  ui::ExchangeCountdown countdown(ui, total);
  for (int i = 0; i < total; ++i) {
    const int code = codes[static_cast<std::size_t>(i)];
    if (ui.StopRequested()) return {TransferOutcome::Stopped, i};
    const auto failure = transfer(code);
    countdown.ExchangeDone();
    if (failure) {
      report.Failed("Товар " + std::to_string(code), *failure);
      if (!report.AskToContinue(ui, failed + *failure)) return {TransferOutcome::Stopped, i};
      if (skipped) skipped(code);
    } else {
      report.Succeeded();
    }
    run.Step(i + 1, total);
  }
  return {TransferOutcome::Done, total};
}

std::vector<int> CodeSpan(int first, int last) {
  std::vector<int> codes;
  for (int code = first; code <= last; ++code) codes.push_back(code);
  return codes;
}

// The closing box of a run of records; the list of failures also goes to the link's log.
void CloseRun(link::Link& link, ui::UserInterface& ui, RecordRun& run, const ui::OperationReport& report,
              const std::string& done) {
  run.End();
  report.Close(ui, done, [&link](const std::string& line) { link.Note(line); });
}

std::optional<std::string> FailureOf(const link::CommandResult& result) {
  if (result.ok()) return std::nullopt;
  return result.message;
}

std::string UnsendableRowText(int code, GoodsColumn column) {
  if (column == GoodsColumn::Barcode)
    return "В строке " + std::to_string(code + 1) + " поле \"Штрих-код\" больше " + std::to_string(kDeviceBarcodeMax) +
           ": такого штрих-кода КМ не хранит.";
  return "В строке " + std::to_string(code + 1) + " неверно заполнено поле \"" + GoodsColumnTitle(column) + "\".";
}

// The row a read blanks before it asks: code, name, font and barcode emptied.
void BlankForRangeRead(GoodsTable& table, int code) {
  GoodsRow row = table.row(code);
  row.code.clear();
  row.name.clear();
  row.font = NarrowFontWord();
  row.barcode.clear();
  table.SetRow(code, std::move(row));
}

TransferResult ReadOne(link::Link& link, ui::UserInterface& ui, GoodsTable& table, int code) {
  link::GoodsReply reply;
  {
    ui::BusyCursor busy(ui);
    table.SetRow(code, GoodsRow{"", "", NarrowFontWord(), "", "", ""});
    reply = link::ExchangeGoods(link, link::Mode::Read, static_cast<std::uint16_t>(code), {});
    if (reply.ok()) table.SetRow(code, RowFromDeviceRecord(code, reply.fields));
    table.MarkOnDevice(code);
  }
  if (!reply.ok()) {
    ui::ShowError(ui, kReadFailed + reply.message);
    return {TransferOutcome::Failed};
  }
  ui::ShowNotice(ui, kReadDone);
  return {TransferOutcome::Done};
}

// Marks a record by whether the device took it, and lists it in written when it did.
void NoteWrite(GoodsTable& table, std::vector<int>* written, int code, bool taken) {
  if (!taken) {
    table.MarkNotWritten(code);
    return;
  }
  table.MarkOnDevice(code);
  if (written) written->push_back(code);
}

TransferResult WriteOne(link::Link& link, ui::UserInterface& ui, GoodsTable& table, int code,
                        std::vector<int>* written) {
  const DeviceRecordFromRow record = DeviceRecordOf(table.row(code));
  if (!record.record) {
    NoteWrite(table, written, code, false);
    ui::ShowError(ui, kWriteFailed + UnsendableRowText(code, record.bad_column));
    return {TransferOutcome::Refused};
  }
  link::GoodsReply reply;
  {
    ui::BusyCursor busy(ui);
    reply = link::ExchangeGoods(link, link::Mode::Write, static_cast<std::uint16_t>(code), *record.record);
  }
  NoteWrite(table, written, code, reply.ok());
  if (!reply.ok()) {
    ui::ShowError(ui, kWriteFailed + reply.message);
    return {TransferOutcome::Failed};
  }
  ui::ShowNotice(ui, kWriteDone);
  return {TransferOutcome::Done};
}

// Resolves the scope of a run of records; on a range error tells the user and ends the run.
std::optional<RangeCheck> RunRange(ui::UserInterface& ui, RecordRun& run, const GoodsScope& scope,
                                   TransferResult& refusal) {
  // A read takes no changed scope: what it reads replaces the rows, edited or not.
  if (scope.kind == GoodsScope::Kind::All || scope.kind == GoodsScope::Kind::Changed) {
    RangeCheck all;
    all.first = 0;
    all.last = kLastGoodsCode;
    return all;
  }
  RangeCheck check = CheckRange(scope.first, scope.last);
  if (check.ok()) return check;
  run.End();
  ui::ShowError(ui, check.error);
  refusal = {TransferOutcome::Refused, check.focus};
  return std::nullopt;
}

}  // namespace

TransferResult ReadGoods(link::Link& link, ui::UserInterface& ui, GoodsTable& table, const GoodsScope& scope) {
  link::Link::Operation operation(link);
  if (!operation) return {TransferOutcome::Busy};
  if (scope.kind == GoodsScope::Kind::Selected) return ReadOne(link, ui, table, scope.selected_code);

  RecordRun run(ui, kReadingGoodsStep);
  TransferResult refusal;
  const auto range = RunRange(ui, run, scope, refusal);
  if (!range) return refusal;
  // What a read leaves in a row, whatever its answer, is no edit of the user's.
  const auto read = [&](int code) {
    BlankForRangeRead(table, code);
    const auto reply = link::ExchangeGoods(link, link::Mode::Read, static_cast<std::uint16_t>(code), {});
    if (reply.ok()) table.SetRow(code, RowFromDeviceRecord(code, reply.fields));
    table.MarkOnDevice(code);
    return FailureOf(reply);
  };
  // A record the user skips reads as an empty record.
  const auto skipped = [&](int code) {
    table.SetRow(code, RowFromDeviceRecord(code, {}));
    table.MarkOnDevice(code);
  };
  ui::OperationReport report(ui::Direction::Read);
  if (RunRecords(ui, run, report, CodeSpan(range->first, range->last), kReadFailed, read, skipped).outcome ==
      TransferOutcome::Stopped)
    return {TransferOutcome::Stopped};
  CloseRun(link, ui, run, report, kReadDone);
  return {TransferOutcome::Done};
}

TransferResult WriteGoods(link::Link& link, ui::UserInterface& ui, GoodsTable& table, const GoodsScope& scope,
                          std::vector<int>* written) {
  link::Link::Operation operation(link);
  if (!operation) return {TransferOutcome::Busy};
  if (scope.kind == GoodsScope::Kind::Selected) return WriteOne(link, ui, table, scope.selected_code, written);

  std::vector<int> codes;
  if (scope.kind == GoodsScope::Kind::Changed) {
    for (int code = 0; code <= kLastGoodsCode; ++code)
      if (table.state(code) != RecordState::OnDevice) codes.push_back(code);
    if (codes.empty()) {
      ui::ShowNotice(ui, ui::kNoChanges);
      return {TransferOutcome::Done};
    }
  }
  RecordRun run(ui, kWritingGoodsStep);
  if (codes.empty()) {
    TransferResult refusal;
    const auto range = RunRange(ui, run, scope, refusal);
    if (!range) return refusal;
    codes = CodeSpan(range->first, range->last);
  }
  const auto write = [&](int code) -> std::optional<std::string> {
    const DeviceRecordFromRow record = DeviceRecordOf(table.row(code));
    auto failure = record.record ? FailureOf(link::ExchangeGoods(link, link::Mode::Write,
                                                                 static_cast<std::uint16_t>(code), *record.record))
                                 : UnsendableRowText(code, record.bad_column);
    NoteWrite(table, written, code, !failure);
    return failure;
  };
  ui::OperationReport report(ui::Direction::Write);
  const RunEnd end = RunRecords(ui, run, report, codes, kWriteFailed, write);
  const int taken = report.succeeded();
  if (end.outcome == TransferOutcome::Stopped) {
    run.End();
    // The records not reached stay marked, so a write of the changed records resumes there.
    for (std::size_t i = static_cast<std::size_t>(end.gone_through); i < codes.size(); ++i)
      table.MarkNotWritten(codes[i]);
    const std::string reached = end.gone_through > 0 ? "коды " + std::to_string(codes.front()) + "–" +
                                                           std::to_string(codes[static_cast<std::size_t>(end.gone_through - 1)])
                                                     : std::string();
    ui::ShowNotice(ui, ui::StoppedWriteText(taken, static_cast<int>(codes.size()), reached));
    return {TransferOutcome::Stopped};
  }
  CloseRun(link, ui, run, report, scope.kind == GoodsScope::Kind::Changed ? ui::ChangesWrittenText(taken) : kWriteDone);
  return {TransferOutcome::Done};
}

std::vector<int> VerifyGoods(link::Link& link, const GoodsTable& table, const std::vector<int>& codes) {
  const link::Link::Operation operation(link);
  if (!operation) return codes;
  std::vector<int> differing;
  for (const int code : codes) {
    const DeviceRecordFromRow expected = DeviceRecordOf(table.row(code));
    const auto reply = link::ExchangeGoods(link, link::Mode::Read, static_cast<std::uint16_t>(code), {});
    // Both sides through the same conversion, so that only what the device keeps is compared.
    if (!reply.ok() || !expected.record ||
        RowFromDeviceRecord(code, reply.fields) != RowFromDeviceRecord(code, *expected.record))
      differing.push_back(code);
  }
  return differing;
}

TransferOutcome EraseDeviceGoods(link::Link& link, ui::UserInterface& ui) {
  if (!ui::Confirm(ui, kEraseQuestion)) return TransferOutcome::Refused;
  link::Link::Operation operation(link);
  if (!operation) return TransferOutcome::Busy;

  RecordRun run(ui, kWritingGoodsStep);
  link::GoodsFields empty;
  empty.name = link::ToDeviceText("0");
  const auto erase = [&](int code) {
    return FailureOf(link::ExchangeGoods(link, link::Mode::Write, static_cast<std::uint16_t>(code), empty));
  };
  ui::OperationReport report(ui::Direction::Write);
  if (RunRecords(ui, run, report, CodeSpan(0, kLastGoodsCode), kEraseFailed, erase).outcome == TransferOutcome::Stopped)
    return TransferOutcome::Stopped;
  CloseRun(link, ui, run, report, kEraseDone);
  return TransferOutcome::Done;
}

}  // namespace tarnis::goods
