#include <gtest/gtest.h>

#include "emulated_device.h"
#include "goods/goods_transfer.h"
#include "link/device_charset.h"
#include "ui/operation_report.h"
#include "platform/cp1251_codec.h"
#include "recording_user_interface.h"

namespace tarnis::goods {
namespace {

using emulator::GoodsSlot;
using emulator::Km07Device;
using test::RecordingUserInterface;

std::string Cp(const char* utf8) { return *Utf8ToCp1251(utf8); }

class GoodsTransferTest : public ::testing::Test {
 protected:
  std::size_t GoodsRequests() {
    return device_.WithDevice([](Km07Device& d) { return d.requests_seen(link::Command::Goods); });
  }
  GoodsSlot Slot(int code) {
    return device_.WithDevice([&](Km07Device& d) { return d.state().goods[static_cast<std::size_t>(code)]; });
  }
  void SetSlot(int code, GoodsSlot slot) {
    device_.WithDevice([&](Km07Device& d) { d.state().goods[static_cast<std::size_t>(code)] = std::move(slot); });
  }
  void ForceError(int code, std::uint8_t error = 51) {
    device_.WithDevice([&](Km07Device& d) {
      emulator::ForcedError forced;
      forced.command = link::Command::Goods;
      forced.row = static_cast<std::uint16_t>(code);
      forced.code = error;
      d.faults().forced_errors.push_back(forced);
    });
  }
  GoodsScope Range(const char* first, const char* last) { return ChooseScope(false, true, 0, first, last); }
  GoodsScope All() { return ChooseScope(false, false, 0, "", ""); }
  GoodsScope Selected(int code) { return ChooseScope(true, true, code, "", ""); }

  test::EmulatedDevice device_;
  RecordingUserInterface ui_;
  GoodsTable table_;
};

TEST_F(GoodsTransferTest, ReadAllFillsEveryRowWithPricesInTheirTextForm) {
  SetSlot(0, {link::ToDeviceText(Cp("1ХЛЕБ")), 4601234567890, 3, 5});
  SetSlot(1, {link::ToDeviceText(Cp("0МОЛОКО")), 0, 255, 105});
  SetSlot(1000, {link::ToDeviceText(Cp("0ПОСЛЕДНИЙ")), 1, 1, 100000});
  table_.SetRow(500, {"500", Cp("СТАРОЕ"), Cp("широкий"), "1", "2", "3.00"});

  EXPECT_EQ(ReadGoods(device_.link(), ui_, table_, All()).outcome, TransferOutcome::Done);
  EXPECT_EQ(GoodsRequests(), 1001u);
  EXPECT_EQ(table_.row(0), (GoodsRow{"0", Cp("ХЛЕБ"), Cp("широкий"), "4601234567890", "3", "0.05"}));
  EXPECT_EQ(table_.row(1), (GoodsRow{"1", Cp("МОЛОКО"), Cp("узкий"), "0", "255", "1.05"}));
  EXPECT_EQ(table_.row(1000).price, "1000.00");
  EXPECT_EQ(table_.row(500), EmptyGoodsRow(500));

  const auto progress = ui_.EventsStartingWith("progress");
  ASSERT_EQ(progress.size(), 1003u);
  EXPECT_EQ(progress.front(), "progress start");
  EXPECT_EQ(progress[1], "progress 1/1001 0");
  EXPECT_EQ(progress[1001], "progress 1001/1001 100");
  EXPECT_EQ(progress.back(), "progress end");
  EXPECT_EQ(ui_.EventsStartingWith("wait"),
            (std::vector<std::string>{"wait show", "wait step Выгрузка товаров...", "wait close"}));
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, "Прочитано удачно...");
  EXPECT_EQ(ui_.messages[0].caption, "Предупреждение...");
  EXPECT_EQ(ui_.messages[0].icon, ui::Icon::Information);
  EXPECT_FALSE(ui_.busy_cursor);
  EXPECT_FALSE(device_.link().busy());
}

TEST_F(GoodsTransferTest, BothBoxesTransferOnlyTheSelectedRow) {
  SetSlot(56, {link::ToDeviceText(Cp("0СЫР")), 7, 1, 999});
  EXPECT_EQ(ReadGoods(device_.link(), ui_, table_, Selected(56)).outcome, TransferOutcome::Done);
  EXPECT_EQ(GoodsRequests(), 1u);
  EXPECT_EQ(table_.row(56), (GoodsRow{"56", Cp("СЫР"), Cp("узкий"), "7", "1", "9.99"}));
  EXPECT_TRUE(ui_.EventsStartingWith("progress").empty());
  EXPECT_TRUE(ui_.EventsStartingWith("wait").empty());
  EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{"Прочитано удачно..."});

