// A whole goods read while the emulator program, with its memory in a state file and faults on,
// is killed with SIGKILL and started again at a random moment: every row is the device's record
// or blank, every refused answer was reported once, and the read ends with everything released.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

#include "emulator/device_state_file.h"
#include "goods/goods_transfer.h"
#include "link/device_charset.h"
#include "quiet_spawn.h"
#include "soak_support.h"

extern char** environ;

namespace tarnis::test {
namespace {

namespace fs = std::filesystem;

class EmulatorProgram {
 public:
  EmulatorProgram(fs::path ports, std::string state) : ports_(std::move(ports)), state_(std::move(state)) {}
  ~EmulatorProgram() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  // Starts it and waits until it has registered its port.
  bool Start(std::uint64_t seed) {
    pid_ = SpawnQuietly({TARNIS_EMULATOR, "--port", "COM6", "--state", state_, "--fault-rate",
                         std::to_string(SoakBench::kFaultRate), "--seed", std::to_string(seed)},
                        {1});
    for (int i = 0; pid_ > 0 && i < 500 && !fs::is_symlink(ports_ / "COM6"); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return pid_ > 0 && fs::is_symlink(ports_ / "COM6");
  }
  // SIGKILL; the stale registration goes at once, as a supervisor would remove it, so that the
  // freed pseudo-terminal number cannot lead to another program's line.
  void Kill() {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
    fs::remove(ports_ / "COM6");
  }

 private:
  fs::path ports_;
  std::string state_;
  pid_t pid_ = -1;
};

// A user who takes a moment over each "Продолжить?": while the port is gone, exchanges fail at
// once, and without the pause the read would be over before the emulator is back.
class ThoughtfulUser : public RecordingUserInterface {
 public:
  ui::Answer Message(const std::string& text, const std::string& caption, ui::Icon icon,
                     ui::Buttons buttons) override {
    if (buttons == ui::Buttons::YesNo) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return RecordingUserInterface::Message(text, caption, icon, buttons);
  }
};

// Counts the exchanges as the read makes them, and those that failed while the emulator was down.
class OutageWatchingTransport : public KeepingTransport {
 public:
  static constexpr int kOutages = 2;
  link::TransportResult Exchange(const link::LinkSettings& settings, std::span<const std::uint8_t> request,
                                 std::span<std::uint8_t> answer) override {
    const int outage_at_start = outage;
    const link::TransportResult result = KeepingTransport::Exchange(settings, request, answer);
    if (outage_at_start >= 0 && outage == outage_at_start && !AnswerIsWhole(exchanges().back()))
      ++failed_in_outage[outage_at_start];
    ++made;
    return result;
  }
  std::atomic<int> outage{-1};  // the outage under way, -1 while the emulator runs
  std::array<std::atomic<int>, kOutages> failed_in_outage{};
  std::atomic<std::size_t> made{0};
};

// Polls until done() holds or the read is over; true when done() held.
bool AwaitDuringTheRead(const std::function<bool()>& done, const std::atomic<bool>& read_done) {
  while (!done() && !read_done) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return done();
}

TEST(EmulatorKillSoak, GoodsReadWhileTheEmulatorProgramIsKilledAndStartedAgain) {
  const std::uint64_t seed = SoakSeed();
  std::mt19937_64 random(seed);
  const fs::path directory = fs::temp_directory_path() / ("tarnis-kill-soak-" + std::to_string(::getpid()));
  fs::remove_all(directory);
  fs::create_directories(directory / "ports");
  ::setenv("TARNIS_PORTS_DIR", (directory / "ports").c_str(), 1);
  const std::string state_path = (directory / "device.state").string();
  emulator::Km07Device device;
  for (emulator::GoodsSlot& slot : device.state().goods)
    slot = {link::ToDeviceText(RandomText(random)), random() % 1'000'000, static_cast<std::uint8_t>(random()),
            random() % 100'000'000};
  ASSERT_TRUE(emulator::WriteDeviceStateFile(state_path, device.state(), nullptr));

  OutageWatchingTransport transport;
  link::Link link(transport);
  link.settings() = {"COM6", 115200, 300, 700, "1", true};
  ThoughtfulUser ui;
  EmulatorProgram program(directory / "ports", state_path);
  ASSERT_TRUE(program.Start(seed));
  std::atomic<bool> read_done{false};
  // Each kill comes after a random count of the read's exchanges, and the emulator starts again only
  // once an exchange failed while it was down, so that every outage overlaps the read whatever the
  // scheduling.
  std::thread killer([&] {
    for (int kill = 0; kill < OutageWatchingTransport::kOutages; ++kill) {
      const std::size_t kill_at = 200 + 300 * kill + random() % 200;  // of 1001 records
      EXPECT_TRUE(AwaitDuringTheRead([&] { return transport.made >= kill_at; }, read_done))
          << "the read ended before the kill";
      program.Kill();
      transport.outage = kill;
      EXPECT_TRUE(AwaitDuringTheRead([&] { return transport.failed_in_outage[kill] > 0; }, read_done))
          << "no exchange failed while the emulator was down";
      std::this_thread::sleep_for(std::chrono::milliseconds(random() % 80));
      EXPECT_TRUE(program.Start(seed + 1 + kill));
      transport.outage = -1;
    }
  });
  goods::GoodsTable table;
  const goods::TransferResult result = goods::ReadGoods(link, ui, table, goods::GoodsScope{});
  read_done = true;
  killer.join();
  EXPECT_EQ(result.outcome, goods::TransferOutcome::Done);
  EXPECT_FALSE(ui.busy_cursor || ui.progress_visible || ui.wait_visible || link.busy());

  std::size_t wrong = 0, failed = 0, reported = 0;
  for (int code = 0; code < goods::kGoodsRecordCount; ++code) {
    const emulator::GoodsSlot& slot = device.state().goods[code];
    const goods::GoodsRow right =
        goods::RowFromDeviceRecord(code, {slot.name, std::to_string(slot.barcode), slot.section, slot.price});
    const bool ok = table.row(code) == right || table.row(code) == goods::RowFromDeviceRecord(code, {});
    wrong += ok ? 0 : 1;
    EXPECT_TRUE(ok) << code;
  }
  for (const auto& exchange : transport.exchanges()) failed += AnswerIsWhole(exchange) ? 0 : 1;
  for (const RecordedMessage& message : ui.messages) reported += message.icon == ui::Icon::Error ? 1 : 0;
  EXPECT_EQ(reported, failed);
  int failed_while_down = 0;
  for (const auto& count : transport.failed_in_outage) {
    EXPECT_GT(count, 0);  // the outage overlapped the read
    failed_while_down += count;
  }
  EXPECT_GE(failed, static_cast<std::size_t>(failed_while_down));
  EXPECT_LT(failed, 500u);  // the emulator came back and answered again
  // A killed emulator cannot tell its faults: every failed exchange counts as one.
  std::printf("soak kills: seed %llu, %zu exchanges, %zu faults injected, %zu failures reported, %zu wrong values\n",
              static_cast<unsigned long long>(seed), transport.exchanges().size(), failed, reported, wrong);
  std::printf("soak kills: %d exchanges failed while the emulator was down\n", failed_while_down);
  fs::remove_all(directory);
}

}  // namespace
}  // namespace tarnis::test
