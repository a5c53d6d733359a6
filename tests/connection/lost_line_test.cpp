// A device that goes away: killed in the middle of a whole configuration read, or its ports
// directory entry removed after the settings were applied.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <filesystem>
#include <optional>
#include <sys/inotify.h>
#include <unistd.h>

#include "config/config_transfer.h"
#include "emulator_process.h"
#include "link/commands.h"
#include "link/frame.h"
#include "link/serial_transport.h"
#include "platform/cp1251_codec.h"
#include "recording_user_interface.h"

namespace tarnis {
namespace {

using Clock = std::chrono::steady_clock;

// Notes when the first prompt came.
class TimedUserInterface : public test::RecordingUserInterface {
 public:
  ui::Answer Message(const std::string& text, const std::string& caption, ui::Icon icon, ui::Buttons buttons) override {
    if (!first_message) first_message = Clock::now();
    return RecordingUserInterface::Message(text, caption, icon, buttons);
  }
  std::optional<Clock::time_point> first_message;
};

TEST(LostLine, KilledDeviceFailsEachRequestAtOnceAndKeepsWhatWasRead) {
  std::filesystem::create_directories(PortsDirectory());
  // Paced like a 2400-baud line, so that an answer is on its way for a good while when the device dies.
  test::EmulatorProcess emulator("COM51", {"--factory", "1", "--baud", "2400"});
  ASSERT_TRUE(emulator.running());
  link::SerialTransport transport;
  link::Link link(transport);
  // Long time-outs: waiting out any of them would show in the times below.
  link.settings() = {"COM51", 115200, 1000, 5000, "1", true};
  ASSERT_TRUE(link::ExchangeParameter(link, link::Mode::Write, 0, 1, 2, "1iwanow").ok());

  int sent = 0, received = 0;
  link::Command cut_command{};
  std::optional<std::size_t> cut_answer_size;  // what arrived of the answer under way at the kill
  std::atomic<bool> killed_flag{false};
  Clock::time_point killed;
  std::thread killer;
  link.SetTraceObserver([&](link::TraceDirection direction, std::span<const std::uint8_t> bytes) {
    if (direction == link::TraceDirection::Received) {
      if (++received == 5) cut_answer_size = bytes.size();
      return;
    }
    if (++sent != 5) return;
    // The device dies half way through the fifth answer: the emulator takes the request's own wire
    // time, then sends the answer a byte at a time.
    cut_command = static_cast<link::Command>(bytes[6]);
    const std::size_t bytes_to_kill = bytes.size() + link::AnswerSize(cut_command) / 2;
    const auto half_answer = std::chrono::milliseconds(bytes_to_kill * 10 * 1000 / 2400);
    killer = std::thread([&, half_answer] {
      std::this_thread::sleep_for(half_answer);
      emulator.End(SIGKILL);
      killed = Clock::now();
      killed_flag = true;
    });
  });
  TimedUserInterface ui;
  ui.default_answer = ui::Answer::Yes;
  config::DeviceConfiguration configuration;
  config::FillDefaults(configuration);
  const bool finished = config::ReadAllFromDevice(link, ui, configuration);
  const auto end = Clock::now();
  if (killer.joinable()) killer.join();

  EXPECT_TRUE(finished);
  ASSERT_TRUE(killed_flag && ui.first_message && cut_answer_size);
  // The kill landed mid-answer: part of it had come, not all.
  EXPECT_GT(*cut_answer_size, 0u);
  EXPECT_LT(*cut_answer_size, link::AnswerSize(cut_command));
  EXPECT_LT(*ui.first_message - killed, std::chrono::milliseconds(1000));  // within one inter-byte time-out
  EXPECT_LT(end - *ui.first_message, std::chrono::milliseconds(1000));    // 295 more requests, none waited
  EXPECT_GT(ui.messages.size(), 320u);
  EXPECT_EQ(configuration.operators[0].full_name.Text(), Utf8ToCp1251Lossy("1ИВАНОВ"));  // read before the kill
}

TEST(LostLine, NameFixedAtApplyNeverFallsBackToTheFixedRange) {
  std::filesystem::create_directories(PortsDirectory());
  auto emulator = std::make_unique<test::EmulatorProcess>("COM1");
  ASSERT_TRUE(emulator->running());
  link::SerialTransport transport;
  link::Link link(transport);
  link.settings() = {"COM1", 115200, 50, 300, "1", true};
  link.settings().port_path = ResolvePortName("COM1");  // as Apply fixes it
  ASSERT_TRUE(link::RequestStatus(link).ok());

  emulator.reset();  // the emulator ends and takes its ports directory entry with it
  ASSERT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(std::filesystem::path(PortsDirectory()) / "COM1")));
  EXPECT_EQ(ResolvePortName("COM1"), "/dev/ttyS0");  // what the name alone would now stand for

  // Watch the fixed range's tty for any open while the request runs.
  const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(watch, 0);
  const bool watched = ::inotify_add_watch(watch, "/dev/ttyS0", IN_OPEN) >= 0;
  const auto reply = link::RequestStatus(link);
  EXPECT_EQ(reply.result, link::LinkResult::NoAnswer);
  EXPECT_FALSE(link.CheckPort());
  EXPECT_EQ(link::SerialTransport::PortPath(link.settings()), (std::filesystem::path(PortsDirectory()) / "COM1").string());
  if (watched) {
    char events[256];
    EXPECT_LT(::read(watch, events, sizeof events), 0) << "/dev/ttyS0 was opened";
  }
  ::close(watch);
}

}  // namespace
}  // namespace tarnis