  table_.SetRow(56, {"56", Cp("ЧАЙ"), Cp("широкий"), "12", "9", "1000.00"});
  EXPECT_EQ(WriteGoods(device_.link(), ui_, table_, Selected(56)).outcome, TransferOutcome::Done);
  EXPECT_EQ(GoodsRequests(), 2u);
  const GoodsSlot slot = Slot(56);
  EXPECT_EQ(slot.name, link::ToDeviceText(Cp("1ЧАЙ")));
  EXPECT_EQ(slot.barcode, 12u);
  EXPECT_EQ(slot.section, 9);
  EXPECT_EQ(slot.price, 100000u);
  EXPECT_EQ(ui_.messages.back().text, "Записано удачно...");
  EXPECT_EQ(ui_.messages.back().caption, "Предупреждение...");
}

TEST_F(GoodsTransferTest, RangesCoverExactlyTheirCodes) {
  EXPECT_EQ(ReadGoods(device_.link(), ui_, table_, Range("0", "0")).outcome, TransferOutcome::Done);
  EXPECT_EQ(GoodsRequests(), 1u);
  EXPECT_EQ(ui_.EventsStartingWith("progress 1/"), std::vector<std::string>{"progress 1/1 100"});

  EXPECT_EQ(WriteGoods(device_.link(), ui_, table_, Range("0", "1000")).outcome, TransferOutcome::Done);
  EXPECT_EQ(GoodsRequests(), 1002u);
  EXPECT_EQ(ui_.EventsStartingWith("wait step").back(), "wait step Загрузка товаров...");

  ui_.ExpectSettled("after the first two runs");
  ui_.events.clear();
  EXPECT_EQ(ReadGoods(device_.link(), ui_, table_, Range("5", "7")).outcome, TransferOutcome::Done);
  EXPECT_EQ(ui_.EventsStartingWith("progress 3/3"), std::vector<std::string>{"progress 3/3 100"});
  EXPECT_EQ(GoodsRequests(), 1005u);
}

TEST_F(GoodsTransferTest, RangeErrorsSendNothingAndCloseTheWaitWindow) {
  struct Case {
    const char* first;
    const char* last;
    const char* message;
    RangeField focus;
  };
  for (const Case& c : {Case{"0", "1001", "Неверный конец диапазона... ", RangeField::None},
                        Case{"5", "4", "Неверно задан диапазон... ", RangeField::None},
                        Case{"", "4", "Не задано начало диапазона... ", RangeField::First},
                        Case{"5", "", "Не задан конец диапазона... ", RangeField::Last},
                        Case{"5%", "6", "Неверное начало диапазона... ", RangeField::First}}) {
    for (const bool read : {true, false}) {
      RecordingUserInterface ui;
      const TransferResult result = read ? ReadGoods(device_.link(), ui, table_, Range(c.first, c.last))
                                         : WriteGoods(device_.link(), ui, table_, Range(c.first, c.last));
      EXPECT_EQ(result.outcome, TransferOutcome::Refused);
      EXPECT_EQ(result.focus, c.focus) << c.message;
      ASSERT_EQ(ui.messages.size(), 1u);
      EXPECT_EQ(ui.messages[0].text, c.message);
      EXPECT_EQ(ui.messages[0].caption, "Ошибка...");
      EXPECT_EQ(ui.messages[0].icon, ui::Icon::Error);
      EXPECT_FALSE(ui.wait_visible);
      EXPECT_FALSE(ui.progress_visible);
      EXPECT_FALSE(ui.busy_cursor);
      EXPECT_EQ(ui.EventsStartingWith("wait").front(), "wait show");
    }
  }
  EXPECT_EQ(GoodsRequests(), 0u);
  EXPECT_EQ(table_.row(5), EmptyGoodsRow(5));
}

