// What the splash and About windows cost before they can show: decoding the splash picture with
// libjpeg, and reading the program's name, version and company from its own file.
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/jpeg_image.h"
#include "platform/program_identity.h"
#include "platform/version_info.h"

namespace {

using Clock = std::chrono::steady_clock;

template <class F>
double MicrosecondsPerRun(int runs, F f) {
  const auto start = Clock::now();
  for (int i = 0; i < runs; ++i) f();
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / runs;
}

}  // namespace

int main() {
  std::ifstream file(TARNIS_SPLASH_JPEG, std::ios::binary);
  const std::vector<std::uint8_t> jpeg{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (!tarnis::DecodeJpeg(jpeg)) {
    std::printf("splash picture does not decode\n");
    return 1;
  }
  const int runs = 200;
  const double decode = MicrosecondsPerRun(runs, [&] { (void)tarnis::DecodeJpeg(jpeg); });
  const double identity =
      MicrosecondsPerRun(runs, [] { (void)tarnis::ReadProgramIdentity(tarnis::version_info::kRunningExecutable); });
  std::printf("splash decode (300x175 progressive, %zu bytes): %.1f us\n", jpeg.size(), decode);
  std::printf("About identity from /proc/self/exe: %.1f us\n", identity);
  return 0;
}
