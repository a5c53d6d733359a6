// tarnis-emulator as a program: registration, faults from its command line, the state file
// kept between runs, a clean end on SIGTERM.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

#include "link/commands.h"
#include "link/serial_transport.h"
#include "platform/port_names.h"
#include "run_program.h"

extern char** environ;

namespace tarnis {
namespace {

namespace fs = std::filesystem;

class EmulatorProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = fs::temp_directory_path() / ("tarnis-emulator-test-" + std::to_string(::getpid()));
    fs::remove_all(directory_);
    fs::create_directories(directory_);
    ::setenv("TARNIS_PORTS_DIR", (directory_ / "ports").c_str(), 1);
    link_.settings() = {"COM5", 115200, 50, 500, "3", true};
  }
  void TearDown() override {
    if (pid_ > 0) Stop();
    fs::remove_all(directory_);
  }

  // Starts the emulator and waits until its port is registered; its standard output goes to out.
  void Start(std::vector<std::string> arguments, const std::string& out = "/dev/null") {
    arguments.insert(arguments.begin(), TARNIS_EMULATOR);
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_EQ(posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    for (int i = 0; i < 500 && !fs::is_symlink(directory_ / "ports" / "COM5"); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_TRUE(fs::is_symlink(directory_ / "ports" / "COM5"));
  }

  int Stop() {
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  fs::path directory_;
  pid_t pid_ = -1;
  link::SerialTransport transport_;
  link::Link link_{transport_};
};

TEST_F(EmulatorProgram, KeepsItsMemoryInTheStateFileBetweenRuns) {
  const std::string state = (directory_ / "device.state").string();
  Start({"--port", "COM5", "--factory", "3", "--state", state});
  auto goods = link::ExchangeGoods(link_, link::Mode::Write, 77, {"1abw", "4600000000001", 5, 123456});
  ASSERT_TRUE(goods.ok()) << goods.message;
  ASSERT_TRUE(link::ExchangeParameter(link_, link::Mode::Write, 0, 1, 2, "1iwanow").ok());
  EXPECT_EQ(Stop(), 0);
  EXPECT_FALSE(fs::exists(fs::symlink_status(directory_ / "ports" / "COM5")));  // unregistered
  ASSERT_TRUE(fs::exists(state));
  EXPECT_FALSE(fs::exists(state + ".tmp"));

  Start({"--port", "COM5", "--state", state});  // the factory number comes from the file
  goods = link::ExchangeGoods(link_, link::Mode::Read, 77, {});
  ASSERT_TRUE(goods.ok()) << goods.message;
  EXPECT_EQ(goods.fields.name, "1abw");
  EXPECT_EQ(goods.fields.barcode, "4600000000001");
  EXPECT_EQ(goods.fields.section, 5);
  EXPECT_EQ(goods.fields.price, 123456u);
  EXPECT_EQ(link::ExchangeParameter(link_, link::Mode::Read, 0, 1, 2).text, "1iwanow");
  EXPECT_EQ(Stop(), 0);
}

TEST_F(EmulatorProgram, BrokenStateFileIsReportedAndLeftAlone) {
  const std::string state = (directory_ / "broken.state").string();
  const std::string content = "tarnis-emulator-state 1\ngoods 1001 - 0 0 0\n";
  std::ofstream(state) << content;
  const auto run = test::RunProgram(std::string(TARNIS_EMULATOR) + " --port COM5 --state " + state);
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.err.find("line 2"), std::string::npos) << run.err;
  std::ifstream in(state);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), content);
}

TEST_F(EmulatorProgram, RandomLineFaultsAreCountedAndSummedUpOnExit) {
  const std::string out = (directory_ / "out.txt").string();
  Start({"--port", "COM5", "--factory", "3", "--fault-rate", "1", "--seed", "2"}, out);
  link_.settings().inter_byte_timeout_ms = link::kDefaultInterByteTimeoutMs;
  int failed = 0;
  for (int i = 0; i < 30; ++i) failed += link::ExchangeGoods(link_, link::Mode::Read, 1, {}).ok() ? 0 : 1;
  EXPECT_EQ(Stop(), 0);
  std::ifstream in(out);
  const std::string text(std::istreambuf_iterator<char>(in), {});
  EXPECT_NE(text.find("tarnis-emulator: 30 answers, 30 faults injected: silence "), std::string::npos) << text;
  // Only the pauses, shorter than the host's default gap, leave an answer whole.
  const std::size_t pauses = text.find(", pause ");
  ASSERT_NE(pauses, std::string::npos);
  const int paused = std::stoi(text.substr(pauses + 8));
  EXPECT_GT(paused, 0);
  EXPECT_EQ(failed, 30 - paused);
}

TEST_F(EmulatorProgram, FaultsFromTheCommandLine) {
  Start({"--port", "COM5", "--factory", "3", "--error", "goods:5=59", "--disable", "0.4", "--lock-cliche", "2"});
  EXPECT_EQ(link::ExchangeGoods(link_, link::Mode::Read, 5, {}).error_code, 59);
  EXPECT_TRUE(link::ExchangeGoods(link_, link::Mode::Read, 6, {}).ok());
  const auto refused = link::ExchangeParameter(link_, link::Mode::Write, 0, 4, 1, "0a");
  EXPECT_EQ(refused.error_code, 52);
  EXPECT_EQ(refused.attribute, 0);
  EXPECT_EQ(link::ExchangeParameter(link_, link::Mode::Read, 4, 2, 1).error_code, 51);
  EXPECT_EQ(Stop(), 0);

  Start({"--port", "COM5", "--factory", "3", "--cut-after", "3"});
  EXPECT_EQ(link::RequestStatus(link_).result, link::LinkResult::BadStart);
  EXPECT_EQ(Stop(), 0);

  // Line faults on answers the fixed cut left shorter than a header: the program keeps answering.
  Start({"--port", "COM5", "--factory", "3", "--cut-after", "1", "--fault-rate", "1", "--seed", "3"});
  for (int i = 0; i < 20; ++i) EXPECT_FALSE(link::RequestStatus(link_).ok());
  EXPECT_EQ(Stop(), 0);

  for (const char* bad : {"--error goods=x", "--error frob=1", "--error parameter:5=1", "--disable 0.33", "--port COM0",
                          "--lock-cliche 3", "--baud fast", "--line-speed 1234", "--fault-rate 1.5",
                          "--fault-rate -0.1", "--fault-rate 5%", "--seed x"}) {
    const auto run = test::RunProgram(std::string(TARNIS_EMULATOR) + " " + bad);
    EXPECT_EQ(run.exit_code, 2) << bad;
    EXPECT_NE(run.err.find("tarnis-emulator: "), std::string::npos) << bad;
  }
}

}  // namespace
}  // namespace tarnis
