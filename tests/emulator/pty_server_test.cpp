// The server's own duties: registration, frame assembly, junk, stopping.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "emulated_device.h"
#include "link/commands.h"
#include "platform/port_names.h"
#include "platform/serial_port.h"

namespace tarnis {
namespace {

using link::Command;

TEST(PtyServer, RegistersItsSlaveAndRemovesItOnStop) {
  test::EmulatedDevice device("COM42");
  const auto entry = std::filesystem::path(device.ports_directory()) / "COM42";
  ASSERT_TRUE(std::filesystem::is_symlink(entry));
  EXPECT_EQ(std::filesystem::read_symlink(entry), device.server().slave_path());
  EXPECT_EQ(DescribePort("COM42").path, device.server().slave_path());
  EXPECT_TRUE(DescribePort("COM42").exists);
  device.server().Stop();
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(entry)));
  EXPECT_EQ(link::RequestStatus(device.link()).result, link::LinkResult::NoAnswer);
}

TEST(PtyServer, AssemblesSplitFramesAndDropsJunkAfterAGap) {
  test::EmulatedDevice device;
  const auto path = ResolvePortName("COM1");
  ASSERT_TRUE(path);
  SerialPort port;
  ASSERT_TRUE(port.Open(*path));
  ASSERT_TRUE(port.Configure(115200));
  const auto request = link::BuildRequest(Command::Status, 1, {});
  std::vector<std::uint8_t> answer(31);

  // A request written in two pieces is one frame.
  ASSERT_TRUE(port.Write(std::span(request).first(5)));
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_TRUE(port.Write(std::span(request).subspan(5)));
  EXPECT_EQ(port.Read(answer, {50, 500}), 31u);
  EXPECT_EQ(answer[3], 0);

  // Junk followed by silence longer than the gap does not spoil the next request.
  const std::vector<std::uint8_t> junk{0x17, 0x02, 0x33};
  ASSERT_TRUE(port.Write(junk));
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  ASSERT_TRUE(port.Write(request));
  EXPECT_EQ(port.Read(answer, {50, 500}), 31u);
  EXPECT_EQ(answer[0], 0x18);
  EXPECT_EQ(answer[3], 0);

  // A header that cannot start a frame is answered as a bad command at once.
  const std::vector<std::uint8_t> garbage{0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x75, 0xFF};
  ASSERT_TRUE(port.Write(garbage));
  EXPECT_EQ(port.Read(answer, {50, 500}), 31u);
  EXPECT_EQ(answer[3], 22);
  EXPECT_EQ(device.WithDevice([](emulator::Km07Device& km) { return km.total_requests_seen(); }), 3u);
}

TEST(PtyServer, TwoDevicesOnTwoPortsAtOnce) {
  test::EmulatedDevice first("COM1");
  test::EmulatedDevice second("COM2", 9);
  EXPECT_EQ(first.ports_directory(), second.ports_directory());
  second.WithDevice([](emulator::Km07Device& km) { km.state().document_number = 77; });
  const auto from_second = link::RequestStatus(second.link());
  ASSERT_TRUE(from_second.ok()) << from_second.message;
  EXPECT_EQ(from_second.fields.document_number, 77);
  EXPECT_EQ(from_second.fields.factory_number, 9u);
  const auto from_first = link::RequestStatus(first.link());
  ASSERT_TRUE(from_first.ok()) << from_first.message;
  EXPECT_EQ(from_first.fields.document_number, 1);
}

}  // namespace
}  // namespace tarnis
