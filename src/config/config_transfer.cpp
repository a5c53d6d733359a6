#include "config/config_transfer.h"

#include <string>
#include <vector>

#include "config/transfer_session.h"

namespace tarnis::config {
namespace {

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

int SectionRequests(Section section) {
  const SectionMap& map = MapOf(section);
  return map.rows * map.fields;
}

int ReadRequests(bool blank_forms) {
  return SectionRequests(Section::Operators) + 1 + SectionRequests(Section::Services) +
         SectionRequests(Section::Requisites) + SectionRequests(Section::Cliches) + (blank_forms ? kFormCount : 0);
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

}  // namespace tarnis::config
