// The emulator's saved memory and its command-line fault options.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "emulator/device_state_file.h"
#include "emulator/fault_options.h"

namespace tarnis::emulator {
namespace {

TEST(DeviceStateFile, SavesAndLoadsEveryPart) {
  Km07Device device;
  DeviceState& s = device.state();
  s.factory_number = 0xFFFFFFFF;
  s.mode = 0x21;
  s.document_number = 65535;
  s.inn_set = true;
  s.inn = 999'999'999'999;
  s.clock_offset_seconds = -86400 * 3;
  s.Text(4, 2, 8) = std::string(25, 'q');
  s.Text(0, 1, 3) = "";
  s.enabled[3][7] = 0;
  s.cliche_locked[1] = true;
  s.blanks[7] = BlankSlot{false, 6, 8, 3};
  s.goods[1000] = GoodsSlot{"1\x7e\x7b", (std::uint64_t{1} << 48) - 1, 255, kMaxPrice};

  DeviceState loaded = Km07Device().state();
  std::string error;
  ASSERT_TRUE(LoadDeviceState(SaveDeviceState(s), loaded, &error)) << error;
  EXPECT_EQ(SaveDeviceState(loaded), SaveDeviceState(s));
  EXPECT_EQ(loaded.Text(4, 2, 8), std::string(25, 'q'));
  EXPECT_EQ(loaded.Text(0, 1, 3), "");
  EXPECT_EQ(loaded.goods[1000].price, kMaxPrice);
  EXPECT_EQ(loaded.clock_offset_seconds, -86400 * 3);
  EXPECT_FALSE(loaded.blanks[7].held);
}

TEST(DeviceStateFile, MalformedLinesLeaveTheStateUntouched) {
  const std::string header = "tarnis-emulator-state 1\n";
  for (const std::string& bad : std::vector<std::string>{"text 5 1 1 -", "text 0 33 1 -", "text 0 1 4 -", "text 0 1 1 6", "text 0 1 1 6100",
                                "text 0 1 1 " + std::string(52, '6'), "goods 1001 - 0 0 0", "goods 1 - 0 0 99999999901",
                                "goods 1 - 281474976710656 0 0", "mode 256", "mode 1 2", "mode -1", "blank 9 1 0 0 0",
                                "enabled 0 0 1", "cliche_locked 3 1", "frobnicate 1", "inn_set 2",
                                "factory_number 4294967296", "clock_offset --5"}) {
    DeviceState state = Km07Device().state();
    const std::string before = SaveDeviceState(state);
    std::string error;
    EXPECT_FALSE(LoadDeviceState(header + "mode 5\n" + bad + "\n", state, &error)) << bad;
    EXPECT_EQ(error.rfind("line 3", 0), 0u) << bad << ": " << error;
    EXPECT_EQ(SaveDeviceState(state), before) << bad;
  }
  DeviceState state;
  std::string error;
  EXPECT_FALSE(LoadDeviceState("something else\n", state, &error));
  EXPECT_EQ(error, "not an emulator state file");
}

TEST(DeviceStateFile, WritesAtomicallyAndReadsBack) {
  const auto path = (std::filesystem::temp_directory_path() / ("tarnis-state-" + std::to_string(::getpid()))).string();
  std::filesystem::remove(path);
  DeviceState state = Km07Device().state();
  bool exists = true;
  std::string error;
  EXPECT_TRUE(ReadDeviceStateFile(path, state, &exists, &error));  // no file yet: defaults stay
  EXPECT_FALSE(exists);
  state.battery = 3;
  ASSERT_TRUE(WriteDeviceStateFile(path, state, &error)) << error;
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
  DeviceState loaded = Km07Device().state();
  ASSERT_TRUE(ReadDeviceStateFile(path, loaded, &exists, &error)) << error;
  EXPECT_TRUE(exists);
  EXPECT_EQ(loaded.battery, 3);
  EXPECT_FALSE(WriteDeviceStateFile("/nonexistent-dir/state", state, &error));
  std::filesystem::remove(path);
}

TEST(FaultSpec, ForcedErrorsAndItemAddresses) {
  auto forced = ParseForcedError("parameter:4.1=51");
  ASSERT_TRUE(forced);
  EXPECT_EQ(forced->command, link::Command::Parameter);
  EXPECT_EQ(forced->table, 4);
  EXPECT_EQ(forced->row, 1);
  EXPECT_FALSE(forced->field);
  EXPECT_EQ(forced->code, 51);
  forced = ParseForcedError("goods:1000=59");
  ASSERT_TRUE(forced);
  EXPECT_EQ(forced->row, 1000);
  forced = ParseForcedError("status=35");
  ASSERT_TRUE(forced);
  EXPECT_FALSE(forced->row);
  for (const char* bad : {"status:1=35", "inn:1=1", "goods=256", "goods:=1", "goods:70000=1", "parameter:5=1",
                          "parameter:1.2.3.4=1", "parameter:1..2=1", "blank", "=5", "Goods=1"})
    EXPECT_FALSE(ParseForcedError(bad)) << bad;

  EXPECT_EQ(ParseItemAddress("0.32"), std::make_pair(std::uint8_t{0}, std::uint8_t{32}));
  for (const char* bad : {"0.33", "0.0", "5.1", "1", "1.1.1", "a.b"}) EXPECT_FALSE(ParseItemAddress(bad)) << bad;
}

}  // namespace
}  // namespace tarnis::emulator
