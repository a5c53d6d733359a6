#include "config/transfer_session.h"

#include "config/config_transfer.h"

namespace tarnis::config {
namespace {

bool ClicheHoldsText(const ClicheRecord& cliche) {
  for (const ConfigText& line : cliche.lines)
    if (!line.Body().empty()) return true;
  return false;
}

}  // namespace

bool OperatorIsWritten(const OperatorRecord& record) {
  const auto password = PasswordNumber(record.password.Text());
  return record.enabled != 0 && password && *password != 0;
}

bool WholeWriteSends(DeviceConfiguration& configuration, ParameterAddress address) {
  const SectionMap& operators = MapOf(Section::Operators);
  if (address.table == operators.table) return OperatorIsWritten(configuration.operators[address.row - 1]);
  const auto target = ParameterAt(configuration, address);
  // Services and requisites carry their enabled byte with every line.
  return !target->enabled || *target->enabled != 0;
}

bool StopWrite(ui::UserInterface& ui, WaitWindow& wait, Transfer& transfer, const std::vector<ParameterAddress>& plan,
               const ConfigurationStates* states) {
  transfer.MarkUntried(plan);
  wait.Close();
  if (states) ui::ShowNotice(ui, ui::StoppedWriteText(transfer.written(), static_cast<int>(plan.size())));
  return false;
}

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

}  // namespace tarnis::config
