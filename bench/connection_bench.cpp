// The port survey and the device search on this machine: survey of every offered name, a search
// with nothing to find, and finding a device that answers only at 115200 or only at 2400 (paced
// like a line of that speed). Prints medians of five runs and their ratio to the goals.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "connection/device_search.h"
#include "connection/port_survey.h"
#include "emulator/pty_server.h"

namespace {

using namespace tarnis;
using Clock = std::chrono::steady_clock;

constexpr int kRuns = 5;

double MedianMs(const std::function<void()>& run, int runs = kRuns) {
  std::vector<double> ms;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    run();
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

std::unique_ptr<emulator::PtyServer> Device(const std::string& name, int line_speed, bool silent) {
  emulator::Km07Device device;
  device.faults().line_speed = line_speed;
  device.faults().baud_rate = line_speed;
  device.faults().silent = silent;
  auto server = std::make_unique<emulator::PtyServer>(std::move(device));
  if (!server->Start(name)) std::fprintf(stderr, "cannot start the emulator on %s\n", name.c_str());
  return server;
}

std::size_t FreePorts(const std::vector<connection::PortReport>& survey) {
  return static_cast<std::size_t>(std::count_if(survey.begin(), survey.end(), [](const auto& port) {
    return port.state == connection::PortState::Free;
  }));
}

}  // namespace

int main() {
  const auto directory = std::filesystem::temp_directory_path() / ("tarnis-connection-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(directory);
  ::setenv("TARNIS_PORTS_DIR", directory.c_str(), 1);

  const double survey_ms = MedianMs([] { connection::SurveyPorts(); }, 21);
  std::printf("survey of all 100 names: %.1f ms (median of 21), %.2f of the 50 ms goal\n", survey_ms, survey_ms / 50);

  const auto measure_search = [](const char* what, const std::vector<std::string>& names, double goal_ms) {
    std::size_t found = 0, free_ports = 0;
    const double ms = MedianMs([&] {
      connection::SearchRequest request;
      request.ports = names.empty() ? connection::SurveyPorts() : connection::SurveyNames(names);
      free_ports = FreePorts(request.ports);
      found = connection::FindDevices(request).size();
    });
    std::printf("%s: %.0f ms (median of %d; %zu free ports, %zu found), %.2f of the %.0f ms goal\n", what, ms, kRuns,
                free_ports, found, ms / goal_ms, goal_ms);
    return ms;
  };

  measure_search("search, nothing to find, every name", {}, 1500);
  std::vector<std::unique_ptr<emulator::PtyServer>> silent;
  for (int n = 1; n <= 8; ++n) silent.push_back(Device("COM" + std::to_string(70 + n), 0, true));
  measure_search("search, nothing to find, every name plus 8 silent devices", {}, 1500);
  silent.clear();

  const auto fast = Device("COM81", 115200, false);
  const auto slow = Device("COM82", 2400, false);
  const double fast_ms = measure_search("find a device at 115200 (its port only)", {"COM81"}, 300);
  const double slow_ms = measure_search("find a device at 2400 (its port only)", {"COM82"}, 1500);
  std::printf("ratio 2400 / 115200: %.1f\n", slow_ms / fast_ms);
  measure_search("whole search with both devices", {}, 1500);

  std::filesystem::remove_all(directory);
  return 0;
}
