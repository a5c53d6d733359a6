// Exchanges through a real ser2net on 127.0.0.1 (raw TCP and RFC 2217) against the same
// exchanges on the emulator's pseudo-terminal directly: the host cost of one exchange (this
// program's CPU and ser2net's), and with the emulators pacing their answers like a 115200 baud
// line, the time of the network path over the direct one. Rounds alternate between the paths so
// that load from other programs falls on all of them.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "emulator/pty_server.h"
#include "link/commands.h"
#include "link/serial_transport.h"
#include "ser2net_process.h"

namespace {

using namespace tarnis;
using Clock = std::chrono::steady_clock;
constexpr int kBaud = 115200;

double CpuSeconds() {
  timespec now{};
  ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// User and system CPU seconds of another process, from /proc.
double ProcessCpuSeconds(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), {});
  const auto close = text.rfind(')');
  if (close == std::string::npos) return 0;
  std::istringstream fields(text.substr(close + 2));
  std::string field;
  double ticks = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i)
    if (i == 14 || i == 15) ticks += std::stod(field);
  return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

struct Path {
  const char* name = "";
  bool telnet = false;
  bool held = false;  // the reads run inside one operation, as a transfer's do
  std::unique_ptr<emulator::PtyServer> server;
  std::unique_ptr<test::Ser2netProcess> ser2net;
  link::SerialTransport transport;
  std::unique_ptr<link::Link> link;
  double seconds = 0, cpu = 0, ser2net_cpu = 0;
  int exchanges = 0;
};

bool Exchange(link::Link& link, int i) {
  return link::ExchangeParameter(link, link::Mode::Read, 2, 1 + i % 99, 1 + i % 2).ok();
}

// Runs count reads on the path and adds their wall and CPU time to its totals.
bool Round(Path& path, int count) {
  const double cpu = CpuSeconds();
  const double far_cpu = path.ser2net ? ProcessCpuSeconds(path.ser2net->pid()) : 0;
  const auto start = Clock::now();
  std::optional<link::Link::Operation> operation;
  if (path.held) operation.emplace(*path.link);
  for (int i = 0; i < count; ++i)
    if (!Exchange(*path.link, i)) return false;
  operation.reset();
  path.seconds += std::chrono::duration<double>(Clock::now() - start).count();
  path.cpu += CpuSeconds() - cpu;
  if (path.ser2net) path.ser2net_cpu += ProcessCpuSeconds(path.ser2net->pid()) - far_cpu;
  path.exchanges += count;
  return true;
}

}  // namespace

// network_bench [exchanges per path] [--chardelay]: with --chardelay ser2net keeps its default
// wait before passing on what the tty sent (off by default, as the guide advises).
int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 2000;
  const bool chardelay = argc > 2 && std::string(argv[2]) == "--chardelay";
  if (test::Ser2netProcess::Program().empty()) return std::fprintf(stderr, "ser2net is not installed\n"), 1;
  char directory[] = "/tmp/tarnis-bench-XXXXXX";
  if (!::mkdtemp(directory)) return 1;
  ::setenv("TARNIS_PORTS_DIR", directory, 1);
  Path paths[5];
  const char* names[5] = {"pty directly", "raw, per exchange", "raw, operation", "RFC 2217, per exch.",
                          "RFC 2217, operation"};
  for (int i = 0; i < 5; ++i) {
    paths[i].name = names[i];
    paths[i].telnet = i >= 3;
    paths[i].held = i == 2 || i == 4;
  }
  for (int i = 0; i < 5; ++i) {
    Path& path = paths[i];
    path.server = std::make_unique<emulator::PtyServer>();
    const std::string name = "COM" + std::to_string(i + 1);
    std::string error;
    if (!path.server->Start(name, &error)) return std::fprintf(stderr, "emulator: %s\n", error.c_str()), 1;
    path.link = std::make_unique<link::Link>(path.transport);
    path.link->settings() = {name, kBaud, 250, 2500, "1", true};
    if (i > 0) {
      path.ser2net = std::make_unique<test::Ser2netProcess>(path.server->slave_path(), path.telnet, kBaud, chardelay);
      if (!path.ser2net->Listening()) return std::fprintf(stderr, "ser2net did not start\n"), 1;
      path.link->settings().port_name = path.ser2net->Url();
    }
  }
  const auto run = [&](const char* title, int rounds) {
    for (Path& path : paths) path.seconds = path.cpu = path.ser2net_cpu = path.exchanges = 0;
    for (Path& path : paths) Round(path, 20);  // warm-up
    for (Path& path : paths) path.seconds = path.cpu = path.ser2net_cpu = path.exchanges = 0;
    for (int round = 0; round < rounds; ++round)
      for (Path& path : paths)
        if (!Round(path, count / rounds)) return std::fprintf(stderr, "%s: %s failed\n", title, path.name), false;
    std::printf("%s, %d parameter reads per path\n", title, paths[0].exchanges);
    std::printf("  %-20s %12s %14s %16s %10s\n", "path", "ms/exchange", "CPU ms (ours)", "CPU ms (ser2net)",
                "ratio");
    for (const Path& path : paths)
      std::printf("  %-20s %12.4f %14.4f %16.4f %10.4f\n", path.name, path.seconds * 1000 / path.exchanges,
                  path.cpu * 1000 / path.exchanges, path.ser2net_cpu * 1000 / path.exchanges,
                  path.seconds / paths[0].seconds);
    return true;
  };
  std::printf("ser2net chardelay %s\n", chardelay ? "on (its default)" : "off");
  if (!run("Unpaced emulators", 10)) return 1;
  for (Path& path : paths) path.server->WithDevice([](emulator::Km07Device& d) { d.faults().baud_rate = kBaud; });
  const double wire = static_cast<double>(link::RequestSize(link::Command::Parameter) +
                                          link::AnswerSize(link::Command::Parameter)) * 10.0 / kBaud;
  std::printf("\n(wire time of one exchange at %d baud: %.3f ms)\n", kBaud, wire * 1000);
  if (!run("Emulators paced like a 115200 baud line", 10)) return 1;
  for (Path& path : paths) path.server->Stop();
  std::filesystem::remove_all(directory);
  return 0;
}