TEST_F(GoodsTransferTest, FailedSingleReadLeavesTheRowBlank) {
  table_.SetRow(3, {"3", Cp("СТАРОЕ"), Cp("широкий"), "1", "2", "3.00"});
  ForceError(3);
  EXPECT_EQ(ReadGoods(device_.link(), ui_, table_, Selected(3)).outcome, TransferOutcome::Failed);
  EXPECT_EQ(table_.row(3), (GoodsRow{"", "", Cp("узкий"), "", "", ""}));
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, "Не удалось прочитать параметр...  Неверный параметр.");
  EXPECT_EQ(ui_.messages[0].caption, "Ошибка...");
  EXPECT_FALSE(ui_.busy_cursor);

  // Such a row cannot be sent: nothing goes out and the row and field are named.
  EXPECT_EQ(WriteGoods(device_.link(), ui_, table_, Selected(3)).outcome, TransferOutcome::Refused);
  EXPECT_EQ(GoodsRequests(), 1u);
  EXPECT_EQ(ui_.messages.back().text,
            "Не удалось записать параметр... В строке 4 неверно заполнено поле \"Секция\".");
}

TEST_F(GoodsTransferTest, SkippedRecordReadsAsAnEmptyRecordAndTheRunGoesOn) {
  table_.SetRow(3, {"3", Cp("СТАРОЕ"), Cp("широкий"), "1", "2", "3.00"});
  SetSlot(4, {link::ToDeviceText(Cp("0ДАЛЬШЕ")), 0, 0, 0});
  ForceError(3);
  ui_.answers = {ui::Answer::Yes};
  EXPECT_EQ(ReadGoods(device_.link(), ui_, table_, Range("2", "4")).outcome, TransferOutcome::Done);
  EXPECT_EQ(table_.row(3), (GoodsRow{"3", "", Cp("узкий"), "", "0", "0.00"}));
  EXPECT_EQ(table_.row(4).name, Cp("ДАЛЬШЕ"));
  ASSERT_EQ(ui_.messages.size(), 2u);
  EXPECT_EQ(ui_.messages[0].text, "Не удалось прочитать параметр...  Неверный параметр.\n Продолжить?");
  EXPECT_EQ(ui_.messages[0].buttons, ui::Buttons::YesNo);
  EXPECT_EQ(ui_.messages[0].icon, ui::Icon::Error);
  EXPECT_EQ(ui_.messages[1].text, "Прочитано с ошибками: не прочитано 1 из 3.\nТовар 3");
  EXPECT_EQ(ui_.messages[1].icon, ui::Icon::Warning);
  EXPECT_EQ(ui_.EventsStartingWith("progress 2/3"), std::vector<std::string>{"progress 2/3 66"});
}

TEST_F(GoodsTransferTest, NoStopsAtOnceWithoutAClosingNotice) {
  ForceError(3);
  ui_.answers = {ui::Answer::No};
  EXPECT_EQ(ReadGoods(device_.link(), ui_, table_, All()).outcome, TransferOutcome::Stopped);
  EXPECT_EQ(GoodsRequests(), 4u);
  EXPECT_EQ(ui_.messages.size(), 1u);
  EXPECT_FALSE(ui_.wait_visible);
  EXPECT_FALSE(ui_.progress_visible);
  EXPECT_FALSE(ui_.busy_cursor);
  EXPECT_TRUE(ui_.EventsStartingWith("progress 4/").empty());
  EXPECT_EQ(table_.row(5), EmptyGoodsRow(5));
}

