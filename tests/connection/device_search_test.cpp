// The device search against emulators on real pseudo-terminals at different line speeds.
#include <gtest/gtest.h>

#include <filesystem>

#include "connection/device_search.h"
#include "connection/device_search_operation.h"
#include "recording_user_interface.h"
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
  link::ExchangeLog log;
  request.log = &log;
  std::vector<std::pair<int, int>> progress;
  const auto found = FindDevices(request, {[&](int done, int total) { progress.emplace_back(done, total); }, {}});

  EXPECT_EQ(found, (std::vector<FoundDevice>{{"COM41", 19200, 4242u}, {"COM42", 2400, std::nullopt, false},
                                             {"COM44", 57600, std::nullopt, false}}));
  // Every try is logged whole, the tries of the four threads apart: 5 + 7 + 7 + 3 speeds.
  EXPECT_EQ(log.records().size(), 22u);
  for (const link::ExchangeRecord& record : log.records()) {
    EXPECT_EQ(record.request.size(), link::RequestSize(link::Command::Status));
    if (record.port_name == "COM43") EXPECT_TRUE(record.answer.empty());
    else if (!record.answer.empty()) EXPECT_EQ(record.answer[1], link::AnswerCode(link::Command::Status));
  }
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

namespace tarnis::connection {
namespace {

TEST(DeviceSearch, NothingFoundIsToldWithThePortsThatWereNotTried) {
  PortReport busy;
  busy.name = "COM33";
  busy.device = "/dev/ttyUSB0";
  busy.state = PortState::Busy;
  busy.holder = ProcessInfo{812, "ModemManager"};
  PortReport locked_out = busy;
  locked_out.name = "COM65";
  locked_out.device = "/dev/ttyACM0";
  locked_out.state = PortState::NoAccess;
  locked_out.holder.reset();
  locked_out.group = "dialout";
  PortReport missing;
  missing.name = "COM34";
  missing.device = "/dev/ttyUSB1";

  test::RecordingUserInterface ui;
  SearchRequest request;
  request.ports = {busy, missing, locked_out};
  EXPECT_TRUE(SearchWithProgress(ui, request).empty());
  EXPECT_EQ(ui.MessageTexts(),
            (std::vector<std::string>{
                "Аппарат не найден: ни один свободный порт не ответил ни на одной скорости.\n"
                "Не проверены:\n"
                "COM33: Порт /dev/ttyUSB0 занят программой ModemManager (PID 812).\n"
                "COM65: Нет прав на /dev/ttyACM0: нужна группа dialout (sudo usermod -aG dialout $USER, затем "
                "войти в систему заново)."}));
  EXPECT_FALSE(ui.wait_visible || ui.progress_visible || ui.busy_cursor);

  // Stopped by the user: no notice, the windows closed all the same.
  test::RecordingUserInterface stopping;
  stopping.stop_requested = true;
  EXPECT_TRUE(SearchWithProgress(stopping, request).empty());
  EXPECT_TRUE(stopping.messages.empty());
  EXPECT_EQ(stopping.EventsStartingWith("wait close").size(), 1u);
  EXPECT_FALSE(stopping.wait_visible || stopping.progress_visible || stopping.busy_cursor);
}

}  // namespace
}  // namespace tarnis::connection
