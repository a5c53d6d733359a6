// Answer validation and request payloads, byte for byte, through a scripted transport.
#include <gtest/gtest.h>

#include "fake_transport.h"
#include "link/commands.h"
#include "link/device_charset.h"

namespace tarnis::link {
namespace {

// End byte and checksum, as the device sends them.
void Seal(std::vector<std::uint8_t>& frame) {
  const std::size_t end = frame.size() - 3;
  frame[end] = kEndByte;
  PutLittleEndian(frame, end + 1, FrameChecksum(std::span(frame).first(end + 1)), 2);
}

std::vector<std::uint8_t> AnswerFrame(Command command, std::uint8_t error = 0) {
  std::vector<std::uint8_t> frame(AnswerSize(command), 0);
  frame[0] = kAnswerStart;
  frame[1] = AnswerCode(command);
  frame[2] = static_cast<std::uint8_t>(frame.size());
  frame[3] = error;
  Seal(frame);
  return frame;
}

struct LinkOnFake {
  test::FakeTransport transport;
  Link link{transport};
  LinkOnFake() { link.settings().factory_number = "1"; }
  const std::vector<std::uint8_t>& sent() const { return transport.requests.back(); }
};

TEST(LinkValidation, OrderOfTheChecks) {
  LinkOnFake f;
  f.transport.answer = {};
  auto reply = ExchangeParameter(f.link, Mode::Read, 0, 1, 1);
  EXPECT_EQ(reply.result, LinkResult::NoAnswer);
  EXPECT_FALSE(reply.attribute);

  f.transport.answer = AnswerFrame(Command::Parameter);
  f.transport.answer.pop_back();  // 35 bytes under a length byte of 36
  EXPECT_EQ(ExchangeParameter(f.link, Mode::Read, 0, 1, 1).result, LinkResult::BadStart);

  f.transport.answer = AnswerFrame(Command::Parameter);
  f.transport.answer[0] = 0x17;
  EXPECT_EQ(ExchangeParameter(f.link, Mode::Read, 0, 1, 1).result, LinkResult::BadStart);

  f.transport.answer = AnswerFrame(Command::Goods);  // another command's answer, right length for it
  f.transport.answer[2] = 36;
  f.transport.answer.resize(36);
  reply = ExchangeParameter(f.link, Mode::Read, 0, 1, 1);
  EXPECT_EQ(reply.result, LinkResult::BadCode);
  EXPECT_FALSE(reply.attribute);

  f.transport.answer = AnswerFrame(Command::Parameter, 0x23);
  f.transport.answer[6] = 0;
  Seal(f.transport.answer);
  reply = ExchangeParameter(f.link, Mode::Write, 0, 1, 1, "0a");
  EXPECT_EQ(reply.result, LinkResult::DeviceError);
  EXPECT_EQ(reply.error_code, 0x23);
  EXPECT_EQ(reply.message, " Нет бумаги.");
  EXPECT_EQ(reply.attribute, 0);
  // The same error answer with a broken end byte or checksum reports no attribute.
  for (const std::size_t broken : {std::size_t{33}, std::size_t{35}}) {
    f.transport.answer[broken] ^= 0x40;
    reply = ExchangeParameter(f.link, Mode::Write, 0, 1, 1, "0a");
    EXPECT_EQ(reply.result, LinkResult::DeviceError) << broken;
    EXPECT_FALSE(reply.attribute) << broken;
    f.transport.answer[broken] ^= 0x40;
  }

  // A consistent frame that is too short to hold the fields is not decoded, and carries no
  // attribute even where its offset 6 arrived.
  f.transport.answer = {0x18, 0x50, 0x07, 0x00, 0x19, 0x88, 0x00};
  EXPECT_EQ(ExchangeParameter(f.link, Mode::Read, 0, 1, 1).result, LinkResult::BadStart);
  f.transport.answer = {0x18, 0x50, 0x07, 0x34, 0x19, 0x88, 0x42};
  reply = ExchangeParameter(f.link, Mode::Read, 0, 1, 1);
  EXPECT_EQ(reply.result, LinkResult::DeviceError);
  EXPECT_FALSE(reply.attribute);
}

TEST(LinkValidation, StatusAnswerLengthByte) {
  LinkOnFake f;
  f.transport.answer = AnswerFrame(Command::Status);
  f.transport.answer[2] = 0;
  f.transport.answer[22] = 0x0C;  // INN low byte
  auto status = RequestStatus(f.link);
  EXPECT_EQ(status.result, LinkResult::Ok);
  EXPECT_EQ(status.message, "");
  EXPECT_EQ(status.fields.inn, 12u);
  // Cut after three bytes: nothing to decode, whatever the length byte says.
  f.transport.answer.resize(3);
  EXPECT_EQ(RequestStatus(f.link).result, LinkResult::BadStart);
  f.transport.answer = AnswerFrame(Command::Status);
  f.transport.answer.resize(30);
  EXPECT_EQ(RequestStatus(f.link).result, LinkResult::BadStart);
}

TEST(LinkValidation, StatusFieldsAndTwelveDigitInn) {
  LinkOnFake f;
  auto answer = AnswerFrame(Command::Status);
  const std::uint8_t fields[] = {0x12, 1, 3, 2, 0x34, 0x12, 1, 7, 3, 26, 9, 5, 0x78, 0x56, 0x34, 0x12};
  std::copy(std::begin(fields), std::end(fields), answer.begin() + 4);
  PutLittleEndian(answer, 22, 999'999'999'999, 6);
  f.transport.answer = answer;
  const auto status = RequestStatus(f.link);
  ASSERT_TRUE(status.ok());
  EXPECT_EQ(status.fields.mode, 0x12);
  EXPECT_EQ(status.fields.flash, 1);
  EXPECT_EQ(status.fields.group, 3);
  EXPECT_EQ(status.fields.battery, 2);
  EXPECT_EQ(status.fields.document_number, 0x1234);
  EXPECT_EQ(status.fields.document_state, 1);
  EXPECT_EQ(status.fields.day, 7);
  EXPECT_EQ(status.fields.month, 3);
  EXPECT_EQ(status.fields.year, 26);
  EXPECT_EQ(status.fields.hours, 9);
  EXPECT_EQ(status.fields.minutes, 5);
  EXPECT_EQ(status.fields.factory_number, 0x12345678u);
  EXPECT_EQ(status.fields.inn, 999'999'999'999u);
}

TEST(LinkRequests, PayloadsOnTheWire) {
  LinkOnFake f;
  f.link.settings().factory_number = "0";
  f.transport.answer = AnswerFrame(Command::Status);
  RequestStatus(f.link);
  EXPECT_EQ(f.sent(), (std::vector<std::uint8_t>{0x17, 0x02, 0, 0, 0, 0, 0x75, 0x0B, 0x19, 0xB2, 0x00}));

  f.link.settings().factory_number = "-2";
  ExchangeParameter(f.link, Mode::Write, 0, 3, 2, "1iwanow");
  auto sent = f.sent();
  ASSERT_EQ(sent.size(), 40u);
  EXPECT_EQ(GetLittleEndian(sent, 2, 4), 0xFFFFFFFEu);
  EXPECT_EQ(std::vector<std::uint8_t>(sent.begin() + 8, sent.begin() + 12), (std::vector<std::uint8_t>{0, 0, 3, 2}));
  EXPECT_EQ(std::string(sent.begin() + 12, sent.begin() + 19), "1iwanow");
  EXPECT_EQ(std::count(sent.begin() + 19, sent.begin() + 37, 0), 18);
  EXPECT_EQ(sent[37], 0x19);
  EXPECT_EQ(GetLittleEndian(sent, 38, 2), FrameChecksum(std::span(sent).first(38)));

  ExchangeParameter(f.link, Mode::Write, 0, 1, 1, "1abcdefghijklmn");  // wide: 12 characters
  EXPECT_EQ(std::string(f.sent().begin() + 12, f.sent().begin() + 37), std::string("1abcdefghijkl") + std::string(12, '\0'));
  const std::string narrow = "0" + std::string(24, 'x');
  ExchangeParameter(f.link, Mode::Write, 0, 1, 1, narrow + "overflow");  // 25 bytes, no terminator
  EXPECT_EQ(std::string(f.sent().begin() + 12, f.sent().begin() + 37), narrow);
  EXPECT_EQ(f.sent()[37], 0x19);

  f.transport.answer = AnswerFrame(Command::Goods);
  ExchangeGoods(f.link, Mode::Write, 1000, {"1a", "1000", 9, 0x0102030405});
  sent = f.sent();
  EXPECT_EQ(GetLittleEndian(sent, 9, 2), 1000u);
  EXPECT_EQ(std::vector<std::uint8_t>(sent.begin() + 36, sent.begin() + 42), (std::vector<std::uint8_t>{0xE8, 0x03, 0, 0, 0, 0}));
  EXPECT_EQ(GetLittleEndian(sent, 42, 5), 0x0102030405u);
  EXPECT_EQ(sent[47], 9);
  ExchangeGoods(f.link, Mode::Write, 1, {"1a", "10O0", 9, 1});
  EXPECT_EQ(GetLittleEndian(f.sent(), 36, 6), 0u);  // a barcode with a letter goes as zero

  f.transport.answer = AnswerFrame(Command::Inn);
  ProgramInn(f.link, {12345, 99, 12, 31, 3, "  999999999999xyz"});
  sent = f.sent();
  ASSERT_EQ(sent.size(), 25u);
  EXPECT_EQ(GetLittleEndian(sent, 8, 4), 12345u);
  EXPECT_EQ(std::vector<std::uint8_t>(sent.begin() + 12, sent.begin() + 16), (std::vector<std::uint8_t>{31, 12, 99, 3}));
  EXPECT_EQ(GetLittleEndian(sent, 16, 6), 999'999'999'999u);
  EXPECT_EQ(InnNumber(""), 0);
}

TEST(LinkRequests, BlankWriteKeepsTheCallersFields) {
  LinkOnFake f;
  f.transport.answer = AnswerFrame(Command::Blank);
  f.transport.answer[4] = 7;
  auto reply = ExchangeBlank(f.link, Mode::Write, {2, 3, 4, 1});
  ASSERT_TRUE(reply.ok());
  EXPECT_EQ(reply.fields.number, 2);
  EXPECT_EQ(reply.fields.variant, 3);
  EXPECT_EQ(std::vector<std::uint8_t>(f.sent().begin() + 8, f.sent().begin() + 13), (std::vector<std::uint8_t>{0, 2, 3, 4, 1}));
  reply = ExchangeBlank(f.link, Mode::Read, {2, 3, 4, 1});
  EXPECT_EQ(reply.fields.number, 7);
  EXPECT_EQ(reply.fields.variant, 0);
}

TEST(LinkSettingsText, FactoryNumberAndTimeOuts) {
  EXPECT_EQ(ParseFactoryNumber("0"), 0);
  EXPECT_EQ(ParseFactoryNumber("+15"), 15);
  EXPECT_EQ(ParseFactoryNumber("-2147483648"), INT32_MIN);
  EXPECT_EQ(ParseFactoryNumber("000000000000042"), 42);  // 15 characters
  for (const char* bad : {"", "2147483648", "1 ", " 1", "0x10", "+-1", "+", "-", "0000000000000042", "1e3"})
    EXPECT_FALSE(ParseFactoryNumber(bad)) << bad;
  EXPECT_EQ(ParseTimeoutMs("250"), 250);
  for (const char* bad : {"0", "-5", "600001", "25o", ""}) EXPECT_FALSE(ParseTimeoutMs(bad)) << bad;
  EXPECT_EQ(ParseInterByteTimeoutMs("0"), 0);  // no limit on the gap
  EXPECT_EQ(ParseInterByteTimeoutMs("600000"), 600000);
  for (const char* bad : {"-1", "600001", "25o", "", " 0"}) EXPECT_FALSE(ParseInterByteTimeoutMs(bad)) << bad;

  LinkOnFake f;
  f.link.settings().factory_number = "99999999999";
  const auto status = RequestStatus(f.link);
  EXPECT_EQ(status.result, LinkResult::BadSettings);
  EXPECT_EQ(status.message, kBadFactoryNumberMessage);
  EXPECT_TRUE(f.transport.requests.empty());
}

TEST(LinkTrace, ObserverSeesBothDirections) {
  LinkOnFake f;
  f.transport.answer = AnswerFrame(Command::Blank);
  std::vector<std::pair<TraceDirection, std::size_t>> seen;
  f.link.SetTraceObserver([&](TraceDirection direction, std::span<const std::uint8_t> bytes) {
    seen.emplace_back(direction, bytes.size());
  });
  ExchangeBlank(f.link, Mode::Read, {1, 0, 0, 0});
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0], std::make_pair(TraceDirection::Sent, std::size_t{16}));
  EXPECT_EQ(seen[1], std::make_pair(TraceDirection::Received, std::size_t{11}));

  // Silence still ends the exchange for the observer, with no bytes.
  f.transport.answer = {};
  ExchangeBlank(f.link, Mode::Read, {1, 0, 0, 0});
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[3], std::make_pair(TraceDirection::Received, std::size_t{0}));
}

}  // namespace
}  // namespace tarnis::link
