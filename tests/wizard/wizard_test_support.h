#pragma once
// What the wizard's page tests share: the emulated device, the recording user interface, a
// record at its defaults, and texts in the record's and the device's encodings.
#include <gtest/gtest.h>

#include <string>

#include "config/device_configuration.h"
#include "emulated_device.h"
#include "link/device_charset.h"
#include "link/device_errors.h"
#include "platform/cp1251_codec.h"
#include "recording_user_interface.h"
#include "wizard/cell_grid.h"

#include <algorithm>
#include <vector>

namespace tarnis::wizard {

inline std::string Cp(const std::string& utf8) { return Utf8ToCp1251Lossy(utf8); }
inline std::string Device(const std::string& utf8) { return link::ToDeviceText(Cp(utf8)); }
inline std::string Utf(std::string_view cp1251) { return Cp1251ToUtf8(cp1251); }

inline const std::string kNoAnswer = "Нет ответа или не удалось открыть порт.";

class PageTest : public ::testing::Test {
 protected:
  PageTest() { config::FillDefaults(configuration); }

  std::size_t Requests() {
    return device.WithDevice([](emulator::Km07Device& d) { return d.requests_seen(link::Command::Parameter); });
  }
  std::string DeviceText(int table, int row, int field) {
    return device.WithDevice([&](emulator::Km07Device& d) { return d.state().Text(table, row, field); });
  }
  void SetDeviceEnabled(int table, int row, std::uint8_t enabled) {
    device.WithDevice([&](emulator::Km07Device& d) { d.state().enabled[table][row - 1] = enabled; });
  }
  void ForceError(int table, int row, int field, std::uint8_t code) {
    device.WithDevice([&](emulator::Km07Device& d) {
      d.faults().forced_errors.push_back({link::Command::Parameter, static_cast<std::uint8_t>(table),
                                          static_cast<std::uint16_t>(row), static_cast<std::uint8_t>(field), code});
    });
  }
  // The link now addresses a port that does not exist: every request fails at once.
  void UnplugDevice() { device.link().settings().port_name = "COM100"; }
  // Records every whole refill of grid among the user interface's events, as "fill".
  void RecordFills(CellGrid& grid) {
    grid.SetObserver([this](int row, int) {
      if (row == CellGrid::kAllCells) ui.events.push_back("fill");
    });
  }
  void ExpectClosedDown() {
    EXPECT_FALSE(ui.progress_visible);
    EXPECT_FALSE(ui.busy_cursor);
    EXPECT_FALSE(device.link().busy());
  }

  test::EmulatedDevice device;
  test::RecordingUserInterface ui;
  config::DeviceConfiguration configuration;
};

}  // namespace tarnis::wizard
