#include "connection/device_search_operation.h"

namespace tarnis::connection {

std::string NothingFoundText(const std::vector<PortReport>& ports) {
  std::string text = "Аппарат не найден: ни один свободный порт не ответил ни на одной скорости.";
  std::string skipped;
  for (const PortReport& port : ports)
    if (port.state != PortState::Missing && !Usable(port.state))
      skipped += "\n" + port.name + ": " + FailureReason(port);
  if (!skipped.empty()) text += "\nНе проверены:" + skipped;
  return text;
}

std::vector<FoundDevice> SearchWithProgress(ui::UserInterface& ui, const SearchRequest& request) {
  ui.WaitShow();
  ui.WaitSetStep("Поиск аппарата...");
  ui.ProcessEvents();
  std::vector<FoundDevice> found;
  {
    const ui::BusyCursor busy(ui);
    ui.ProgressStart();
    found = FindDevices(request, {[&ui](int done, int total) {
                                    ui.ProgressStep(done, total);
                                    ui.ProcessEvents();
                                  },
                                  [&ui] { return ui.StopRequested(); }});
    ui.ProgressEnd();
  }
  // Asked while the wait window is still up: "Прервать" belongs to it.
  const bool stopped = ui.StopRequested();
  ui.WaitClose();
  if (stopped) return {};
  if (found.empty()) ui::ShowNotice(ui, NothingFoundText(request.ports));
  return found;
}

}  // namespace tarnis::connection