// "Прервать" ends a run of records before the next record, as No would: no closing notice,
// the records already done keep what they got, the rest are untouched.
TEST_F(GoodsTransferTest, StopEndsARunBeforeTheNextRecord) {
  for (int code = 10; code <= 20; ++code) SetSlot(code, {link::ToDeviceText(Cp("0ТОВАР")), 1, 1, 100});
  table_.SetRow(13, {"13", Cp("ПРЕЖНЕЕ"), Cp("узкий"), "0", "0", "0.00"});
  ui_.on_process_events = [this] {
    if (GoodsRequests() == 3) ui_.stop_requested = true;
  };
  EXPECT_EQ(ReadGoods(device_.link(), ui_, table_, Range("10", "20")).outcome, TransferOutcome::Stopped);
  EXPECT_EQ(GoodsRequests(), 3u);
  EXPECT_EQ(table_.row(12).name, Cp("ТОВАР"));
  EXPECT_EQ(table_.row(13).name, Cp("ПРЕЖНЕЕ"));
  EXPECT_TRUE(ui_.messages.empty());
  EXPECT_FALSE(ui_.wait_visible);

  ui_.stop_requested = false;
  ui_.on_process_events = [this] {
    if (GoodsRequests() == 3 + 5) ui_.stop_requested = true;
  };
  EXPECT_EQ(EraseDeviceGoods(device_.link(), ui_), TransferOutcome::Stopped);
  EXPECT_EQ(GoodsRequests(), 8u);
  EXPECT_EQ(Slot(4).name, link::ToDeviceText("0"));
  EXPECT_EQ(Slot(10).name, link::ToDeviceText(Cp("0ТОВАР")));
  EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{"Вы действительно хотите удалить базу из КМ?"});
}

// A whole write stopped at record 408 says how far it got; the records not written stay marked,
// and the changed scope writes exactly those, then nothing.
TEST_F(GoodsTransferTest, StoppedWriteSaysHowFarAndChangedScopeResumesThere) {
  ui_.on_process_events = [this] {
    if (GoodsRequests() == 408) ui_.stop_requested = true;
  };
  EXPECT_EQ(WriteGoods(device_.link(), ui_, table_, All()).outcome, TransferOutcome::Stopped);
  EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{"Записано 408 из 1001 (коды 0–407)."});
  EXPECT_EQ(table_.state(407), RecordState::OnDevice);
  EXPECT_EQ(table_.state(408), RecordState::NotWritten);
  EXPECT_EQ(table_.ChangedCount(), 593);

  RecordingUserInterface resume;
  table_.SetCell(5, GoodsColumn::Price, "7.00");  // an edit among the written ones goes too
  const GoodsScope changed = ChooseScope(false, true, 0, "1", "2", true);
  ASSERT_EQ(changed.kind, GoodsScope::Kind::Changed);
  EXPECT_EQ(WriteGoods(device_.link(), resume, table_, changed).outcome, TransferOutcome::Done);
  EXPECT_EQ(GoodsRequests(), 408u + 594);
  EXPECT_EQ(Slot(5).price, 700u);
  EXPECT_EQ(resume.MessageTexts(), std::vector<std::string>{"Записано изменений: 594."});
  EXPECT_EQ(table_.ChangedCount(), 0);

  EXPECT_EQ(WriteGoods(device_.link(), resume, table_, changed).outcome, TransferOutcome::Done);
  EXPECT_EQ(GoodsRequests(), 1002u);
  EXPECT_EQ(resume.MessageTexts().back(), "Изменений нет.");
  EXPECT_FALSE(resume.wait_visible);

  // Read back: what was written matches; a record the device changed since does not.
  EXPECT_TRUE(VerifyGoods(device_.link(), table_, {5, 408}).empty());
  SetSlot(408, {link::ToDeviceText("0x"), 0, 0, 0});
  EXPECT_EQ(VerifyGoods(device_.link(), table_, {5, 408}), std::vector<int>{408});
}

