// The exchange log: what it records through the trace observer, how it tells it, what it keeps.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "emulated_device.h"
#include "fake_transport.h"
#include "link/commands.h"
#include "link/exchange_log.h"
#include "link/exchange_log_file.h"

namespace tarnis::link {
namespace {

// An answer as the device seals it: end byte and checksum behind the fields.
std::vector<std::uint8_t> SealedAnswer(Command command) {
  std::vector<std::uint8_t> frame(AnswerSize(command), 0);
  frame[0] = kAnswerStart;
  frame[1] = AnswerCode(command);
  frame[2] = static_cast<std::uint8_t>(frame.size());
  const std::size_t end = frame.size() - 3;
  frame[end] = kEndByte;
  PutLittleEndian(frame, end + 1, FrameChecksum(std::span(frame).first(end + 1)), 2);
  return frame;
}

struct LoggedFake {
  test::FakeTransport transport;
  Link link{transport};
  ExchangeLog log;
  LoggedFake() {
    link.settings().port_name = "COM2";
    link.settings().baud_rate = 9600;
    link.settings().factory_number = "1";
    log.Attach(link);
  }
};

TEST(ExchangeLogTest, StatusRequestOverTheEmulatorIsOneLineWithBothFrames) {
  test::EmulatedDevice device{"COM6"};
  ExchangeLog log;
  log.Attach(device.link());
  ASSERT_TRUE(RequestStatus(device.link()).ok());
  ASSERT_EQ(log.records().size(), 1u);
  const ExchangeRecord& record = log.records().front();
  EXPECT_EQ(record.request.size(), RequestSize(Command::Status));
  EXPECT_EQ(record.answer.size(), AnswerSize(Command::Status));
  const std::string line = FormatExchange(record);
  EXPECT_NE(line.find("  COM6 115200  запрос состояния  успешно  "), std::string::npos) << line;
  EXPECT_TRUE(line.ends_with(" мс  > " + HexBytes(record.request) + "  < " + HexBytes(record.answer))) << line;
  EXPECT_EQ(line.find(kTrailerMismatchNote), std::string::npos) << "the emulator seals its answers as we do";
  // Time of day with milliseconds: "YYYY-MM-DD HH:MM:SS.mmm".
  ASSERT_GT(line.size(), 23u);
  EXPECT_EQ(line[19], '.');
  EXPECT_EQ(line.substr(23, 2), "  ");
}

TEST(ExchangeLogTest, ForeignTrailerIsNotedButTheAnswerIsStillAccepted) {
  LoggedFake f;
  f.transport.answer = SealedAnswer(Command::Blank);
  EXPECT_TRUE(ExchangeBlank(f.link, Mode::Read, {3, 0, 0, 0}).ok());
  EXPECT_EQ(FormatExchange(f.log.records().back()).find(kTrailerMismatchNote), std::string::npos);

  f.transport.answer.back() ^= 0x01;  // checksum off by one
  EXPECT_TRUE(ExchangeBlank(f.link, Mode::Read, {3, 0, 0, 0}).ok());
  f.transport.answer = SealedAnswer(Command::Blank);
  f.transport.answer[f.transport.answer.size() - 3] = 0x00;  // end byte missing
  EXPECT_TRUE(ExchangeBlank(f.link, Mode::Read, {3, 0, 0, 0}).ok());
  ASSERT_EQ(f.log.records().size(), 3u);
  for (std::size_t i = 1; i < 3; ++i) {
    const std::string line = FormatExchange(f.log.records()[i]);
    EXPECT_NE(line.find(std::string("чтение бланка 3") ), std::string::npos) << line;
    EXPECT_NE(line.find(std::string("успешно (") + kTrailerMismatchNote + ")"), std::string::npos) << line;
  }
}

TEST(ExchangeLogTest, FailuresAndCommandsAreToldInWords) {
  LoggedFake f;
  f.transport.answer = {};
  ExchangeParameter(f.link, Mode::Write, 0, 5, 2, "0X");
  std::string line = FormatExchange(f.log.records().back());
  EXPECT_NE(line.find("  COM2 9600  запись параметра 0.5.2  Нет ответа или не удалось открыть порт.  "),
            std::string::npos)
      << line;
  EXPECT_NE(line.find(" мс  > 17 02 01 00 00 00 70 "), std::string::npos) << line;
  EXPECT_TRUE(line.ends_with("  < —")) << line;

  f.transport.answer = SealedAnswer(Command::Goods);
  f.transport.answer[3] = 59;
  ExchangeGoods(f.link, Mode::Read, 17, {});
  line = FormatExchange(f.log.records().back());
  EXPECT_NE(line.find("чтение товара 17"), std::string::npos) << line;
  EXPECT_NE(line.find("ошибка КМ 59:"), std::string::npos) << line;

  f.transport.answer = SealedAnswer(Command::Status);
  f.transport.answer.resize(10);  // cut short: the trailer is not there to check
  RequestStatus(f.link);
  line = FormatExchange(f.log.records().back());
  EXPECT_NE(line.find("запрос состояния"), std::string::npos);
  EXPECT_EQ(line.find(kTrailerMismatchNote), std::string::npos) << line;

  // A line lost in the middle keeps the check's own words; the log adds what happened and how much came.
  f.link.SetFailureExplainer([](const LinkSettings& settings, const TransportResult& outcome) {
    return outcome.opened ? std::string("Broken pipe") : settings.port_name + " errno " + std::to_string(outcome.open_errno);
  });
  f.transport.line_lost = true;
  EXPECT_EQ(RequestStatus(f.link).message, "Неккоректный ответ - первый байт не STX_SLAVE.\n" + std::string("Broken pipe"));
  line = FormatExchange(f.log.records().back());
  EXPECT_NE(line.find("первый байт не STX_SLAVE. (линия потеряна, получено 10 байт)  "), std::string::npos) << line;

  // A port that did not open is no silent device: the reason is the message's second line and the log's words.
  f.transport.line_lost = false;
  f.transport.port_opens = false;
  f.transport.open_errno = EACCES;
  const StatusReply refused = RequestStatus(f.link);
  EXPECT_EQ(refused.result, LinkResult::NoAnswer);
  EXPECT_EQ(refused.message, "Нет ответа или не удалось открыть порт.\nCOM2 errno 13");
  EXPECT_FALSE(f.link.last_transport().opened);
  line = FormatExchange(f.log.records().back());
  EXPECT_NE(line.find("  запрос состояния  порт не открылся: COM2 errno 13  "), std::string::npos) << line;
  f.link.SetFailureExplainer({});  // without one, and no words from the transport: the text alone
  EXPECT_EQ(RequestStatus(f.link).message, "Нет ответа или не удалось открыть порт.");
  EXPECT_NE(FormatExchange(f.log.records().back()).find("  запрос состояния  порт не открылся  "), std::string::npos);
  f.transport.port_opens = true;
  f.transport.answer = SealedAnswer(Command::Status);
  f.transport.answer[3] = 55;
  f.transport.line_lost = true;  // the device's refusal says it all
  EXPECT_EQ(RequestStatus(f.link).message, " Не совпал заводской номер.");

  // Refused before sending: no exchange, nothing logged.
  f.link.settings().factory_number = "x";
  RequestStatus(f.link);
  EXPECT_EQ(f.log.records().size(), 7u);
  EXPECT_EQ(DescribeRequest(std::vector<std::uint8_t>{0x17, 0x02, 0, 0, 0, 0, 0x42, 11}), "команда 0x42");
}

TEST(ExchangeLogTest, KeepsTheLastTenThousandAndTellsEachToItsListener) {
  LoggedFake f;
  f.transport.answer = SealedAnswer(Command::Goods);
  int told = 0;
  f.log.SetListener([&told](const ExchangeRecord&) { ++told; });
  for (int i = 0; i <= 10000; ++i) ExchangeGoods(f.link, Mode::Read, static_cast<std::uint16_t>(i % 1001), {});
  EXPECT_EQ(told, 10001);
  ASSERT_EQ(f.log.records().size(), ExchangeLog::kCapacity);
  // The very first exchange (record 0) is the one that went.
  EXPECT_NE(FormatExchange(f.log.records().front()).find("чтение товара 1  успешно"), std::string::npos);
  EXPECT_NE(FormatExchange(f.log.records().back()).find("чтение товара 991  успешно"), std::string::npos);
  // A note takes a place in the ring like an exchange; the exchange that later reuses its place
  // is told as an exchange again.
  f.link.Note("Прочитано с ошибками: не прочитано 1 из 2.");
  EXPECT_EQ(told, 10002);
  const std::string note = FormatExchange(f.log.records().back());
  EXPECT_TRUE(note.ends_with("  COM2 9600  Прочитано с ошибками: не прочитано 1 из 2.")) << note;
  for (int i = 0; i <= 10000; ++i) ExchangeGoods(f.link, Mode::Read, 5, {});
  EXPECT_NE(FormatExchange(f.log.records().back()).find("чтение товара 5  успешно"), std::string::npos);
  f.log.Clear();
  EXPECT_TRUE(f.log.records().empty());
}

TEST(ExchangeLogTest, LogFileAppendsEveryExchangeAsItCompletes) {
  const auto path = std::filesystem::temp_directory_path() / "tarnis-exchange-log-test.log";
  std::filesystem::remove(path);
  { std::ofstream(path) << "earlier line\n"; }
  LoggedFake f;
  ExchangeLogFile file;
  std::string error;
  ASSERT_TRUE(file.Open(path.string(), &error)) << error;
  f.log.SetListener([&file](const ExchangeRecord& record) { file.Append(record); });
  f.transport.answer = SealedAnswer(Command::Status);
  RequestStatus(f.link);
  RequestStatus(f.link);
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  const std::string expected =
      "earlier line\n" + FormatExchange(f.log.records()[0]) + "\n" + FormatExchange(f.log.records()[1]) + "\n";
  EXPECT_EQ(text.str(), expected);
  std::filesystem::remove(path);

  ExchangeLogFile missing;
  EXPECT_FALSE(missing.Open("/nonexistent-dir/x.log", &error));
  EXPECT_EQ(error, "/nonexistent-dir/x.log: No such file or directory");
}

}  // namespace
}  // namespace tarnis::link
