#include "config/config_transfer.h"

#include <algorithm>
#include <string>
#include <vector>

#include "config/parameter_exchange.h"
#include "link/commands.h"
#include "link/device_errors.h"
#include "ui/operation_report.h"
#include "ui/time_left.h"

namespace tarnis::config {
namespace {

constexpr const char* kReadFailed = "Не удалось прочитать параметр... ";
constexpr const char* kWriteFailed = "Не удалось записать параметр... ";

// Progress of request (row, field) within its section; clichés restart for each cliché.
int StepOf(const SectionMap& map, int row, int field) {
  return map.section == Section::Cliches ? field : (row - 1) * map.fields + field;
}
int TotalOf(const SectionMap& map) { return map.section == Section::Cliches ? map.fields : map.rows * map.fields; }

ParameterAddress AddressOf(const SectionMap& map, int row, int field) {
  return {map.table, static_cast<std::uint8_t>(row), static_cast<std::uint8_t>(field)};
}

// One whole transfer: the link, the seam and the record, the time left, and whether the user
// has stopped it. A stop ("Прервать") is taken before the next exchange, so it ends the transfer
// exactly where answering No to a failure of that exchange would.
class Transfer {
 public:
  Transfer(link::Link& link, ui::UserInterface& ui, DeviceConfiguration& configuration, int exchanges,
           ui::Direction direction, ReadReport* reading = nullptr, ConfigurationStates* states = nullptr,
           std::vector<ParameterAddress>* written = nullptr)
      : link_(link),
        ui_(ui),
        configuration_(configuration),
        countdown_(ui, exchanges),
        report_(direction),
        reading_(reading),
        states_(states),
        written_addresses_(written) {}

  bool Stopped() { return ui_.StopRequested(); }
  int written() const { return written_; }

  // After a stop: every planned text not tried stays marked as not written.
  void MarkUntried(const std::vector<ParameterAddress>& planned) {
    if (!states_) return;
    for (const ParameterAddress& address : planned)
      if (std::find(tried_.begin(), tried_.end(), address) == tried_.end()) states_->MarkNotWritten(address);
  }

  // Reads one text; stores it only on success. False when the user answers No after a failure
  // or has stopped the transfer.
  bool Read(const ParameterAddress& address, bool take_attribute) {
    if (Stopped()) return false;
    const auto reply = ExchangeConfigurationText(link_, link::Mode::Read, configuration_, address,
                                                 take_attribute ? EnabledByte::Take : EnabledByte::Keep);
    countdown_.ExchangeDone();
    if (reading_) reading_->Add(address, reply, std::string(FieldText(ParameterAt(configuration_, address)->text)));
    if (reply.ok() && states_) states_->MarkOnDevice(configuration_, address);
    return Outcome(address, kReadFailed, reply);
  }

  // Writes one text; the answer's attribute updates the item's enabled byte where the map says so.
  bool Write(const ParameterAddress& address) {
    if (Stopped()) return false;
    const auto reply = ExchangeConfigurationText(link_, link::Mode::Write, configuration_, address);
    countdown_.ExchangeDone();
    tried_.push_back(address);
    if (reply.ok()) {
      ++written_;
      if (written_addresses_) written_addresses_->push_back(address);
    }
    if (states_) {
      if (reply.ok()) states_->MarkOnDevice(configuration_, address);
      else states_->MarkNotWritten(address);
    }
    return Outcome(address, kWriteFailed, reply);
  }

  // One blank form, into the read report only.
  bool ReadBlank(int form) {
    if (Stopped()) return false;
    const link::BlankReply reply = link::ExchangeBlank(link_, link::Mode::Read, {static_cast<std::uint8_t>(form)});
    countdown_.ExchangeDone();
    reading_->AddBlank(form, reply);
    if (reply.ok()) {
      report_.Succeeded();
      return true;
    }
    report_.Failed("Формы БСО №" + std::to_string(form), reply.message);
    return ui::AskContinue(ui_, "Не удалось прочитать бланк..." + reply.message);
  }

