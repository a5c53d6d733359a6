// The device search against emulators on real pseudo-terminals at different line speeds.
#include <gtest/gtest.h>

#include <filesystem>

#include "connection/device_search.h"
#include "emulator/pty_server.h"
#include "platform/port_names.h"

namespace tarnis::connection {
namespace {

// An emulated device registered under name that answers only at line_speed (0: at any).
std::unique_ptr<emulator::PtyServer> Device(const std::string& name, int line_speed, std::uint32_t factory_number,
                                            bool silent = false) {
  emulator::Km07Device device;
  device.state().factory_number = factory_number;
  device.faults().line_speed = line_speed;
  device.faults().silent = silent;
  auto server = std::make_unique<emulator::PtyServer>(std::move(device));
  std::string error;
  EXPECT_TRUE(server->Start(name, &error)) << error;
  return server;
}

TEST(DeviceSearch, FindsEachDeviceAtItsSpeedAndNotTheSilentOne) {
  std::filesystem::create_directories(PortsDirectory());
  const auto at_19200 = Device("COM41", 19200, 4242);
  const auto at_2400 = Device("COM42", 2400, 77);
  const auto silent = Device("COM43", 0, 1, true);
  const auto wrong_number = Device("COM44", 57600, 5);  // answers 55: a device all the same
  const auto held = Device("COM45", 0, 1);

  SearchRequest request;
  request.ports = SurveyNames({"COM41", "COM42", "COM43", "COM44", "COM45", "COM46"});
  request.ports[4].state = PortState::Busy;  // as if another program held it: it gets nothing
  request.factory_number = "4242";
  std::vector<std::pair<int, int>> progress;
  const auto found = FindDevices(request, {[&](int done, int total) { progress.emplace_back(done, total); }, {}});

  EXPECT_EQ(found, (std::vector<FoundDevice>{{"COM41", 19200, 4242u}, {"COM42", 2400, std::nullopt},
                                             {"COM44", 57600, std::nullopt}}));
  held->WithDevice([](emulator::Km07Device& device) { EXPECT_EQ(device.requests_seen(link::Command::Status), 0u); });
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.back(), std::make_pair(28, 28));  // four free ports × seven speeds
  for (std::size_t i = 1; i < progress.size(); ++i) EXPECT_LE(progress[i - 1].first, progress[i].first);

  // With the right number the slow device tells its own.
  request.factory_number = "77";
  request.ports = SurveyNames({"COM42"});
  EXPECT_EQ(FindDevices(request), (std::vector<FoundDevice>{{"COM42", 2400, 77u}}));
}

TEST(DeviceSearch, StopsAfterTheTryUnderWayAndBoundsEachTry) {
  std::filesystem::create_directories(PortsDirectory());
  const auto silent = Device("COM47", 0, 1, true);
  const auto slow = Device("COM48", 2400, 1);
  SearchRequest request;
  request.ports = SurveyNames({"COM47", "COM48"});
  std::pair<int, int> last;
  const auto found = FindDevices(request, {[&](int done, int total) { last = {done, total}; }, [] { return true; }});
  EXPECT_TRUE(found.empty());  // the slow device answers only at the last speed
  EXPECT_EQ(last.second, 14);
  EXPECT_LE(last.first, 4);  // at most the try under way on each port, and one started meanwhile

  EXPECT_EQ(TryBudget(115200, 50), std::chrono::milliseconds(54));  // 42 bytes of 10 bits: 3.6 ms
  EXPECT_EQ(TryBudget(2400, 50), std::chrono::milliseconds(225));
}

}  // namespace
}  // namespace tarnis::connection
