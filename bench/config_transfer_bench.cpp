// Whole-configuration read and write against the emulator on a pseudo-terminal: once answering
// at full speed, once paced like a 115200-baud line, compared with the line's wire time.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "config/config_transfer.h"
#include "emulated_device.h"
#include "link/frame.h"
#include "recording_user_interface.h"

namespace {

using namespace tarnis;

constexpr int kRuns = 5;

struct Figures {
  double median_s = 0;
  double best_s = 0;
  std::size_t requests = 0;
  bool complete = true;
};

template <class Operation>
Figures Measure(test::EmulatedDevice& device, Operation operation) {
  std::vector<double> seconds;
  Figures figures;
  for (int run = 0; run < kRuns; ++run) {
    config::DeviceConfiguration configuration;
    config::FillDefaults(configuration);
    test::RecordingUserInterface ui;
    ui.default_answer = ui::Answer::No;
    const auto before = device.WithDevice([](emulator::Km07Device& d) { return d.total_requests_seen(); });
    const auto start = std::chrono::steady_clock::now();
    figures.complete = operation(device.link(), ui, configuration) && figures.complete;
    seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    figures.requests =
        device.WithDevice([](emulator::Km07Device& d) { return d.total_requests_seen(); }) - before;
  }
  std::sort(seconds.begin(), seconds.end());
  figures.median_s = seconds[seconds.size() / 2];
  figures.best_s = seconds.front();
  return figures;
}

void Report(const char* name, int baud_rate, const Figures& figures) {
  std::printf("%-6s %-10s %4zu requests  median %6.3f s  best %6.3f s  %6.3f ms/request", name,
              baud_rate ? "115200 bd" : "no delay", figures.requests, figures.median_s, figures.best_s,
              figures.median_s * 1000 / static_cast<double>(figures.requests));
  if (baud_rate) {
    const auto bytes = link::RequestSize(link::Command::Parameter) + link::AnswerSize(link::Command::Parameter);
    const double wire = static_cast<double>(figures.requests * bytes) * 10 / baud_rate;
    std::printf("  wire %.3f s  over wire: median %+.1f %%, best %+.1f %%", wire, (figures.median_s / wire - 1) * 100,
                (figures.best_s / wire - 1) * 100);
  }
  std::printf("%s\n", figures.complete ? "" : "  (INCOMPLETE: a request failed)");
}

}  // namespace

int main() {
  test::EmulatedDevice device;
  for (const int baud_rate : {0, 115200}) {
    device.WithDevice([&](emulator::Km07Device& d) { d.faults().baud_rate = baud_rate; });
    Report("read", baud_rate, Measure(device, [](auto& link, auto& ui, auto& configuration) {
             return config::ReadAllFromDevice(link, ui, configuration);
           }));
    Report("write", baud_rate, Measure(device, [](auto& link, auto& ui, auto& configuration) {
             return config::WriteAllToDevice(link, ui, configuration);
           }));
  }
  return 0;
}
