// Every command and every fault end to end: the link's serial transport against the emulator
// on a real pseudo-terminal.
#include <gtest/gtest.h>

#include <chrono>

#include "emulated_device.h"
#include "link/commands.h"
#include "link/device_charset.h"
#include "link/device_errors.h"
#include "link/exchange_log.h"
#include "platform/cp1251_codec.h"

namespace tarnis {
namespace {

using emulator::Km07Device;
using link::Command;
using link::LinkResult;
using link::Mode;

const Command kCommands[] = {Command::Parameter, Command::Blank, Command::Inn, Command::Goods, Command::Status};

link::CommandResult RunCommand(link::Link& link, Command command) {
  switch (command) {
    case Command::Parameter: return link::ExchangeParameter(link, Mode::Read, 0, 1, 1);
    case Command::Blank: return link::ExchangeBlank(link, Mode::Read, {1, 0, 0, 0});
    case Command::Inn: return link::ProgramInn(link, {0, 25, 3, 7, 1, "7701234567"});
    case Command::Goods: return link::ExchangeGoods(link, Mode::Read, 1, {});
    case Command::Status: return link::RequestStatus(link);
  }
  return {};
}

std::string DisplayText(std::string_view utf8) { return Utf8ToCp1251Lossy(utf8); }

TEST(EmulatorOverLink, ParametersReadAndWrite) {
  test::EmulatedDevice device;
  auto read = link::ExchangeParameter(device.link(), Mode::Read, 0, 32, 1);
  ASSERT_TRUE(read.ok()) << read.message;
  EXPECT_EQ(read.message, "");
  EXPECT_EQ(link::FromDeviceText(read.text), DisplayText("0ОПЕРАТОР 32"));
  EXPECT_EQ(read.attribute, 1);

  // The wide ИВАНОВ: the caller's conversion gives 1iwanow; the field carries it and zeros.
  const std::string wide = link::ToDeviceText(DisplayText("1ИВАНОВ"));
  EXPECT_EQ(wide, "1iwanow");
  auto write = link::ExchangeParameter(device.link(), Mode::Write, 0, 3, 2, wide);
  ASSERT_TRUE(write.ok()) << write.message;
  EXPECT_EQ(device.WithDevice([](Km07Device& km) { return km.state().Text(0, 3, 2); }), "1iwanow");
  // A wide text loses everything after its 12 characters; a narrow one keeps all 25 bytes.
  link::ExchangeParameter(device.link(), Mode::Write, 2, 1, 1, "1abcdefghijklmn");
  EXPECT_EQ(link::ExchangeParameter(device.link(), Mode::Read, 2, 1, 1).text, "1abcdefghijkl");
  const std::string narrow = "0" + std::string(24, 'z');
  link::ExchangeParameter(device.link(), Mode::Write, 2, 1, 2, narrow);
  EXPECT_EQ(link::ExchangeParameter(device.link(), Mode::Read, 2, 1, 2).text, narrow);

  device.WithDevice([](Km07Device& km) { km.state().enabled[2][9] = 0; });
  write = link::ExchangeParameter(device.link(), Mode::Write, 2, 10, 1, "0a");
  EXPECT_EQ(write.result, LinkResult::DeviceError);
  EXPECT_EQ(write.error_code, 52);
  EXPECT_EQ(write.message, " Запись используется.");
  EXPECT_EQ(write.attribute, 0);  // reported with the error too

  device.WithDevice([](Km07Device& km) { km.state().cliche_locked[0] = true; });
  read = link::ExchangeParameter(device.link(), Mode::Read, 4, 1, 1);
  EXPECT_EQ(read.error_code, 51);
  EXPECT_EQ(read.message, " Неверный параметр.");
  EXPECT_EQ(device.WithDevice([](Km07Device& km) { return km.requests_seen(Command::Parameter); }), 8u);
}

TEST(EmulatorOverLink, BlanksGoodsInnAndStatus) {
  test::EmulatedDevice device;
  auto blank = link::ExchangeBlank(device.link(), Mode::Write, {4, 3, 2, 1});
  ASSERT_TRUE(blank.ok()) << blank.message;
  blank = link::ExchangeBlank(device.link(), Mode::Read, {4, 0, 0, 0});
  EXPECT_EQ(blank.fields.number, 4);
  EXPECT_EQ(blank.fields.variant, 3);
  EXPECT_EQ(blank.fields.requisite, 2);
  EXPECT_EQ(blank.fields.type_sk, 1);
  device.WithDevice([](Km07Device& km) { km.state().blanks[5].held = false; });
  EXPECT_EQ(link::ExchangeBlank(device.link(), Mode::Read, {6, 1, 1, 1}).fields.number, 0);

  auto goods = link::ExchangeGoods(device.link(), Mode::Write, 1000, {"1mol", "1000", 7, 12345});
  ASSERT_TRUE(goods.ok()) << goods.message;
  EXPECT_EQ(device.WithDevice([](Km07Device& km) { return km.state().goods[1000].barcode; }), 1000u);
  goods = link::ExchangeGoods(device.link(), Mode::Read, 1000, {});
  EXPECT_EQ(goods.fields.name, "1mol");
  EXPECT_EQ(goods.fields.barcode, "1000");
  EXPECT_EQ(goods.fields.section, 7);
  EXPECT_EQ(goods.fields.price, 12345u);
  goods = link::ExchangeGoods(device.link(), Mode::Write, 2, {"0x", "12a", 1, 99'999'999'901});
  EXPECT_EQ(goods.error_code, 59);
  EXPECT_EQ(goods.message, " Разрядность \"Цена\" превышает допустимое значение.");

  auto inn = link::ProgramInn(device.link(), {0, 26, 3, 7, 2, "123456789012"});
  ASSERT_TRUE(inn.ok()) << inn.message;
  const auto status = link::RequestStatus(device.link());
  ASSERT_TRUE(status.ok()) << status.message;
  EXPECT_EQ(status.fields.inn, 123456789012u);  // twelve digits survive the six bytes
  EXPECT_EQ(status.fields.group, 2);
  EXPECT_EQ(status.fields.day, 7);
  EXPECT_EQ(status.fields.month, 3);
  EXPECT_EQ(status.fields.year, 26);
  EXPECT_EQ(status.fields.mode, 0x11);
  EXPECT_EQ(status.fields.factory_number, 1u);
  inn = link::ProgramInn(device.link(), {0, 26, 3, 7, 2, "1"});
  EXPECT_EQ(inn.error_code, 53);
  EXPECT_EQ(inn.message, " ИНН установлен.");
}

TEST(EmulatorOverLink, FactoryNumberErrorsAndRefusedSettings) {
  test::EmulatedDevice device("COM7", 5);
  EXPECT_TRUE(link::RequestStatus(device.link()).ok());
  device.link().settings().factory_number = "6";
  auto status = link::RequestStatus(device.link());
  EXPECT_EQ(status.error_code, 55);
  EXPECT_EQ(status.message, " Не совпал заводской номер.");
  device.WithDevice([](Km07Device& km) { km.state().factory_number = 0; });
  EXPECT_EQ(link::RequestStatus(device.link()).error_code, 50);

  // A factory number that cannot be sent is refused before anything reaches the line.
  for (const char* bad : {"2147483648", "12a", "", "0000000000000001", " 1"}) {
    device.link().settings().factory_number = bad;
    status = link::RequestStatus(device.link());
    EXPECT_EQ(status.result, LinkResult::BadSettings) << bad;
    EXPECT_EQ(status.message, link::kBadFactoryNumberMessage);
  }
  EXPECT_EQ(device.WithDevice([](Km07Device& km) { return km.total_requests_seen(); }), 3u);
}

// Each fault against each command: what the link makes of it.
TEST(EmulatorOverLink, EveryFaultForEveryCommand) {
  test::EmulatedDevice device;
  for (const Command command : kCommands) {
    SCOPED_TRACE(static_cast<int>(command));
    const auto with_faults = [&](auto set) {
      device.WithDevice([&](Km07Device& km) {
        km.faults() = emulator::Faults{};
        km.state().inn_set = false;
        set(km.faults());
      });
      return RunCommand(device.link(), command);
    };
    auto result = with_faults([](emulator::Faults&) {});
    EXPECT_EQ(result.result, LinkResult::Ok) << result.message;

    result = with_faults([](emulator::Faults& f) { f.silent = true; });
    EXPECT_EQ(result.result, LinkResult::NoAnswer);
    EXPECT_EQ(result.message, "Нет ответа или не удалось открыть порт.");

    // One byte short under a length byte for the whole answer; the status answer too.
    result = with_faults([&](emulator::Faults& f) { f.cut_after = link::AnswerSize(command) - 1; });
    EXPECT_EQ(result.result, LinkResult::BadStart);
    EXPECT_EQ(result.message, "Неккоректный ответ - первый байт не STX_SLAVE.");
    result = with_faults([](emulator::Faults& f) { f.cut_after = 3; });
    EXPECT_EQ(result.result, LinkResult::BadStart);

    // The status request alone does not compare the length byte.
    result = with_faults([](emulator::Faults& f) { f.length_byte = 99; });
    EXPECT_EQ(result.result, command == Command::Status ? LinkResult::Ok : LinkResult::BadStart);

    result = with_faults([](emulator::Faults& f) { f.answer_code = 0x10; });
    EXPECT_EQ(result.result, LinkResult::BadCode);
    EXPECT_EQ(result.message, "Неккоректный ответ - код ответа не соответствует коду команды.");

    result = with_faults([&](emulator::Faults& f) { f.forced_errors.push_back({command, {}, {}, {}, 0x23}); });
    EXPECT_EQ(result.result, LinkResult::DeviceError);
    EXPECT_EQ(result.error_code, 0x23);
    EXPECT_EQ(result.message, " Нет бумаги.");
    result = with_faults([&](emulator::Faults& f) { f.forced_errors.push_back({command, {}, {}, {}, 0x3A}); });
    EXPECT_EQ(result.message, "(58)Неизвестный код ошибки.");

    // Paced like a 115200 baud line, the answer is still whole.
    result = with_faults([](emulator::Faults& f) { f.baud_rate = 115200; });
    EXPECT_EQ(result.result, LinkResult::Ok) << result.message;
  }
}

// With retries, a line failure is sent again up to that many times and the log tells each
// repetition; a device error is an answer, unless it says the request arrived damaged, and the
// ИНН goes once whatever happens.
TEST(EmulatorOverLink, RetriesResendLineFailuresOnlyNeverTheInn) {
  test::EmulatedDevice device;
  link::ExchangeLog log;
  log.Attach(device.link());
  device.link().settings().retries = 2;
  const auto requests = [&](Command command) {
    return device.WithDevice([&](Km07Device& km) { return km.requests_seen(command); });
  };
  const auto set_faults = [&](emulator::Faults faults) {
    device.WithDevice([&](Km07Device& km) {
      km.faults() = std::move(faults);
      km.state().inn_set = false;
    });
  };
  struct Case {
    const char* name;
    emulator::Faults faults;
    std::size_t sendings;  // of one request that is not the ИНН
  };
  emulator::Faults silent, wrong_code, refused, damaged;
  silent.silent = true;
  wrong_code.answer_code = 0x10;
  refused.forced_errors.push_back({Command::Goods, {}, {}, {}, 0x23});
  refused.forced_errors.push_back({Command::Inn, {}, {}, {}, 0x23});
  for (const Command command : {Command::Goods, Command::Inn})
    damaged.forced_errors.push_back({command, {}, {}, {}, link::kErrorChecksum});
  for (const Case& c : {Case{"silence", silent, 3}, Case{"wrong code", wrong_code, 3}, Case{"device error", refused, 1},
                        Case{"request damaged", damaged, 3}}) {
    SCOPED_TRACE(c.name);
    for (const Command command : {Command::Goods, Command::Inn}) {
      set_faults(c.faults);
      const std::size_t before = requests(command);
      EXPECT_FALSE(RunCommand(device.link(), command).ok());
      EXPECT_EQ(requests(command) - before, command == Command::Inn ? 1 : c.sendings);
    }
  }
  const auto& records = log.records();
  ASSERT_GE(records.size(), 4u);
  EXPECT_EQ(records[0].retry, 0);
  EXPECT_EQ(records[2].retry, 2);
  EXPECT_NE(link::FormatExchange(records[2]).find(", повтор 2  "), std::string::npos);
  EXPECT_EQ(link::FormatExchange(records[0]).find("повтор"), std::string::npos);
  EXPECT_EQ(records[3].retry, 0) << "the ИНН after them";
  set_faults({});
  EXPECT_TRUE(RunCommand(device.link(), Command::Goods).ok());
  EXPECT_EQ(device.link().retry(), 0);
}

TEST(EmulatorOverLink, PortThatIsNotThereGivesNoAnswer) {
  test::EmulatedDevice device;
  device.link().settings().port_name = "COM99";
  EXPECT_EQ(link::RequestStatus(device.link()).result, LinkResult::NoAnswer);
  EXPECT_FALSE(device.link().CheckPort());
  device.link().settings().port_name = "COM1";
  EXPECT_TRUE(device.link().CheckPort());
}

TEST(EmulatorOverLink, PacedAnswersTakeAtLeastTheirWireTime) {
  test::EmulatedDevice device;
  device.WithDevice([](Km07Device& km) { km.faults().baud_rate = 2400; });
  const auto start = std::chrono::steady_clock::now();
  const auto status = link::RequestStatus(device.link());
  const auto elapsed = std::chrono::steady_clock::now() - start;
  ASSERT_TRUE(status.ok()) << status.message;
  // 11 request and 31 answer bytes of 10 bits at 2400 baud: 175 ms on a real line.
  EXPECT_GE(elapsed, std::chrono::milliseconds(174));
}

}  // namespace
}  // namespace tarnis
