// Start-up of the program without its splash: the time from starting the process to the main
// window's first paint, and the resident memory at that moment. The benchmark starts itself
// again as the program (`--child`) several times and prints the median and the range.
// Runs on whatever display QT_QPA_PLATFORM names (offscreen when none is set).
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "app/program.h"

extern char** environ;

namespace {

constexpr int kRuns = 9;

long long MonotonicNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

double CpuMilliseconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  const auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3; };
  return ms(usage.ru_utime) + ms(usage.ru_stime);
}

long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

int RunAsProgram(int argc, char** argv) {
  tarnis::app::ProgramOptions options;
  options.show_splash = false;
  options.on_main_window_shown = [](tarnis::app::TForm1&) {
    std::printf("%lld %ld %.1f\n", MonotonicNanoseconds(), ResidentKilobytes(), CpuMilliseconds());
    std::fflush(stdout);
    QApplication::quit();
  };
  return tarnis::app::RunProgram(argc, argv, options);
}

struct Sample {
  double milliseconds = 0;
  long resident_kb = 0;
  double cpu_milliseconds = 0;  // user and system time the program spent until then
};

bool MeasureOnce(const char* self, Sample& sample) {
  int out[2];
  if (pipe(out) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  char child_flag[] = "--child";
  char* child_argv[] = {const_cast<char*>(self), child_flag, nullptr};
  pid_t pid = 0;
  const long long started = MonotonicNanoseconds();
  const int spawned = posix_spawn(&pid, self, &actions, nullptr, child_argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (spawned != 0) {
    close(out[0]);
    return false;
  }
  std::string text;
  char buffer[256];
  for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<std::size_t>(n));
  close(out[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  long long shown = 0;
  if (std::sscanf(text.c_str(), "%lld %ld %lf", &shown, &sample.resident_kb, &sample.cpu_milliseconds) != 3)
    return false;
  sample.milliseconds = static_cast<double>(shown - started) / 1e6;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--child") == 0) return RunAsProgram(argc, argv);
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);

  std::vector<Sample> samples;
  for (int i = 0; i < kRuns; ++i) {
    Sample sample;
    if (!MeasureOnce("/proc/self/exe", sample)) {
      std::fprintf(stderr, "run %d: the program did not report its first paint\n", i + 1);
      return 1;
    }
    samples.push_back(sample);
  }
  std::sort(samples.begin(), samples.end(), [](const Sample& a, const Sample& b) { return a.milliseconds < b.milliseconds; });
  const Sample& median = samples[samples.size() / 2];
  std::printf("platform: %s, %d runs, splash left out\n", std::getenv("QT_QPA_PLATFORM"), kRuns);
  std::printf("process start to main window painted: median %.1f ms (min %.1f, max %.1f)\n", median.milliseconds,
              samples.front().milliseconds, samples.back().milliseconds);
  std::printf("processor time used until then: %.1f ms (median run)\n", median.cpu_milliseconds);
  std::printf("resident memory then: %.1f MB (median run)\n", static_cast<double>(median.resident_kb) / 1024.0);
  return 0;
}
