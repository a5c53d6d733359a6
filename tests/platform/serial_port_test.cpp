// The serial layer on a bare pseudo-terminal: time-outs, exclusivity, kept settings, port names.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <termios.h>
#include <thread>
#include <unistd.h>

#include "platform/port_names.h"
#include "platform/serial_port.h"

namespace tarnis {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// A pseudo-terminal whose master plays the device; a slave stays open as the emulator keeps it.
class Line {
 public:
  Line() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    char name[128];
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 || ::ptsname_r(master_, name, sizeof name) != 0)
      ADD_FAILURE() << "no pseudo-terminal";
    path_ = name;
    keeper_ = ::open(name, O_RDWR | O_NOCTTY);
    termios raw{};
    ::tcgetattr(keeper_, &raw);
    ::cfmakeraw(&raw);
    ::cfsetspeed(&raw, B9600);
    ::tcsetattr(keeper_, TCSANOW, &raw);
  }
  ~Line() {
    ::close(keeper_);
    ::close(master_);
  }
  const std::string& path() const { return path_; }
  void Send(std::vector<std::uint8_t> bytes) { ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size())); }
  speed_t Speed() const {
    const termios now = Settings();
    return ::cfgetospeed(&now);
  }
  termios Settings() const {
    termios now{};
    ::tcgetattr(keeper_, &now);
    return now;
  }
  // What a terminal program set to hardware handshake, 7E2 and line editing leaves behind.
  void LeaveSettingsOfAnotherProgram() {
    termios left = Settings();
    left.c_cflag = (left.c_cflag & ~(CSIZE | CLOCAL)) | CS7 | PARENB | CSTOPB | CRTSCTS | HUPCL;
    left.c_iflag |= IXON | IXOFF | IXANY | ICRNL | INPCK;
    left.c_lflag |= ICANON | ECHO | ISIG;
    left.c_oflag |= OPOST | ONLCR;
    ::tcsetattr(keeper_, TCSANOW, &left);
  }

 private:
  int master_ = -1;
  int keeper_ = -1;
  std::string path_;
};

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

TEST(SerialPort, DeviceThatStopsAfterThreeBytesEndsTheReadOneGapLater) {
  Line line;
  SerialPort port;
  ASSERT_TRUE(port.Open(line.path()));
  ASSERT_TRUE(port.Configure(115200));
  Clock::time_point third_byte;
  std::thread device([&] {
    // Gaps shorter than the inter-byte time-out keep the read going.
    line.Send({0x18});
    std::this_thread::sleep_for(milliseconds(60));
    line.Send({0x50});
    std::this_thread::sleep_for(milliseconds(60));
    third_byte = Clock::now();
    line.Send({0x24});
  });
  std::vector<std::uint8_t> answer(36);
  const std::size_t received = port.Read(answer, {100, 3000});
  const double after_third = MillisecondsSince(third_byte);
  device.join();
  EXPECT_EQ(received, 3u);
  EXPECT_EQ(answer[2], 0x24);
  EXPECT_GE(after_third, 95);
  EXPECT_LT(after_third, 1500);  // far below the total time-out
}

TEST(SerialPort, SilenceLastsTheTotalTimeOutAndAWholeAnswerEndsAtOnce) {
  Line line;
  SerialPort port;
  ASSERT_TRUE(port.Open(line.path()));
  ASSERT_TRUE(port.Configure(115200));
  std::vector<std::uint8_t> answer(7);
  auto start = Clock::now();
  EXPECT_EQ(port.Read(answer, {50, 200}), 0u);
  EXPECT_GE(MillisecondsSince(start), 195);

  line.Send({1, 2, 3, 4, 5, 6, 7, 8, 9});
  start = Clock::now();
  EXPECT_EQ(port.Read(answer, {2000, 5000}), 7u);
  EXPECT_LT(MillisecondsSince(start), 1500);  // no waiting for a gap once the count is there
}

