// The blank form constructor's costs: building one preview, and reading the eight blanks from the
// emulator on a pseudo-terminal (the refresh before the constructor opens), with the group query.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "constructor/blank_transfer.h"
#include "constructor/current_group_query.h"
#include "constructor/preview.h"
#include "emulated_device.h"
#include "link/frame.h"
#include "recording_user_interface.h"

namespace {

using namespace tarnis;
using Clock = std::chrono::steady_clock;

template <class F>
std::vector<double> Runs(int runs, F f) {
  std::vector<double> seconds;
  for (int run = 0; run < runs; ++run) {
    const auto start = Clock::now();
    f();
    seconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
  }
  std::sort(seconds.begin(), seconds.end());
  return seconds;
}

void Report(const char* name, const std::vector<double>& seconds, double per, const char* unit) {
  std::printf("%-34s median %9.3f %s  best %9.3f %s\n", name, seconds[seconds.size() / 2] / per * 1e6, unit,
              seconds.front() / per * 1e6, unit);
}

}  // namespace

int main() {
  config::DeviceConfiguration configuration;
  config::FillDefaults(configuration);
  const constructor::BlankFormEntry entry{1, 6, 8, 3};
  constexpr int kPreviews = 20000;
  std::size_t lines = 0;
  Report("preview (variant 6, all lines)", Runs(9, [&] {
           for (int i = 0; i < kPreviews; ++i) lines += constructor::PreviewLines(configuration, entry).size();
         }),
         kPreviews, "us/preview");

  test::EmulatedDevice device;
  constructor::BlankFormTable table;
  Report("refresh of 8 blanks (no delay)", Runs(21, [&] { constructor::RefreshBlankFlags(device.link(), table); }), 1,
         "us      ");
  device.WithDevice([](emulator::Km07Device& d) { d.faults().baud_rate = 115200; });
  Report("refresh of 8 blanks (115200 bd)", Runs(21, [&] { constructor::RefreshBlankFlags(device.link(), table); }), 1,
         "us      ");
  const double wire = 8.0 * (link::RequestSize(link::Command::Blank) + link::AnswerSize(link::Command::Blank)) * 10 / 115200;
  std::printf("%-34s        %9.3f us\n", "  wire time of those 8 exchanges", wire * 1e6);
  device.WithDevice([](emulator::Km07Device& d) { d.faults().baud_rate = 0; });
  test::RecordingUserInterface ui;
  Report("group query + refresh (no delay)",
         Runs(21, [&] { constructor::QueryCurrentGroup(device.link(), ui, table); }), 1, "us      ");
  return lines == 0;
}
