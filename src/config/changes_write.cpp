#include "config/changes_write.h"

#include <algorithm>
#include <tuple>

#include "config/transfer_session.h"

namespace tarnis::config {

bool WriteTextsToDevice(link::Link& link, ui::UserInterface& ui, DeviceConfiguration& configuration,
                        const std::vector<ParameterAddress>& addresses, ConfigurationStates& states,
                        std::vector<ParameterAddress>* written) {
  link::Link::Operation operation(link);
  if (!operation) return false;
  // The whole write's order is the order of the addresses.
  std::vector<ParameterAddress> ordered = addresses;
  std::sort(ordered.begin(), ordered.end(), [](const ParameterAddress& a, const ParameterAddress& b) {
    return std::tie(a.table, a.row, a.field) < std::tie(b.table, b.row, b.field);
  });
  ordered.erase(std::unique(ordered.begin(), ordered.end()), ordered.end());
  const std::uint8_t cliche_table = MapOf(Section::Cliches).table;
  std::vector<ParameterAddress> plan, cliche_lines;
  for (const ParameterAddress& address : ordered) {
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
  transfer.Close(ui::ChangesWrittenText(transfer.written()));
  return true;
}

bool WriteChangesToDevice(link::Link& link, ui::UserInterface& ui, DeviceConfiguration& configuration,
                          ConfigurationStates& states, std::vector<ParameterAddress>* written) {
  const std::vector<ParameterAddress> changed = states.Changed(configuration);
  if (changed.empty()) {
    // Busy or not, nothing would be sent.
    link::Link::Operation operation(link);
    if (!operation) return false;
    ui::ShowNotice(ui, ui::kNoChanges);
    return true;
  }
  return WriteTextsToDevice(link, ui, configuration, changed, states, written);
}

}  // namespace tarnis::config