  // Line 1 of a cliché, read and dropped: whether the device accepts this cliché. Error 51 refuses
  // it; any other failure leaves it unknown, and the cliché is written as if accepted.
  enum class ClicheProbe { Accepted, Refused, Unknown };
  ClicheProbe ProbeCliche(int cliche) {
    const SectionMap& map = MapOf(Section::Cliches);
    const link::ParameterReply reply =
        link::ExchangeParameter(link_, link::Mode::Read, map.table, static_cast<std::uint8_t>(cliche), 1);
    countdown_.ExchangeDone();
    if (reply.ok()) return ClicheProbe::Accepted;
    const bool refused = reply.result == link::LinkResult::DeviceError && reply.error_code == link::kErrorBadParameter;
    return refused ? ClicheProbe::Refused : ClicheProbe::Unknown;
  }

  ui::OperationReport& report() { return report_; }

  // The closing box: the success notice, or what failed (also to the exchange log).
  void Close(const std::string& success_text) {
    report_.Close(ui_, success_text, [this](const std::string& line) { link_.Note(line); });
  }

  // Progress step k of T, then lets the windows repaint.
  void Step(const SectionMap& map, int row, int field) {
    ui_.ProgressStep(StepOf(map, row, field), TotalOf(map));
    ui_.ProcessEvents();
  }

 private:
  // Counts the request; after a failure asks whether to go on (Yes: it stays on the list).
  bool Outcome(const ParameterAddress& address, const char* sentence, const link::ParameterReply& reply) {
    if (reply.ok()) {
      report_.Succeeded();
      return true;
    }
    report_.Failed(ParameterName(address), reply.message);
    return ui::AskContinue(ui_, sentence + reply.message);
  }

  link::Link& link_;
  ui::UserInterface& ui_;
  DeviceConfiguration& configuration_;
  ui::ExchangeCountdown countdown_;
  ui::OperationReport report_;
  ReadReport* reading_;
  ConfigurationStates* states_;
  std::vector<ParameterAddress>* written_addresses_;
  int written_ = 0;
  std::vector<ParameterAddress> tried_;  // writes sent, whatever their answer
};

// One section of a transfer: the hourglass, and with `progress` the progress bar, for the
// lifetime of the object, so that every way out of the section leaves both as they were.
class SectionRun {
 public:
  SectionRun(ui::UserInterface& ui, bool progress) : ui_(ui), progress_(progress) {
    ui_.SetBusyCursor(true);
    if (progress_) ui_.ProgressStart();
  }
  SectionRun(const SectionRun&) = delete;
  SectionRun& operator=(const SectionRun&) = delete;
  ~SectionRun() {
    if (progress_) ui_.ProgressEnd();
    ui_.SetBusyCursor(false);
  }

 private:
  ui::UserInterface& ui_;
  bool progress_;
};

// The wait window from the start of a transfer until Close() or the end of the scope.
class WaitWindow {
 public:
  explicit WaitWindow(ui::UserInterface& ui) : ui_(ui) { ui_.WaitShow(); }
  WaitWindow(const WaitWindow&) = delete;
  WaitWindow& operator=(const WaitWindow&) = delete;
  ~WaitWindow() { Close(); }
  void Close() {
    if (shown_) ui_.WaitClose();
    shown_ = false;
  }