TEST(SerialPort, OpenIsExclusiveAndCloseRestoresTheLine) {
  Line line;
  line.LeaveSettingsOfAnotherProgram();
  const termios before = line.Settings();
  {
    SerialPort first;
    ASSERT_TRUE(first.Open(line.path()));
    SerialPort second;
    EXPECT_FALSE(second.Open(line.path()));
    EXPECT_FALSE(first.Configure(1200));  // not a speed of the settings dialog
    ASSERT_TRUE(first.Configure(57600));
    EXPECT_EQ(line.Speed(), B57600);
    // The whole line is set, whatever was left: a UART holds every byte while CRTSCTS waits for CTS.
    const termios set = line.Settings();
    EXPECT_EQ(set.c_cflag & (CSIZE | PARENB | CSTOPB | CRTSCTS | CLOCAL | CREAD), CS8 | CLOCAL | CREAD);
    EXPECT_EQ(set.c_iflag & (IXON | IXOFF | IXANY | ICRNL | INPCK | ISTRIP), 0u);
    EXPECT_EQ(set.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(set.c_oflag & OPOST, 0u);
  }
  const termios after = line.Settings();
  EXPECT_EQ(line.Speed(), B9600);
  EXPECT_EQ(after.c_cflag, before.c_cflag);
  EXPECT_EQ(after.c_iflag, before.c_iflag);
  EXPECT_EQ(after.c_lflag, before.c_lflag);
  EXPECT_EQ(after.c_oflag, before.c_oflag);
  SerialPort again;
  EXPECT_TRUE(again.Open(line.path()));
  EXPECT_FALSE(SerialPort().Open(line.path() + "-missing"));
}

TEST(SerialPort, BytesThatArrivedBeforeTheExchangeAreDiscarded) {
  Line line;
  line.Send({0x18, 0x55, 0x1F});  // the late rest of an earlier answer
  std::this_thread::sleep_for(milliseconds(20));
  SerialPort port;
  ASSERT_TRUE(port.Open(line.path()));
  ASSERT_TRUE(port.Configure(115200));
  std::vector<std::uint8_t> answer(3);
  EXPECT_EQ(port.Read(answer, {20, 100}), 0u);
}

TEST(PortNames, ComNamesAndFixedRanges) {
  EXPECT_EQ(PortNumber("COM1"), 1);
  EXPECT_EQ(PortNumber("COM100"), 100);
  for (const char* bad : {"COM0", "COM01", "COM101", "com1", "COM", "COM1 ", "LPT1", "COM-1"})
    EXPECT_FALSE(PortNumber(bad)) << bad;

  const auto dir = std::filesystem::temp_directory_path() / ("tarnis-names-" + std::to_string(::getpid()));
  ::setenv("TARNIS_PORTS_DIR", dir.c_str(), 1);
  EXPECT_EQ(PortsDirectory(), dir.string());
  EXPECT_EQ(ResolvePortName("COM1"), "/dev/ttyS0");
  EXPECT_EQ(ResolvePortName("COM32"), "/dev/ttyS31");
  EXPECT_EQ(ResolvePortName("COM33"), "/dev/ttyUSB0");
  EXPECT_EQ(ResolvePortName("COM64"), "/dev/ttyUSB31");
  EXPECT_EQ(ResolvePortName("COM65"), "/dev/ttyACM0");
  EXPECT_EQ(ResolvePortName("COM96"), "/dev/ttyACM31");
  EXPECT_FALSE(ResolvePortName("COM97"));
  EXPECT_FALSE(ResolvePortName("COM12x"));

  // The ports directory comes first; only the owner of an entry removes it.
  ASSERT_TRUE(RegisterPort("COM97", "/dev/pts/999"));
  EXPECT_EQ(ResolvePortName("COM97"), (dir / "COM97").string());
  EXPECT_EQ(DescribePort("COM97").path, "/dev/pts/999");
  EXPECT_FALSE(DescribePort("COM97").exists);
  ASSERT_TRUE(RegisterPort("COM97", "/dev/pts/998"));
  EXPECT_FALSE(UnregisterPort("COM97", "/dev/pts/999"));
  EXPECT_TRUE(UnregisterPort("COM97", "/dev/pts/998"));
  EXPECT_FALSE(ResolvePortName("COM97"));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tarnis
