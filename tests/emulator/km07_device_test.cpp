// The device state machine fed with raw frames, including frames the link never builds.
#include <gtest/gtest.h>

#include <array>
#include <random>

#include "emulator/km07_device.h"
#include "link/device_charset.h"
#include "link/device_errors.h"
#include "platform/cp1251_codec.h"

namespace tarnis::emulator {
namespace {

using link::Command;

std::vector<std::uint8_t> Request(Command command, std::vector<std::uint8_t> payload, std::int32_t factory = 1) {
  payload.resize(link::RequestPayloadSize(command));
  return link::BuildRequest(command, factory, payload);
}

std::vector<std::uint8_t> Parameter(std::uint8_t mode, std::uint8_t table, std::uint8_t row, std::uint8_t field,
                                    const std::string& text = {}) {
  std::vector<std::uint8_t> payload{mode, table, row, field};
  payload.insert(payload.end(), text.begin(), text.end());
  return Request(Command::Parameter, payload);
}

std::vector<std::uint8_t> Goods(std::uint8_t mode, std::uint16_t record, std::uint64_t price) {
  std::vector<std::uint8_t> payload(40, 0);
  payload[0] = mode;
  link::PutLittleEndian(payload, 1, record, 2);
  payload[3] = 'a';
  link::PutLittleEndian(payload, 34, price, 5);
  return Request(Command::Goods, payload);
}

std::vector<std::uint8_t> Inn(std::uint8_t day, std::uint8_t month, std::uint8_t year, std::uint8_t group,
                              std::uint64_t inn, std::uint32_t password = 0) {
  std::vector<std::uint8_t> payload(14, 0);
  link::PutLittleEndian(payload, 0, password, 4);
  payload[4] = day;
  payload[5] = month;
  payload[6] = year;
  payload[7] = group;
  link::PutLittleEndian(payload, 8, inn, 6);
  return Request(Command::Inn, payload);
}

std::string TextAt(const std::vector<std::uint8_t>& answer, std::size_t offset) {
  std::string text;
  for (std::size_t i = offset; i < offset + 25 && answer[i] != 0; ++i) text += static_cast<char>(answer[i]);
  return text;
}

std::string Device(std::string_view utf8) { return link::ToDeviceText(Utf8ToCp1251Lossy(utf8)); }

TEST(Km07Device, DefaultTextsAreTheProgramsDefaultsInTheDeviceCharset) {
  Km07Device device;
  const auto& state = device.state();
  EXPECT_EQ(state.Text(0, 32, 1), Device("0ОПЕРАТОР 32"));
  EXPECT_EQ(state.Text(0, 32, 2), Device("0ФАМИЛИЯ 32"));
  EXPECT_EQ(state.Text(0, 7, 3), "7");
  EXPECT_EQ(state.Text(1, 1, 1), Device("0СТРОКА ДСО"));
  EXPECT_EQ(state.Text(2, 99, 2), Device("0УСЛУГА 99 - СТРОКА 2"));
  EXPECT_EQ(state.Text(3, 8, 3), Device("0ДОП. РЕК 8 - СТРОКА 3"));
  EXPECT_EQ(state.Text(4, 2, 1), Device("0СТРОКА КЛИШЕ 0"));
  EXPECT_EQ(state.Text(4, 2, 8), Device("0СТРОКА КЛИШЕ 7"));
  EXPECT_EQ(state.goods.size(), kGoodsRecords);
  EXPECT_EQ(state.enabled[2].size(), 99u);
}

TEST(Km07Device, RequestLengthComesFromTheHeader) {
  const auto frame = Request(Command::Goods, {});
  EXPECT_FALSE(Km07Device::RequestLength(std::span(frame).first(7)));
  EXPECT_EQ(Km07Device::RequestLength(std::span(frame).first(8)), 51u);
  std::vector<std::uint8_t> junk(8, 0xFF);  // 255 is no frame length: the header alone is answered
  EXPECT_EQ(Km07Device::RequestLength(junk), 8u);
  junk[7] = 3;
  EXPECT_EQ(Km07Device::RequestLength(junk), 8u);
}

TEST(Km07Device, FramingErrorsAnswerFullLengthFramesWithTheirCodes) {
  Km07Device device;
  auto bad_sum = Parameter(1, 0, 1, 1);
  bad_sum.back() ^= 1;
  auto answer = device.Answer(bad_sum);
  ASSERT_EQ(answer.size(), 36u);
  EXPECT_EQ(answer[1], 0x50);
  EXPECT_EQ(answer[2], 36);
  EXPECT_EQ(answer[3], link::kErrorChecksum);

  auto bad_start = Parameter(1, 0, 1, 1);
  bad_start[0] = 0x16;
  EXPECT_EQ(device.Answer(bad_start)[3], link::kErrorCommand);
  auto bad_end = Request(Command::Status, {});
  bad_end[8] = 0x18;
  EXPECT_EQ(device.Answer(bad_end)[3], link::kErrorCommand);
  auto unknown = Request(Command::Status, {});
  unknown[6] = 0x71;
  answer = device.Answer(unknown);
  ASSERT_EQ(answer.size(), 7u);
  EXPECT_EQ(answer[1], 0x51);
  EXPECT_EQ(answer[3], link::kErrorCommand);
  // The trailing bytes are an end byte and the checksum, as in requests.
  EXPECT_EQ(answer[4], link::kEndByte);
  EXPECT_EQ(link::GetLittleEndian(answer, 5, 2), link::FrameChecksum(std::span(answer).first(5)));
  EXPECT_EQ(device.total_requests_seen(), 4u);
  EXPECT_EQ(device.requests_seen(Command::Parameter), 2u);
}

TEST(Km07Device, FactoryNumberMustMatchAndBeSet) {
  Km07Device device;
  EXPECT_EQ(device.Answer(Request(Command::Status, {}, 2))[3], link::kErrorFactoryNumberMismatch);
  EXPECT_EQ(device.Answer(Request(Command::Status, {}, 1))[3], 0);
  device.state().factory_number = 0;
  EXPECT_EQ(device.Answer(Request(Command::Status, {}, 0))[3], link::kErrorFactoryNumberNotSet);
  device.state().factory_number = 0xFFFFFFFF;
  EXPECT_EQ(device.Answer(Request(Command::Status, {}, -1))[3], 0);
}

TEST(Km07Device, ParameterAnswersCarryTheEnabledByteAndRefuseLockedItems) {
  Km07Device device;
  auto answer = device.Answer(Parameter(0, 2, 5, 1, "1abw"));
  EXPECT_EQ(answer[3], 0);
  EXPECT_EQ(answer[6], 1);
  EXPECT_EQ(device.state().Text(2, 5, 1), "1abw");
  EXPECT_EQ(TextAt(device.Answer(Parameter(1, 2, 5, 1)), 8), "1abw");

  device.state().enabled[0][4] = 0;
  answer = device.Answer(Parameter(0, 0, 5, 2, "0x"));
  EXPECT_EQ(answer[3], link::kErrorRecordInUse);
  EXPECT_EQ(answer[6], 0);
  EXPECT_EQ(device.state().Text(0, 5, 2), Device("0ФАМИЛИЯ 5"));
  answer = device.Answer(Parameter(1, 0, 5, 2));  // reading a disabled item is allowed
  EXPECT_EQ(answer[3], 0);
  EXPECT_EQ(answer[6], 0);

  device.state().cliche_locked[0] = true;
  EXPECT_EQ(device.Answer(Parameter(1, 4, 1, 1))[3], link::kErrorBadParameter);
  EXPECT_EQ(device.Answer(Parameter(0, 4, 1, 1, "0a"))[3], link::kErrorBadParameter);
  EXPECT_EQ(device.Answer(Parameter(0, 4, 2, 1, "0a"))[3], 0);

  for (const auto& address : std::vector<std::array<std::uint8_t, 3>>{{5, 1, 1}, {0, 33, 1}, {0, 1, 4}, {4, 0, 1}, {1, 1, 2}})
    EXPECT_EQ(device.Answer(Parameter(1, address[0], address[1], address[2]))[3], link::kErrorBadParameter);
  EXPECT_EQ(device.Answer(Parameter(2, 0, 1, 1))[3], link::kErrorBadParameter);
}

TEST(Km07Device, PriceWiderThanItsFieldIsRefused) {
  Km07Device device;
  EXPECT_EQ(device.Answer(Goods(0, 1000, kMaxPrice))[3], 0);
  EXPECT_EQ(device.state().goods[1000].price, kMaxPrice);
  EXPECT_EQ(device.Answer(Goods(0, 1000, kMaxPrice + 1))[3], link::kErrorPriceTooWide);
  EXPECT_EQ(device.state().goods[1000].price, kMaxPrice);
  EXPECT_EQ(device.Answer(Goods(1, 1001, 0))[3], link::kErrorBadParameter);
}

TEST(Km07Device, InnSwitchesToWorkingModeOnceOnly) {
  Km07Device device;
  device.SetHostClock([] { return std::int64_t{1'700'000'000} + 13 * 3600 + 7 * 60; });
  device.state().password = 4321;
  EXPECT_EQ(device.Answer(Inn(31, 12, 99, 3, 1, 1234))[3], link::kErrorBadParameter);  // wrong password
  EXPECT_EQ(device.Answer(Inn(30, 2, 24, 3, 1, 4321))[3], link::kErrorBadParameter);   // no such date
  EXPECT_EQ(device.Answer(Inn(31, 12, 99, 4, 1, 4321))[3], link::kErrorBadParameter);  // no such group
  EXPECT_FALSE(device.state().inn_set);

  const DeviceClock before = device.Clock();
  EXPECT_EQ(device.Answer(Inn(31, 12, 99, 3, 999'999'999'999, 4321))[3], 0);
  EXPECT_TRUE(device.state().inn_set);
  EXPECT_EQ(device.state().inn, 999'999'999'999u);
  EXPECT_EQ(device.state().group, 3);
  EXPECT_EQ(device.state().mode & 0x0F, kSubmodeWorking);
  for (const auto& blank : device.state().blanks) EXPECT_FALSE(blank.held);
  const DeviceClock after = device.Clock();
  EXPECT_EQ(after.day, 31);
  EXPECT_EQ(after.month, 12);
  EXPECT_EQ(after.year, 99);
  EXPECT_EQ(after.hours, before.hours);
  EXPECT_EQ(after.minutes, before.minutes);

  EXPECT_EQ(device.Answer(Inn(1, 1, 0, 1, 5, 4321))[3], link::kErrorInnAlreadySet);
  EXPECT_EQ(device.state().inn, 999'999'999'999u);
  EXPECT_EQ(device.Answer(Parameter(0, 1, 1, 1, "0a"))[3], kErrorWorkingMode);
  EXPECT_EQ(device.Answer(Parameter(1, 1, 1, 1))[3], 0);
}

TEST(Km07Device, ForcedErrorsHitOnlyTheirAddress) {
  Km07Device device;
  device.faults().forced_errors.push_back(ForcedError{Command::Parameter, 2, 7, std::nullopt, 35});
  device.faults().forced_errors.push_back(ForcedError{Command::Goods, std::nullopt, 5, std::nullopt, 56});
  auto answer = device.Answer(Parameter(1, 2, 7, 2));
  EXPECT_EQ(answer[3], 35);
  EXPECT_EQ(answer[6], 1);
  EXPECT_EQ(device.Answer(Parameter(1, 2, 8, 2))[3], 0);
  EXPECT_EQ(device.Answer(Goods(1, 5, 0))[3], 56);
  EXPECT_EQ(device.Answer(Goods(1, 6, 0))[3], 0);
}

TEST(Km07Device, AnswerFaultsBendTheFrame) {
  Km07Device device;
  device.faults().length_byte = 99;
  device.faults().answer_code = 0x44;
  device.faults().cut_after = 5;
  const auto answer = device.Answer(Request(Command::Status, {}));
  ASSERT_EQ(answer.size(), 5u);
  EXPECT_EQ(answer[1], 0x44);
  EXPECT_EQ(answer[2], 99);
  device.faults() = Faults{};
  device.faults().silent = true;
  EXPECT_TRUE(device.Answer(Request(Command::Status, {})).empty());
  EXPECT_EQ(device.requests_seen(Command::Status), 2u);
}


// Random requests, mostly well framed so that every command's decoding is reached.
TEST(Km07Device, RandomRequestsGetWellFormedAnswers) {
  Km07Device device;
  std::mt19937 random(7);
  const Command commands[] = {Command::Parameter, Command::Blank, Command::Inn, Command::Goods, Command::Status};
  for (int round = 0; round < 40000; ++round) {
    const Command command = commands[round % 5];
    std::vector<std::uint8_t> payload(link::RequestPayloadSize(command));
    for (auto& byte : payload) byte = static_cast<std::uint8_t>(random() % (round % 3 == 0 ? 256 : 4));
    auto request = link::BuildRequest(command, 1, payload);
    if (round % 7 == 0) request[random() % request.size()] ^= static_cast<std::uint8_t>(1 + random() % 255);
    if (round % 11 == 0) request.resize(random() % (request.size() + 1));
    const auto answer = device.Answer(request);
    ASSERT_GE(answer.size(), 7u);
    EXPECT_EQ(answer[0], link::kAnswerStart);
    EXPECT_EQ(answer[2], answer.size());
    if (request.size() > 6 && request[6] == static_cast<std::uint8_t>(command)) {
      EXPECT_EQ(answer.size(), link::AnswerSize(command));
      EXPECT_EQ(answer[1], link::AnswerCode(command));
    }
  }
}

}  // namespace
}  // namespace tarnis::emulator
