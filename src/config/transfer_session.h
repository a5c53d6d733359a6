#pragma once
// The pieces every transfer of configuration texts is made of: one request after another with
// its count, its failure prompt and its states, and the windows that stay up while it runs.
#include <algorithm>
#include <string>
#include <vector>

#include "config/configuration_states.h"
#include "config/device_configuration.h"
#include "config/parameter_exchange.h"
#include "config/read_report.h"
#include "link/commands.h"
#include "link/device_errors.h"
#include "link/link.h"
#include "ui/operation_report.h"
#include "ui/time_left.h"
#include "ui/user_interface.h"

namespace tarnis::config {

inline constexpr const char* kReadFailed = "Не удалось прочитать параметр... ";
inline constexpr const char* kWriteFailed = "Не удалось записать параметр... ";

// Progress of request (row, field) within its section; clichés restart for each cliché.
inline int StepOf(const SectionMap& map, int row, int field) {
  return map.section == Section::Cliches ? field : (row - 1) * map.fields + field;
}
inline int TotalOf(const SectionMap& map) { return map.section == Section::Cliches ? map.fields : map.rows * map.fields; }

inline ParameterAddress AddressOf(const SectionMap& map, int row, int field) {
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
  // Texts the device took in a write.
  int written() const { return report_.succeeded(); }

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
    if (reply.ok() && written_addresses_) written_addresses_->push_back(address);
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
    return report_.AskToContinue(ui_, "Не удалось прочитать бланк..." + reply.message);
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
    return report_.AskToContinue(ui_, sentence + reply.message);
  }

  link::Link& link_;
  ui::UserInterface& ui_;
  DeviceConfiguration& configuration_;
  ui::ExchangeCountdown countdown_;
  ui::OperationReport report_;
  ReadReport* reading_;
  ConfigurationStates* states_;
  std::vector<ParameterAddress>* written_addresses_;
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

// Whether an operator is written at all: enabled, with a password other than 0.
bool OperatorIsWritten(const OperatorRecord& record);

// Whether the whole write sends the text at address (clichés aside: the device picks one).
bool WholeWriteSends(DeviceConfiguration& configuration, ParameterAddress address);

// The end of a write the user stopped: the texts of plan not tried stay not written, and with the
// states known the user is told how far it got. Always false.
bool StopWrite(ui::UserInterface& ui, WaitWindow& wait, Transfer& transfer, const std::vector<ParameterAddress>& plan,
               const ConfigurationStates* states);

// Writes those of `lines` (cliché line addresses) that belong to the first cliché the device
// accepts, adding them to plan; the probe of line 1 tells, and a probe that fails otherwise
// than by refusal writes the cliché as if accepted. False once the user stops.
bool WriteAcceptedCliche(Transfer& transfer, DeviceConfiguration& configuration,
                         const std::vector<ParameterAddress>& lines, std::vector<ParameterAddress>& plan);

}  // namespace tarnis::config