// A noisy line with two retries: every fault is absorbed, the device's refusals of damaged requests
// included, so nothing is asked about and every record read is the device's own.
TEST_F(GoodsTransferTest, RetriesOnANoisyLineAskNothingAndStoreNoWrongRecord) {
  for (int code = 0; code <= kLastGoodsCode; ++code)
    SetSlot(code, {link::ToDeviceText("0T" + std::to_string(code)), static_cast<std::uint64_t>(code), 1,
                   static_cast<std::uint64_t>(code)});
  device_.WithDevice([](Km07Device& d) { d.InjectLineFaults(0.05, 7); });
  device_.link().settings().retries = 2;
  EXPECT_EQ(ReadGoods(device_.link(), ui_, table_, All()).outcome, TransferOutcome::Done);
  const std::size_t device_errors =
      device_.WithDevice([](Km07Device& d) { return d.line_faults()->Count(emulator::LineFault::DeviceError); });
  int wrong = 0;
  for (int code = 0; code <= kLastGoodsCode; ++code) {
    const GoodsSlot slot = Slot(code);
    wrong += table_.row(code) != RowFromDeviceRecord(code, {slot.name, std::to_string(slot.barcode), slot.section,
                                                             slot.price});
  }
  EXPECT_GT(device_errors, 0u);
  EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{"Прочитано удачно..."});
  EXPECT_EQ(wrong, 0);
}

// Answering No at record 3 of a range: the failed record and those after it stay not written.
TEST_F(GoodsTransferTest, WriteAnsweredNoMarksTheRestNotWritten) {
  ForceError(12);
  ui_.answers = {ui::Answer::No};
  EXPECT_EQ(WriteGoods(device_.link(), ui_, table_, Range("10", "14")).outcome, TransferOutcome::Stopped);
  EXPECT_EQ(ui_.MessageTexts().back(), "Записано 2 из 5 (коды 10–11).");
  for (const auto& [code, state] : {std::pair{11, RecordState::OnDevice}, std::pair{12, RecordState::NotWritten},
                                    std::pair{14, RecordState::NotWritten}, std::pair{15, RecordState::OnDevice}})
    EXPECT_EQ(table_.state(code), state) << code;
  // A read leaves nothing edited, its failures included.
  ui_.answers = {ui::Answer::Yes};
  EXPECT_EQ(ReadGoods(device_.link(), ui_, table_, Range("10", "14")).outcome, TransferOutcome::Done);
  EXPECT_EQ(table_.ChangedCount(), 0);
}

TEST_F(GoodsTransferTest, WriteRangeAsksAboutARowThatCannotBeSent) {
  for (int code = 10; code <= 12; ++code)
    table_.SetRow(code, {std::to_string(code), Cp("ТОВАР"), Cp("узкий"), "0", "1", "1.00"});
  table_.SetCell(11, GoodsColumn::Price, "");
  SetSlot(11, {link::ToDeviceText(Cp("0ПРЕЖНИЙ")), 0, 0, 0});
  ui_.answers = {ui::Answer::Yes};
  std::vector<std::string> notes;
  device_.link().SetNoteObserver([&](const std::string& line) { notes.push_back(line); });
  EXPECT_EQ(WriteGoods(device_.link(), ui_, table_, Range("10", "12")).outcome, TransferOutcome::Done);
  EXPECT_EQ(GoodsRequests(), 2u);
  EXPECT_EQ(Slot(11).name, link::ToDeviceText(Cp("0ПРЕЖНИЙ")));
  EXPECT_EQ(Slot(12).name, link::ToDeviceText(Cp("0ТОВАР")));
  ASSERT_EQ(ui_.messages.size(), 2u);
  EXPECT_EQ(ui_.messages[0].text,
            "Не удалось записать параметр... В строке 12 неверно заполнено поле \"Цена\".\n Продолжить?");
  EXPECT_EQ(ui_.messages[1].text, "Записано с ошибками: не записано 1 из 3.\nТовар 11");
  EXPECT_EQ(notes, (std::vector<std::string>{"Записано с ошибками: не записано 1 из 3.",
                                             "Товар 11: В строке 12 неверно заполнено поле \"Цена\"."}));
}

