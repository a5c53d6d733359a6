// Exchanges over the emulator on a real pseudo-terminal: the host-side cost of one exchange
// (open, configure, write, read, close, plus the emulator's answer) and, with the emulator
// pacing its answers like a 115200 baud line, how close an exchange comes to the wire time.
#include <algorithm>
#include <chrono>
#include <vector>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>

#include "emulator/pty_server.h"
#include "link/commands.h"
#include "link/exchange_log.h"
#include "link/serial_transport.h"

namespace {

using namespace tarnis;
using Clock = std::chrono::steady_clock;
using link::Command;

constexpr int kBaud = 115200;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// CPU time of this process (the host side and the emulator's thread), which, unlike the wall
// clock, does not grow when other programs hold the processors.
double CpuSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Wire time of one exchange at kBaud: ten bits for every byte of the request and the answer.
double WireSeconds(Command command) {
  return static_cast<double>(link::RequestSize(command) + link::AnswerSize(command)) * 10.0 / kBaud;
}

bool RunOnce(link::Link& link, Command command, int i) {
  switch (command) {
    case Command::Parameter: return link::ExchangeParameter(link, link::Mode::Read, 2, 1 + i % 99, 1 + i % 2).ok();
    case Command::Blank: return link::ExchangeBlank(link, link::Mode::Read, {static_cast<std::uint8_t>(1 + i % 8), 0, 0, 0}).ok();
    case Command::Inn: return link::ProgramInn(link, {0, 26, 1, 1, 1, "123"}).error_code == 53;
    case Command::Goods: return link::ExchangeGoods(link, link::Mode::Read, static_cast<std::uint16_t>(i % 1001), {}).ok();
    case Command::Status: return link::RequestStatus(link).ok();
  }
  return false;
}

const char* Name(Command command) {
  switch (command) {
    case Command::Parameter: return "parameter 0x70";
    case Command::Blank: return "blank     0x66";
    case Command::Inn: return "inn       0x6E";
    case Command::Goods: return "goods     0x74";
    case Command::Status: return "status    0x75";
  }
  return "";
}

// Runs count exchanges; returns the seconds they took, or a negative number on a failure.
double Time(int count, const std::function<bool(int)>& exchange) {
  const auto start = Clock::now();
  for (int i = 0; i < count; ++i)
    if (!exchange(i)) return -1;
  return Seconds(Clock::now() - start);
}

// The median and the shortest seconds of one exchange: what an exchange costs when other
// programs on the machine do not happen to hold the processors at that moment.
struct Spread {
  double median = -1;
  double best = -1;
};
Spread TimeEach(int count, const std::function<bool(int)>& exchange) {
  std::vector<double> each;
  for (int i = 0; i < count; ++i) {
    const auto start = Clock::now();
    if (!exchange(i)) return {};
    each.push_back(Seconds(Clock::now() - start));
  }
  std::sort(each.begin(), each.end());
  return {each[each.size() / 2], each.front()};
}

bool WholeConfigurationRead(link::Link& link) {
  const int rows[] = {32, 1, 99, 8, 2};
  const int fields[] = {3, 1, 2, 3, 8};
  for (int table = 0; table < 5; ++table)
    for (int row = 1; row <= rows[table]; ++row)
      for (int field = 1; field <= fields[table]; ++field)
        if (!link::ExchangeParameter(link, link::Mode::Read, static_cast<std::uint8_t>(table),
                                     static_cast<std::uint8_t>(row), static_cast<std::uint8_t>(field))
                 .ok())
          return false;
  return true;
}

}  // namespace