 private:
  ui::UserInterface& ui_;
  bool shown_ = true;
};

void Call(const std::function<void()>& callback) {
  if (callback) callback();
}

// Reads rows first..last of a section, every field; false once the user stops.
bool ReadRows(Transfer& transfer, const SectionMap& map, int first, int last, bool take_attribute) {
  for (int row = first; row <= last; ++row) {
    for (int field = 1; field <= map.fields; ++field) {
      if (!transfer.Read(AddressOf(map, row, field), take_attribute)) return false;
      transfer.Step(map, row, field);
    }
  }
  return true;
}

bool WriteRow(Transfer& transfer, const SectionMap& map, int row) {
  for (int field = 1; field <= map.fields; ++field) {
    if (!transfer.Write(AddressOf(map, row, field))) return false;
    transfer.Step(map, row, field);
  }
  return true;
}

bool OperatorIsWritten(const OperatorRecord& record) {
  const auto password = PasswordNumber(record.password.Text());
  return record.enabled != 0 && password && *password != 0;
}

bool ClicheHoldsText(const ClicheRecord& cliche) {
  for (const ConfigText& line : cliche.lines)
    if (!line.Body().empty()) return true;
  return false;
}

int SectionRequests(Section section) {
  const SectionMap& map = MapOf(section);
  return map.rows * map.fields;
}

int ReadRequests(bool blank_forms) {
  return SectionRequests(Section::Operators) + 1 + SectionRequests(Section::Services) +
         SectionRequests(Section::Requisites) + SectionRequests(Section::Cliches) + (blank_forms ? kFormCount : 0);
}

// Whether the whole write sends the text at address (clichés aside: the device picks one).
bool WholeWriteSends(DeviceConfiguration& configuration, ParameterAddress address) {
  const SectionMap& operators = MapOf(Section::Operators);
  if (address.table == operators.table) return OperatorIsWritten(configuration.operators[address.row - 1]);
  const auto target = ParameterAt(configuration, address);
  // Services and requisites carry their enabled byte with every line.
  return !target->enabled || *target->enabled != 0;
}

// The texts the whole write sends before the clichés, in its order.
std::vector<ParameterAddress> WholeWritePlan(DeviceConfiguration& configuration) {
  std::vector<ParameterAddress> plan;
  const std::uint8_t cliches = MapOf(Section::Cliches).table;
  for (const ParameterAddress& address : AllParameterAddresses())
    if (address.table != cliches && WholeWriteSends(configuration, address)) plan.push_back(address);
  return plan;
}

// What WriteAllToDevice sends when every request succeeds and the first cliché is accepted.
int WriteRequests(DeviceConfiguration& configuration) {
  return static_cast<int>(WholeWritePlan(configuration).size()) + 1 + MapOf(Section::Cliches).fields;
}

// The end of a write the user stopped: the texts not tried stay not written, and with the states
// known the user is told how far it got.
bool StopWrite(ui::UserInterface& ui, WaitWindow& wait, Transfer& transfer, const std::vector<ParameterAddress>& plan,
               const ConfigurationStates* states) {
  transfer.MarkUntried(plan);
  wait.Close();
  if (states) ui::ShowNotice(ui, StoppedWriteText(transfer.written(), static_cast<int>(plan.size())));
  return false;
}

// Writes those of `lines` (cliché line addresses) that belong to the first cliché the device
// accepts, adding them to plan; the probe of line 1 tells, and a probe that fails otherwise
// than by refusal writes the cliché as if accepted. False once the user stops.
bool WriteAcceptedCliche(Transfer& transfer, DeviceConfiguration& configuration,
                         const std::vector<ParameterAddress>& lines, std::vector<ParameterAddress>& plan) {
  const SectionMap& cliches = MapOf(Section::Cliches);
  for (int cliche = 1; cliche <= cliches.rows; ++cliche) {
    if (transfer.Stopped()) return false;
    const Transfer::ClicheProbe probe = transfer.ProbeCliche(cliche);
    if (probe == Transfer::ClicheProbe::Refused) continue;
    std::vector<ParameterAddress> chosen;
    bool other_cliche = false;
    for (const ParameterAddress& line : lines) {
      if (line.row == cliche) chosen.push_back(line);
      else other_cliche = true;
    }
    plan.insert(plan.end(), chosen.begin(), chosen.end());
    for (std::size_t i = 0; i < chosen.size(); ++i) {
      if (!transfer.Write(chosen[i])) return false;
      transfer.Step(cliches, cliche, static_cast<int>(i) + 1);
    }
    if (cliche == 1 && other_cliche && probe == Transfer::ClicheProbe::Accepted &&
        ClicheHoldsText(configuration.cliches[1]))
      transfer.report().AddRemark(kClicheTwoNotWritten);
    return true;
  }
  return true;
}

std::vector<ParameterAddress> ClicheLines() {
  std::vector<ParameterAddress> lines;
  const std::uint8_t table = MapOf(Section::Cliches).table;
  for (const ParameterAddress& address : AllParameterAddresses())
    if (address.table == table) lines.push_back(address);
  return lines;
}

}  // namespace

bool ReadAllFromDevice(link::Link& link, ui::UserInterface& ui, DeviceConfiguration& configuration,
                       const RefreshCallbacks& refresh, ReadReport* report, ConfigurationStates* states) {
  link::Link::Operation operation(link);
  if (!operation) return false;
  Transfer transfer(link, ui, configuration, ReadRequests(report != nullptr), ui::Direction::Read, report, states);
  WaitWindow wait(ui);

  ui.WaitSetStep("Данные операторов...");
  ui.ProcessEvents();
  bool go_on = true;
  {
    const SectionRun run(ui, true);
    const SectionMap& operators = MapOf(Section::Operators);
    go_on = ReadRows(transfer, operators, 1, operators.rows, true);
  }
  Call(refresh.operators);
  if (!go_on) return false;

  ui.WaitSetStep("ДСО...");
  {
    const SectionRun run(ui, false);
    go_on = transfer.Read(AddressOf(MapOf(Section::DocumentName), 1, 1), false);
  }
  if (!go_on) return false;
  Call(refresh.document_name);

  // Requisites: the whole read leaves their enabled bytes as they are.
  const struct {
    Section section;
    const char* step;
    bool take_attribute;
    const std::function<void()>& refresh;
  } sections[] = {{Section::Services, "Наименование услуг...", true, refresh.services},
                  {Section::Requisites, "Дополнительные реквизиты...", false, refresh.requisites}};
  for (const auto& section : sections) {
    const SectionMap& map = MapOf(section.section);
    ui.WaitSetStep(section.step);
    {
      const SectionRun run(ui, true);
      go_on = ReadRows(transfer, map, 1, map.rows, section.take_attribute);
    }
    Call(section.refresh);
    if (!go_on) return false;
  }

  const SectionMap& cliches = MapOf(Section::Cliches);
  ui.WaitSetStep("Клише...");
  ui.ProcessEvents();
  for (int cliche = 1; cliche <= cliches.rows; ++cliche) {
    {
      const SectionRun run(ui, true);
      go_on = ReadRows(transfer, cliches, cliche, cliche, false);
    }
    if (refresh.cliche) refresh.cliche(cliche);
    if (!go_on) return false;
  }

  if (report) {
    const SectionRun run(ui, true);
    for (int form = 1; form <= kFormCount; ++form) {
      if (!transfer.ReadBlank(form)) return false;
      ui.ProgressStep(form, kFormCount);
      ui.ProcessEvents();
    }
  }

  wait.Close();
  transfer.Close("Прочитано удачно...");
  return true;
}

bool WriteAllToDevice(link::Link& link, ui::UserInterface& ui, DeviceConfiguration& configuration,
                      ConfigurationStates* states, std::vector<ParameterAddress>* written) {
  link::Link::Operation operation(link);
  if (!operation) return false;
  Transfer transfer(link, ui, configuration, WriteRequests(configuration), ui::Direction::Write, nullptr, states,
                    written);
  WaitWindow wait(ui);
  std::vector<ParameterAddress> plan = WholeWritePlan(configuration);

  ui.WaitSetCaption("Загрузка...");
  ui.WaitSetStep("Данные операторов...");
  ui.ProcessEvents();
  bool go_on = true;
  {
    const SectionRun run(ui, true);
    const SectionMap& operators = MapOf(Section::Operators);
    for (int row = 1; go_on && row <= operators.rows; ++row) {
      if (OperatorIsWritten(configuration.operators[row - 1])) go_on = WriteRow(transfer, operators, row);
    }
  }
  if (!go_on) return StopWrite(ui, wait, transfer, plan, states);

  ui.WaitSetStep("Загрузка ДСО...");
  {
    const SectionRun run(ui, false);
    go_on = transfer.Write(AddressOf(MapOf(Section::DocumentName), 1, 1));
  }
  if (!go_on) return StopWrite(ui, wait, transfer, plan, states);

  const struct {
    Section section;
    const char* step;
  } sections[] = {{Section::Services, "Загрузка услуг..."}, {Section::Requisites, "Загрузка дополнительных услуг..."}};
  for (const auto& section : sections) {
    const SectionMap& map = MapOf(section.section);
    ui.WaitSetStep(section.step);
    {
      const SectionRun run(ui, true);
      for (int row = 1; go_on && row <= map.rows; ++row) {
        if (WholeWriteSends(configuration, AddressOf(map, row, 1))) go_on = WriteRow(transfer, map, row);
      }
    }
    if (!go_on) return StopWrite(ui, wait, transfer, plan, states);
  }

  // The device accepts one of the two clichés; a refused one answers error 51 to a read of its
  // first line. The first accepted cliché is written and no other.
  ui.WaitSetStep("Загрузка клише...");
  {
    const SectionRun run(ui, true);
    go_on = WriteAcceptedCliche(transfer, configuration, ClicheLines(), plan);
  }
  if (!go_on) return StopWrite(ui, wait, transfer, plan, states);

  wait.Close();
  transfer.Close("Записано удачно...");
  return true;
}

bool WriteChangesToDevice(link::Link& link, ui::UserInterface& ui, DeviceConfiguration& configuration,
                          ConfigurationStates& states, std::vector<ParameterAddress>* written) {
  link::Link::Operation operation(link);
  if (!operation) return false;
  const std::vector<ParameterAddress> changed = states.Changed(configuration);
  if (changed.empty()) {
    ui::ShowNotice(ui, kNoChanges);
    return true;
  }
  const std::uint8_t cliche_table = MapOf(Section::Cliches).table;
  std::vector<ParameterAddress> plan, cliche_lines;
  for (const ParameterAddress& address : changed) {
    if (address.table == cliche_table) cliche_lines.push_back(address);
    else if (WholeWriteSends(configuration, address)) plan.push_back(address);
  }
  const int probe = cliche_lines.empty() ? 0 : 1;
  Transfer transfer(link, ui, configuration, static_cast<int>(plan.size() + cliche_lines.size()) + probe,
                    ui::Direction::Write, nullptr, &states, written);
  WaitWindow wait(ui);
  ui.WaitSetCaption("Загрузка...");
  ui.ProcessEvents();
  bool go_on = true;
  {
    const SectionRun run(ui, true);
    static constexpr const char* kSteps[] = {"Данные операторов...", "Загрузка ДСО...", "Загрузка услуг...",
                                             "Загрузка дополнительных услуг...", "Загрузка клише..."};
    int table = -1;
    const int total = static_cast<int>(plan.size());
    for (int i = 0; go_on && i < total; ++i) {
      if (plan[i].table != table) {
        table = plan[i].table;
        ui.WaitSetStep(kSteps[table]);
      }
      go_on = transfer.Write(plan[i]);
      ui.ProgressStep(i + 1, total);
      ui.ProcessEvents();
    }
    if (go_on && !cliche_lines.empty()) {
      ui.WaitSetStep(kSteps[cliche_table]);
      go_on = WriteAcceptedCliche(transfer, configuration, cliche_lines, plan);
    }
  }
  if (!go_on) return StopWrite(ui, wait, transfer, plan, &states);
  wait.Close();
  transfer.Close(ChangesWrittenText(transfer.written()));
  return true;
}

std::string ChangesWrittenText(int written) { return "Записано изменений: " + std::to_string(written) + "."; }

std::string StoppedWriteText(int written, int planned) {
  return "Записано " + std::to_string(written) + " из " + std::to_string(planned) + ".";
}

}  // namespace tarnis::config