// The device keeps 48 bits of a barcode: a longer one would arrive as a different barcode.
TEST_F(GoodsTransferTest, BarcodesTheDeviceCannotHoldAreRefusedNamingTheirRow) {
  table_.SetRow(20, {"20", Cp("ДЛИННЫЙ"), Cp("узкий"), "1234567890123456789", "1", "1.00"});
  table_.SetRow(21, {"21", Cp("КРАЙНИЙ"), Cp("узкий"), "281474976710655", "1", "1.00"});
  ASSERT_EQ(WriteGoods(device_.link(), ui_, table_, Selected(20)).outcome, TransferOutcome::Refused);
  EXPECT_EQ(GoodsRequests(), 0u);
  EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{"Не удалось записать параметр... В строке 21 поле \"Штрих-код\" "
                                                          "больше 281474976710655: такого штрих-кода КМ не хранит."});

  table_.SetCell(22, GoodsColumn::Barcode, "281474976710656");
  ui_.messages.clear();
  ui_.answers = {ui::Answer::Yes, ui::Answer::Yes};
  EXPECT_EQ(WriteGoods(device_.link(), ui_, table_, Range("20", "22")).outcome, TransferOutcome::Done);
  EXPECT_EQ(GoodsRequests(), 1u);  // code 21 only
  EXPECT_EQ(Slot(21).barcode, 281474976710655u);
  EXPECT_EQ(Slot(20).barcode, 0u);
  EXPECT_EQ(Slot(22).barcode, 0u);
  ASSERT_EQ(ui_.messages.size(), 3u);
  EXPECT_NE(ui_.messages[0].text.find("В строке 21 поле"), std::string::npos);
  EXPECT_NE(ui_.messages[1].text.find("В строке 23 поле"), std::string::npos);

  // "Не спрашивать до конца операции" ticked at the first failure: the second is only listed.
  ui_.messages.clear();
  ui_.answers = {ui::Answer::Yes};
  ui_.check_box_ticks = {true};
  ui_.only_scripted_answers = true;
  EXPECT_EQ(WriteGoods(device_.link(), ui_, table_, Range("20", "22")).outcome, TransferOutcome::Done);
  ASSERT_EQ(ui_.messages.size(), 2u);
  EXPECT_EQ(ui_.messages[0].check_box, ui::kDontAskAgain);
  EXPECT_EQ(ui_.messages[1].text, "Записано с ошибками: не записано 2 из 3.\nТовар 20\nТовар 22");
}

TEST_F(GoodsTransferTest, TwentyFourCharacterNamesRoundTripThroughTheDevice) {
  const std::string name = Cp("АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧ");
  table_.SetRow(7, {"7", name, Cp("узкий"), "9999999999999", "255", "999999999.00"});
  ASSERT_EQ(WriteGoods(device_.link(), ui_, table_, Selected(7)).outcome, TransferOutcome::Done);
  const GoodsRow written = table_.row(7);
  table_.Reset();
  ASSERT_EQ(ReadGoods(device_.link(), ui_, table_, Selected(7)).outcome, TransferOutcome::Done);
  EXPECT_EQ(table_.row(7), written);
}