// bench_link_exchanges [count] [--exchange-log]: with --exchange-log every figure is taken with
// the exchange log attached, as the program keeps it while its window is closed.
int main(int argc, char** argv) {
  int count = 2000;
  bool with_log = false;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--exchange-log") {
      with_log = true;
    } else {
      count = std::atoi(argv[i]);
    }
  }
  char directory[] = "/tmp/tarnis-bench-XXXXXX";
  if (!::mkdtemp(directory)) return 1;
  ::setenv("TARNIS_PORTS_DIR", directory, 1);
  emulator::PtyServer server;
  server.WithDevice([](emulator::Km07Device& device) { device.state().inn_set = true; });
  std::string error;
  if (!server.Start("COM1", &error)) {
    std::fprintf(stderr, "emulator: %s\n", error.c_str());
    return 1;
  }
  link::SerialTransport transport;
  link::Link link(transport);
  link.settings() = {"COM1", kBaud, 250, 2500, "1", true};
  const Command commands[] = {Command::Parameter, Command::Blank, Command::Inn, Command::Goods, Command::Status};
  link::ExchangeLog program_log;
  if (with_log) program_log.Attach(link);

  std::printf("Exchanges over the emulator, no baud delay (%d per command)%s\n", count,
              with_log ? ", exchange log attached" : "");
  std::printf("  %-16s %12s %14s %12s %18s\n", "command", "exchanges/s", "ms/exchange", "median ms",
              "CPU ms/exchange");
  for (const Command command : commands) {
    Time(50, [&](int i) { return RunOnce(link, command, i); });
    const double cpu_start = CpuSeconds();
    const double seconds = Time(count, [&](int i) { return RunOnce(link, command, i); });
    const double cpu = CpuSeconds() - cpu_start;
    const Spread spread = TimeEach(count, [&](int i) { return RunOnce(link, command, i); });
    if (seconds < 0 || spread.median < 0) return std::fprintf(stderr, "%s failed\n", Name(command)), 1;
    std::printf("  %-16s %12.0f %14.4f %12.4f %18.4f\n", Name(command), count / seconds, seconds * 1000 / count,
                spread.median * 1000, cpu * 1000 / count);
  }
  const double goods = Time(1001, [&](int i) { return RunOnce(link, Command::Goods, i); });
  const double whole = Time(1, [&](int) { return WholeConfigurationRead(link); });
  std::printf("  1001 goods reads:     %8.1f ms\n", goods * 1000);
  std::printf("  335 parameter reads:  %8.1f ms\n", whole * 1000);

  // The exchange log as the program keeps it while its window is closed: the trace observer copies
  // both frames into the ring. Rounds alternate, so that load from other programs falls on both.
  {
    link::ExchangeLog log;
    double seconds[2] = {0, 0};
    double cpu[2] = {0, 0};
    const int rounds = 10;
    const int per_round = std::max(1, count / rounds);
    for (int round = 0; round < rounds; ++round) {
      for (const int logged : {0, 1}) {
        if (logged) {
          log.Attach(link);
        } else {
          link.SetTraceObserver({});
        }
        const double cpu_start = CpuSeconds();
        const double wall = Time(per_round, [&](int i) { return RunOnce(link, Command::Parameter, i); });
        if (wall < 0) return std::fprintf(stderr, "logged reads failed\n"), 1;
        seconds[logged] += wall;
        cpu[logged] += CpuSeconds() - cpu_start;
      }
    }
    link.SetTraceObserver({});
    if (with_log) program_log.Attach(link);
    const double n = static_cast<double>(rounds * per_round);
    std::printf("  exchange log attached (window closed), %d parameter reads each:\n", rounds * per_round);
    std::printf("    without: %.4f ms/exchange, CPU %.4f ms   with: %.4f ms/exchange, CPU %.4f ms   "
                "ratio %.4f, CPU ratio %.4f\n",
                seconds[0] * 1000 / n, cpu[0] * 1000 / n, seconds[1] * 1000 / n, cpu[1] * 1000 / n,
                seconds[1] / seconds[0], cpu[1] / cpu[0]);
  }

  server.WithDevice([](emulator::Km07Device& device) { device.faults().baud_rate = kBaud; });
  const int paced = std::max(20, count / 10);
  std::printf("\nPaced like a %d baud line (%d per command); wire time = 10 bits per byte, request + answer\n",
              kBaud, paced);
  std::printf("  %-16s %8s %12s %8s %10s %13s %11s\n", "command", "wire ms", "measured ms", "ratio", "median ms",
              "median ratio", "best ratio");
  for (const Command command : commands) {
    const double seconds = Time(paced, [&](int i) { return RunOnce(link, command, i); });
    const Spread spread = TimeEach(paced, [&](int i) { return RunOnce(link, command, i); });
    if (seconds < 0 || spread.median < 0) return std::fprintf(stderr, "%s failed\n", Name(command)), 1;
    const double each = seconds / paced;
    const double wire = WireSeconds(command);
    std::printf("  %-16s %8.3f %12.3f %8.4f %10.3f %13.4f %11.4f\n", Name(command), wire * 1000, each * 1000,
                each / wire, spread.median * 1000, spread.median / wire, spread.best / wire);
  }
  const double paced_goods = Time(1001, [&](int i) { return RunOnce(link, Command::Goods, i); });
  const double paced_whole = Time(1, [&](int) { return WholeConfigurationRead(link); });
  std::printf("  1001 goods reads:     %8.1f ms (wire %.1f ms, ratio %.4f)\n", paced_goods * 1000,
              1001 * WireSeconds(Command::Goods) * 1000, paced_goods / (1001 * WireSeconds(Command::Goods)));
  std::printf("  335 parameter reads:  %8.1f ms (wire %.1f ms, ratio %.4f)\n", paced_whole * 1000,
              335 * WireSeconds(Command::Parameter) * 1000, paced_whole / (335 * WireSeconds(Command::Parameter)));

  server.Stop();
  std::filesystem::remove_all(directory);
  return 0;
}
