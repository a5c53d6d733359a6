// tarnisctl on many devices at once: emulator processes paced like a 115200 baud line, one per
// port, and the wall time of "config write" and of "goods write" of all 1001 records to 1, 2,
// 4, 8 and 16 of them in one tarnisctl run, against one device. Prints the load average too:
// the machine's processors are shared with whatever else runs.
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include "quiet_spawn.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

pid_t StartEmulator(const std::string& port, const std::string& directory) {
  const pid_t pid = tarnis::test::SpawnQuietly({TARNIS_EMULATOR, "--port", port, "--baud", "115200"}, {2});
  for (int i = 0; i < 500 && pid > 0 && !std::filesystem::is_symlink(directory + "/" + port); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return pid;
}

// Seconds the command took, or a negative number when it failed.
double Run(const std::string& command) {
  const auto start = Clock::now();
  const int status = std::system((command + " >/dev/null 2>&1").c_str());
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  return status == 0 ? seconds : -1;
}

std::string LoadAverage() {
  std::ifstream in("/proc/loadavg");
  std::string one, five;
  in >> one >> five;
  return one + " " + five;
}

}  // namespace

int main() {
  char directory[] = "/tmp/tarnis-parallel-XXXXXX";
  if (!::mkdtemp(directory)) return 1;
  ::setenv("TARNIS_PORTS_DIR", directory, 1);
  const std::string ctl = TARNISCTL;
  const std::string folder = directory;
  constexpr int kMost = 16;
  std::vector<pid_t> emulators;
  for (int i = 1; i <= kMost; ++i) emulators.push_back(StartEmulator("COM" + std::to_string(i), folder));
  const std::string cfg = folder + "/x.cfg", base = folder + "/x.base";
  if (Run(ctl + " config read --port COM1 --file " + cfg) < 0 || Run(ctl + " goods read --port COM1 --file " + base) < 0)
    return std::fprintf(stderr, "cannot read the files to write\n"), 1;

  std::printf("tarnisctl --ports on emulators paced like a 115200 baud line (2 processors shared; load %s)\n",
              LoadAverage().c_str());
  std::printf("  %-8s %22s %8s %22s %8s\n", "devices", "config write, s", "ratio", "1001 goods write, s", "ratio");
  double single[2] = {0, 0};
  for (const int count : {1, 2, 4, 8, 16}) {
    std::string ports;
    for (int i = 1; i <= count; ++i) ports += (i > 1 ? "," : "") + std::string("COM") + std::to_string(i);
    const double config = Run(ctl + " config write --ports " + ports + " --file " + cfg);
    const double goods = Run(ctl + " goods write --ports " + ports + " --file " + base);
    if (config < 0 || goods < 0) return std::fprintf(stderr, "%d devices: a run failed\n", count), 1;
    if (count == 1) single[0] = config, single[1] = goods;
    std::printf("  %-8d %22.2f %8.3f %22.2f %8.3f\n", count, config, config / single[0], goods, goods / single[1]);
  }
  std::printf("  (load after: %s)\n", LoadAverage().c_str());
  for (const pid_t pid : emulators) {
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
  }
  std::filesystem::remove_all(folder);
  return 0;
}
