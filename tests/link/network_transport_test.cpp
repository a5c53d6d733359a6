// Network serial ports: the URLs, the telnet codec, connect failures, and whole transfers through
// a real ser2net to the emulator, raw and with the COM port option.
#include "link/network_transport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "config/config_transfer.h"
#include "emulated_device.h"
#include "goods/goods_transfer.h"
#include "link/commands.h"
#include "platform/telnet_codec.h"
#include "recording_user_interface.h"
#include "ser2net_process.h"

namespace tarnis::link {
namespace {

using emulator::Km07Device;
using Bytes = std::vector<std::uint8_t>;

TEST(NetworkPortUrlTest, ReadsProtocolHostAndPortAndRefusesTheRest) {
  using P = NetworkPortAddress::Protocol;
  struct Case {
    const char* url;
    bool valid = false;
    P protocol = P::RawTcp;
    const char* host = "";
    int port = 0;
    const char* endpoint = "";
  };
  const Case cases[] = {
      {"tcp://192.168.1.20:4001", true, P::RawTcp, "192.168.1.20", 4001, "192.168.1.20:4001"},
      {"rfc2217://box.local:65535", true, P::Rfc2217, "box.local", 65535, "box.local:65535"},
      {"tcp://[::1]:1", true, P::RawTcp, "::1", 1, "[::1]:1"},
      {"tcp://::1:4001"}, {"tcp://host:0"}, {"tcp://host:65536"}, {"tcp://host:04001"},
      {"tcp://host"}, {"tcp://:4001"}, {"udp://host:4001"}, {"tcp://a b:1"},
      {"tcp://host:1x"}, {"tcp://[]:1"}, {"COM1"}, {""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    const auto address = ParseNetworkPortUrl(c.url);
    ASSERT_EQ(address.has_value(), c.valid);
    if (!c.valid) continue;
    EXPECT_EQ(address->protocol, c.protocol);
    EXPECT_EQ(address->host, c.host);
    EXPECT_EQ(address->port, c.port);
    EXPECT_EQ(address->Endpoint(), c.endpoint);
    EXPECT_EQ(ResolvePortNameIn(c.url, "/nonexistent", "/dev"), std::optional<std::string>(c.url));
  }
}

TEST(NetworkPortUrlTest, PortsDirectoryEntryPointingAtAUrlStandsForIt) {
  const std::string folder = ::testing::TempDir() + "/url-ports";
  std::filesystem::create_directories(folder);
  std::filesystem::remove(folder + "/COM5");
  std::filesystem::create_symlink("rfc2217://10.0.0.7:4001", folder + "/COM5");
  EXPECT_EQ(ResolvePortNameIn("COM5", folder, "/dev"), "rfc2217://10.0.0.7:4001");
  EXPECT_EQ(ResolvePortNameIn("COM6", folder, "/dev"), "/dev/ttyS5");
}

TEST(SecondsTextTest, WritesSecondsWithADecimalComma) {
  for (const auto& [ms, text] : std::vector<std::pair<int, std::string>>{
           {2500, "2,5"}, {1000, "1"}, {250, "0,25"}, {1, "0,001"}, {600000, "600"}})
    EXPECT_EQ(SecondsText(ms), text);
}

TEST(TelnetCodecTest, OpeningSetsTheLineAndAsksForTheSpeedLast) {
  const Bytes opening = telnet::ComPortOpening(115200);
  const Bytes tail = {255, 250, 44, 12, 1, 255, 240, 255, 250, 44, 1, 0, 1, 0xC2, 0, 255, 240};
  ASSERT_GE(opening.size(), tail.size());
  EXPECT_EQ(Bytes(opening.end() - static_cast<std::ptrdiff_t>(tail.size()), opening.end()), tail);
  const Bytes start = {255, 251, 0, 255, 253, 0, 255, 251, 3, 255, 253, 3, 255, 251, 44};
  EXPECT_EQ(Bytes(opening.begin(), opening.begin() + static_cast<std::ptrdiff_t>(start.size())), start);
  Bytes escaped;
  telnet::AppendEscaped(escaped, Bytes{1, 255, 13, 0, 255});
  EXPECT_EQ(escaped, (Bytes{1, 255, 255, 13, 0, 255, 255}));
}

TEST(TelnetCodecTest, DecoderTakesOutCommandsEvenSplitAndAnswersUnknownOptionsOnce) {
  struct Case {
    const char* name;
    std::vector<Bytes> chunks;
    Bytes data;
    Bytes replies;
    std::optional<std::uint32_t> baud;
  };
  const Case cases[] = {
      {"plain data and a doubled 255", {{0x18, 255, 255, 13, 0}}, {0x18, 255, 13, 0}, {}, {}},
      {"doubled 255 split", {{1, 255}, {255, 2}}, {1, 255, 2}, {}, {}},
      {"requests for offered options need no answer", {{255, 253, 0, 255, 251, 3, 255, 253, 44, 7}}, {7}, {}, {}},
      {"unknown options refused once", {{255, 251, 1, 255, 253, 24, 255, 251, 1}}, {}, {255, 254, 1, 255, 252, 24}, {}},
      {"speed answer split, with 255 doubled inside",
       {{255, 250, 44, 101, 0, 0}, {255, 255, 1, 255, 240, 9}}, {9}, {}, 0xFF01},
      {"other COM port answers and a NOP carry no data", {{255, 250, 44, 105, 1, 255, 240, 255, 241, 5}}, {5}, {}, {}},
      {"an overlong subnegotiation is cut, not grown", {Bytes(200, 7), {}}, Bytes(200, 7), {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    telnet::Decoder decoder;
    Bytes data, replies;
    for (const Bytes& chunk : c.chunks) decoder.Feed(chunk, data, replies);
    EXPECT_EQ(data, c.data);
    EXPECT_EQ(replies, c.replies);
    EXPECT_EQ(decoder.acknowledged_baud(), c.baud);
  }
  telnet::Decoder decoder;
  Bytes data, replies, big = {255, 250, 44};
  big.insert(big.end(), 1000, 101);
  big.insert(big.end(), {255, 240, 42});
  decoder.Feed(big, data, replies);
  EXPECT_EQ(data, Bytes{42});
  EXPECT_FALSE(decoder.acknowledged_baud());
}

LinkSettings NetworkSettings(const std::string& url, int total_ms = test::EmulatedDevice::kTotalTimeoutMs) {
  LinkSettings settings;
  settings.port_name = url;
  settings.baud_rate = 115200;
  settings.inter_byte_timeout_ms = test::EmulatedDevice::kInterByteTimeoutMs;
  settings.total_timeout_ms = total_ms;
  settings.settings_applied = true;
  return settings;
}

TEST(NetworkTransportTest, RefusedAndSilentHostsFailAsPortsThatDidNotOpenWithTheReason) {
  // A listener that never accepts, its queue filled: the next connect gets no answer at all.
  const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(listener, 0), 0);
  ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size), 0);
  const int silent_port = ntohs(address.sin_port);
  std::vector<std::unique_ptr<TcpSocket>> queued;
  for (int i = 0; i < 4; ++i) {
    queued.push_back(std::make_unique<TcpSocket>());
    queued.back()->Connect("127.0.0.1", silent_port, 50);
  }
  const int refused_port = test::Ser2netProcess::FreePort();
  struct Case {
    std::string url;
    int error;
    std::string why;
  };
  const Case cases[] = {
      {"tcp://127.0.0.1:" + std::to_string(refused_port), ECONNREFUSED,
       "соединение отклонено 127.0.0.1:" + std::to_string(refused_port)},
      {"rfc2217://127.0.0.1:" + std::to_string(silent_port), ETIMEDOUT, "нет ответа от узла за 0,15 с"},
      {"tcp://host.invalid:4001", EHOSTUNREACH, "узел не найден: host.invalid"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    NetworkTransport transport;
    std::uint8_t answer[8];
    const Bytes request = {1, 2, 3};
    const TransportResult result = transport.Exchange(NetworkSettings(c.url, 150), request, answer);
    EXPECT_FALSE(result.opened);
    EXPECT_EQ(result.open_errno, c.error);
    EXPECT_EQ(result.open_failure, c.why);
    EXPECT_FALSE(transport.CheckPort(NetworkSettings(c.url, 150)));
  }
  ::close(listener);
}

// The factory number 0x0DFF puts a 255 and a carriage return into every request, and codes
// 250-260 put 255 into the goods requests: both must cross the connection unchanged.
constexpr std::uint32_t kAwkwardFactoryNumber = 0x0DFF;

class Ser2netTest : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (test::Ser2netProcess::Program().empty()) GTEST_SKIP() << "ser2net is not installed (scripts/setup.sh installs it)";
    ser2net_ = std::make_unique<test::Ser2netProcess>(target_.server().slave_path(), rfc2217());
    ASSERT_TRUE(ser2net_->running() && ser2net_->Listening());
    network_.settings() = target_.link().settings();
    network_.settings().port_name = ser2net_->Url();
  }
  bool rfc2217() const { return GetParam(); }