TEST_F(GoodsTransferTest, EraseWritesEveryRecordWhateverTheRangeAndLeavesTheTable) {
  SetSlot(600, {link::ToDeviceText(Cp("1ТОВАР")), 5, 5, 5});
  table_.SetRow(600, {"600", Cp("ТОВАР"), Cp("широкий"), "5", "5", "0.05"});
  const GoodsRow before = table_.row(600);

  ui_.answers = {ui::Answer::No};
  EXPECT_EQ(EraseDeviceGoods(device_.link(), ui_), TransferOutcome::Refused);
  EXPECT_EQ(GoodsRequests(), 0u);
  ASSERT_EQ(ui_.messages.size(), 1u);
  EXPECT_EQ(ui_.messages[0].text, "Вы действительно хотите удалить базу из КМ?");
  EXPECT_EQ(ui_.messages[0].caption, "Подтверждение...");
  EXPECT_EQ(ui_.messages[0].icon, ui::Icon::Question);

  EXPECT_EQ(EraseDeviceGoods(device_.link(), ui_), TransferOutcome::Done);
  EXPECT_EQ(GoodsRequests(), 1001u);
  const GoodsSlot slot = Slot(600);
  EXPECT_EQ(slot.name, "0");
  EXPECT_EQ(slot.barcode, 0u);
  EXPECT_EQ(slot.section, 0);
  EXPECT_EQ(slot.price, 0u);
  EXPECT_EQ(table_.row(600), before);
  EXPECT_EQ(ui_.EventsStartingWith("wait step"), std::vector<std::string>{"wait step Загрузка товаров..."});
  EXPECT_EQ(ui_.EventsStartingWith("progress 1001/1001"), std::vector<std::string>{"progress 1001/1001 100"});
  EXPECT_EQ(ui_.messages.back().text, "База очищена...");
  EXPECT_EQ(ui_.messages.back().caption, "Предупреждение...");
}

TEST_F(GoodsTransferTest, EraseFailureAsksAndNoStops) {
  ForceError(2, 56);
  ui_.answers = {ui::Answer::Yes, ui::Answer::No};
  EXPECT_EQ(EraseDeviceGoods(device_.link(), ui_), TransferOutcome::Stopped);
  EXPECT_EQ(GoodsRequests(), 3u);
  ASSERT_EQ(ui_.messages.size(), 2u);
  EXPECT_EQ(ui_.messages[1].text, "Не удалось стереть запись...  Данные не записались во FLASH.\n Продолжить?");
  EXPECT_FALSE(ui_.wait_visible);
}

TEST_F(GoodsTransferTest, BusyLinkRefusesEveryOperationSilently) {
  link::Link::Operation other(device_.link());
  EXPECT_EQ(ReadGoods(device_.link(), ui_, table_, All()).outcome, TransferOutcome::Busy);
  EXPECT_EQ(WriteGoods(device_.link(), ui_, table_, Selected(1)).outcome, TransferOutcome::Busy);
  ui_.answers = {ui::Answer::Yes};
  EXPECT_EQ(EraseDeviceGoods(device_.link(), ui_), TransferOutcome::Busy);
  EXPECT_EQ(GoodsRequests(), 0u);
  EXPECT_EQ(ui_.messages.size(), 1u);  // only the erase question
  EXPECT_TRUE(ui_.EventsStartingWith("wait").empty());
}

TEST_F(GoodsTransferTest, SilentDeviceIsReportedWithTheLinkMessage) {
  device_.WithDevice([](Km07Device& d) { d.faults().silent = true; });
  EXPECT_EQ(WriteGoods(device_.link(), ui_, table_, Selected(0)).outcome, TransferOutcome::Failed);
  EXPECT_EQ(ui_.MessageTexts(),
            std::vector<std::string>{"Не удалось записать параметр... Нет ответа или не удалось открыть порт."});
}

}  // namespace
}  // namespace tarnis::goods