  test::EmulatedDevice source_{"COM1", kAwkwardFactoryNumber};
  test::EmulatedDevice target_{"COM2", kAwkwardFactoryNumber};
  test::EmulatedDevice reference_{"COM3", kAwkwardFactoryNumber};
  std::unique_ptr<test::Ser2netProcess> ser2net_;
  SerialTransport transport_;  // a URL as the port name goes through the network transport
  Link network_{transport_};
  test::RecordingUserInterface ui_;
};

TEST_P(Ser2netTest, StatusWholeConfigurationAndGoodsCrossByteForByte) {
  const StatusReply status = RequestStatus(network_);
  ASSERT_TRUE(status.ok()) << status.message;
  EXPECT_EQ(status.fields.factory_number, kAwkwardFactoryNumber);

  source_.WithDevice([](Km07Device& d) {
    for (std::uint8_t table = 0; table < 5; ++table)
      for (std::size_t row = 1; row <= d.state().texts[table].size(); ++row)
        d.state().Text(table, static_cast<std::uint8_t>(row), 1) = "R" + std::to_string(row) + "T" + std::to_string(table);
    for (int code = 250; code <= 260; ++code)
      d.state().goods[static_cast<std::size_t>(code)] = {"1ITEM" + std::to_string(code), 4600000000000u + code,
                                                         static_cast<std::uint8_t>(code - 250), 100u * code + 5};
  });
  // The same transfers directly to a second emulator must leave both devices and both reads equal.
  config::DeviceConfiguration written, read_back, read_direct;
  for (auto* configuration : {&written, &read_back, &read_direct}) config::FillDefaults(*configuration);
  ASSERT_TRUE(config::ReadAllFromDevice(source_.link(), ui_, written));
  ASSERT_TRUE(config::WriteAllToDevice(network_, ui_, written));
  ASSERT_TRUE(config::WriteAllToDevice(reference_.link(), ui_, written));
  ASSERT_TRUE(config::ReadAllFromDevice(network_, ui_, read_back));
  ASSERT_TRUE(config::ReadAllFromDevice(reference_.link(), ui_, read_direct));
  EXPECT_EQ(std::memcmp(&read_back, &read_direct, sizeof read_back), 0);

  const auto range = goods::ChooseScope(false, true, 0, "250", "260");
  goods::GoodsTable sent, received;
  ASSERT_EQ(goods::ReadGoods(source_.link(), ui_, sent, range).outcome, goods::TransferOutcome::Done);
  ASSERT_EQ(goods::WriteGoods(network_, ui_, sent, range).outcome, goods::TransferOutcome::Done);
  ASSERT_EQ(goods::WriteGoods(reference_.link(), ui_, sent, range).outcome, goods::TransferOutcome::Done);
  ASSERT_EQ(goods::ReadGoods(network_, ui_, received, range).outcome, goods::TransferOutcome::Done);
  for (int code = 250; code <= 260; ++code) EXPECT_EQ(received.row(code), sent.row(code)) << code;
  const auto state = [](test::EmulatedDevice& device) {
    return device.WithDevice([](Km07Device& d) { return d.state(); });
  };
  EXPECT_TRUE(state(target_) == state(reference_));
  EXPECT_FALSE(state(target_) == state(source_));  // the comparison sees a difference where there is one
}

TEST_P(Ser2netTest, SpeedReachesTheFarLineOnlyThroughTheComPortOption) {
  // ser2net starts the line at 115200: raw TCP leaves it there, the COM port option sets the link's.
  struct Step {
    int line_speed;
    int baud;
    bool answers;
  };
  const Step steps[] = {{57600, 57600, rfc2217()}, {57600, 115200, false}, {115200, 57600, !rfc2217()}};
  for (const Step& step : steps) {
    SCOPED_TRACE(std::to_string(step.line_speed) + " " + std::to_string(step.baud));
    target_.WithDevice([&](Km07Device& d) { d.faults().line_speed = step.line_speed; });
    network_.settings().baud_rate = step.baud;
    EXPECT_EQ(RequestStatus(network_).ok(), step.answers);
  }
}

TEST_P(Ser2netTest, AnOperationKeepsItsConnectionAndGivesItUpWhenItEnds) {
  // ser2net serves one connection at a time, so a second client tells whether one is kept.
  SerialTransport other_transport;
  Link other{other_transport};
  other.settings() = network_.settings();
  {
    Link::Operation operation(network_);
    ASSERT_TRUE(RequestStatus(network_).ok());
    ASSERT_TRUE(RequestStatus(network_).ok());  // the same connection, its line already set
    EXPECT_FALSE(RequestStatus(other).ok());
  }
  EXPECT_TRUE(RequestStatus(other).ok());
  EXPECT_TRUE(RequestStatus(network_).ok());  // outside an operation nothing is kept
  EXPECT_TRUE(RequestStatus(other).ok());
}

TEST_P(Ser2netTest, StoppedServerFailsAtOnceAsAPortThatDidNotOpen) {
  ser2net_->Stop();
  network_.settings().total_timeout_ms = 60000;  // a refusal must not wait for the time-out
  const auto started = std::chrono::steady_clock::now();
  const Answer answer = network_.Exchange(Command::Status, {});
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30));
  EXPECT_EQ(answer.status.result, LinkResult::NoAnswer);
  EXPECT_FALSE(answer.transport.opened);
  EXPECT_EQ(answer.transport.open_failure, "соединение отклонено 127.0.0.1:" + std::to_string(ser2net_->port()));
}

INSTANTIATE_TEST_SUITE_P(RawAndRfc2217, Ser2netTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Rfc2217" : "RawTcp"; });

}  // namespace
}  // namespace tarnis::link
