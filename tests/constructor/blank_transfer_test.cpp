#include "constructor/blank_transfer.h"

#include <gtest/gtest.h>

#include <vector>

#include "emulated_device.h"
#include "fixed_answer_transport.h"
#include "recording_user_interface.h"

namespace tarnis::constructor {
namespace {

// The blank payload (mode, number, variant, requisite, extra line) of every request sent.
void RecordBlankPayloads(link::Link& link, std::vector<std::vector<std::uint8_t>>& payloads) {
  link.SetTraceObserver([&payloads](link::TraceDirection direction, std::span<const std::uint8_t> frame) {
    if (direction == link::TraceDirection::Sent && frame.size() >= 13 &&
        frame[6] == static_cast<std::uint8_t>(link::Command::Blank))
      payloads.emplace_back(frame.begin() + 8, frame.begin() + 13);
  });
}

class BlankTransferTest : public ::testing::Test {
 protected:
  void SetUp() override { RecordBlankPayloads(device.link(), payloads); }

  std::size_t BlankRequests() {
    return device.WithDevice([](emulator::Km07Device& d) { return d.requests_seen(link::Command::Blank); });
  }

  test::EmulatedDevice device;
  test::RecordingUserInterface ui;
  BlankFormTable table;
  std::vector<std::vector<std::uint8_t>> payloads;
};

TEST_F(BlankTransferTest, ProgramSendsTheStoredEntryWhateverTheVariantAllows) {
  *table.Form(3) = {0, 2, 4, 1};  // variant 2 prints no requisite and no extra line; both are sent
  const BlankFormTable before = table;

  EXPECT_EQ(ProgramSelectedBlank(device.link(), ui, table, 3, true), TransferOutcome::Done);

  ASSERT_EQ(payloads.size(), 1u);
  EXPECT_EQ(payloads[0], (std::vector<std::uint8_t>{0, 3, 2, 4, 1}));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Бланк удачно запрограммированн...");
  EXPECT_EQ(ui.messages[0].caption, "Предупреждение...");
  EXPECT_EQ(ui.messages[0].icon, ui::Icon::Information);
  EXPECT_EQ(table, before);  // programmed stays 0: the button stays red until the next refresh
  device.WithDevice([](emulator::Km07Device& d) {
    const emulator::BlankSlot& slot = d.state().blanks[2];
    EXPECT_TRUE(slot.held);
    EXPECT_EQ(slot.variant, 2);
    EXPECT_EQ(slot.requisite, 4);
    EXPECT_EQ(slot.type_sk, 1);
  });
  EXPECT_EQ(ui.EventsStartingWith("cursor"), (std::vector<std::string>{"cursor busy", "cursor normal"}));
}

TEST_F(BlankTransferTest, ProgramRefusesWithoutVariantOrForm) {
  EXPECT_EQ(ProgramSelectedBlank(device.link(), ui, table, 0, false), TransferOutcome::Refused);
  EXPECT_EQ(ProgramSelectedBlank(device.link(), ui, table, 0, true), TransferOutcome::Refused);
  EXPECT_EQ(ProgramSelectedBlank(device.link(), ui, table, 9, true), TransferOutcome::Refused);
  ASSERT_EQ(ui.messages.size(), 3u);
  EXPECT_EQ(ui.events[0], "message Предупреждение...: Не выбран вариант для программирования.");
  EXPECT_EQ(ui.events[1], "message Ошибка...: Не выбрана форма для программирования.");
  EXPECT_EQ(ui.messages[1].icon, ui::Icon::Error);
  EXPECT_EQ(ui.messages[2].text, "Не выбрана форма для программирования.");
  EXPECT_TRUE(payloads.empty());
}

TEST_F(BlankTransferTest, ProgramFailureAppendsTheDeviceMessage) {
  device.WithDevice([](emulator::Km07Device& d) {
    d.faults().forced_errors.push_back({link::Command::Blank, std::nullopt, 5, std::nullopt, 51});
  });
  EXPECT_EQ(ProgramSelectedBlank(device.link(), ui, table, 5, true), TransferOutcome::Failed);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Не удалось запрограммировать бланк...  Неверный параметр.");
  EXPECT_EQ(ui.messages[0].caption, "Ошибка...");
  EXPECT_EQ(ui.messages[0].icon, ui::Icon::Error);
}

TEST_F(BlankTransferTest, OperationsWaitTheirTurnOnABusyLink) {
  link::Link::Operation transfer(device.link());
  EXPECT_EQ(ProgramSelectedBlank(device.link(), ui, table, 1, true), TransferOutcome::Busy);
  EXPECT_EQ(ReadSelectedBlank(device.link(), ui, table, 1, {}), TransferOutcome::Busy);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(BlankRequests(), 0u);
}

TEST_F(BlankTransferTest, ReadStoresTheAnswerAndKeepsProgrammed) {
  device.WithDevice([](emulator::Km07Device& d) { d.state().blanks[5] = {true, 6, 7, 3}; });
  *table.Form(6) = {0, 1, 2, 1};
  int shown_form = 0;
  EXPECT_EQ(ReadSelectedBlank(device.link(), ui, table, 6,
                              [&](int form, const link::BlankFields&) {
                                shown_form = form;
                                EXPECT_TRUE(ui.messages.empty());  // the page shows the form before the notice
                              }),
            TransferOutcome::Done);
  EXPECT_EQ(shown_form, 6);
  EXPECT_EQ(*table.Form(6), (BlankFormEntry{0, 6, 7, 3}));
  ASSERT_EQ(payloads.size(), 1u);
  EXPECT_EQ(payloads[0], (std::vector<std::uint8_t>{1, 6, 1, 2, 1}));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.events[ui.events.size() - 1], "message Предупреждение...: Бланк удачно прочитан...");
}

TEST_F(BlankTransferTest, ReadFailuresLeaveTheTable) {
  const BlankFormTable before = table;
  EXPECT_EQ(ReadSelectedBlank(device.link(), ui, table, 0, {}), TransferOutcome::Refused);
  EXPECT_EQ(ui.events.back(), "message Ошибка...: Не выбрана форма для чтения.");

  device.WithDevice([](emulator::Km07Device& d) { d.state().blanks[1].held = false; });
  bool shown = false;
  EXPECT_EQ(ReadSelectedBlank(device.link(), ui, table, 2, [&](int, const link::BlankFields&) { shown = true; }),
            TransferOutcome::Failed);
  EXPECT_EQ(ui.events.back(), "message Ошибка...: Не удалось прочитать бланк... В КМ нет такого бланка.");

  device.WithDevice([](emulator::Km07Device& d) { d.faults().silent = true; });
  EXPECT_EQ(ReadSelectedBlank(device.link(), ui, table, 2, [&](int, const link::BlankFields&) { shown = true; }),
            TransferOutcome::Failed);
  EXPECT_EQ(ui.events.back(), "message Ошибка...: Не удалось прочитать бланк...Нет ответа или не удалось открыть порт.");
  EXPECT_EQ(ui.messages.back().icon, ui::Icon::Error);
  EXPECT_FALSE(shown);
  EXPECT_EQ(table, before);
}

TEST(BlankReadAnswerTest, TheNumberInTheAnswerChoosesTheForm) {
  test::FixedBlankAnswerTransport transport({5, 3, 8, 3});
  link::Link link(transport);
  link.settings().factory_number = "1";
  test::RecordingUserInterface ui;
  BlankFormTable table;
  table.Form(5)->programmed = 0;
  int shown_form = 0;
  EXPECT_EQ(ReadSelectedBlank(link, ui, table, 2, [&](int form, const link::BlankFields&) { shown_form = form; }),
            TransferOutcome::Done);
  EXPECT_EQ(shown_form, 5);
  EXPECT_EQ(*table.Form(5), (BlankFormEntry{0, 3, 8, 3}));
  EXPECT_EQ(*table.Form(2), BlankFormEntry{});
}

TEST(BlankReadAnswerTest, AnAnswerBeyondTheEightFormsIsNotStored) {
  for (std::uint8_t number : {9, 255}) {
    test::FixedBlankAnswerTransport transport({number, 1, 1, 1});
    link::Link link(transport);
    link.settings().factory_number = "1";
    test::RecordingUserInterface ui;
    BlankFormTable table;
    EXPECT_EQ(ReadSelectedBlank(link, ui, table, 8, {}), TransferOutcome::Failed);
    EXPECT_EQ(table, BlankFormTable{});
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].caption, "Ошибка...");
    EXPECT_EQ(ui.messages[0].text, "Не удалось прочитать бланк... В КМ нет такого бланка.");
  }
}

TEST_F(BlankTransferTest, RefreshReadsAllEightAndMarksTheBlanksHeld) {
  device.WithDevice([](emulator::Km07Device& d) {
    d.state().blanks[0] = {true, 3, 2, 3};
    d.state().blanks[3].held = false;
  });
  table.Form(8)->programmed = 0;
  table.Form(4)->variant = 5;
  EXPECT_TRUE(RefreshBlankFlags(device.link(), table).ok());
  EXPECT_EQ(payloads.size(), 8u);
  EXPECT_EQ(payloads[3], (std::vector<std::uint8_t>{1, 4, 5, 0, 0}));  // the entry's values go with the request
  EXPECT_EQ(*table.Form(1), (BlankFormEntry{1, 3, 2, 3}));
  EXPECT_EQ(table.Form(4)->programmed, 0);
  EXPECT_EQ(table.Form(8)->programmed, 1);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(BlankTransferTest, RefreshStopsAtTheFirstFailure) {
  device.WithDevice([](emulator::Km07Device& d) {
    d.state().blanks[0] = {true, 1, 1, 1};
    d.faults().forced_errors.push_back({link::Command::Blank, std::nullopt, 3, std::nullopt, 51});
  });
  *table.Form(3) = {1, 6, 6, 2};
  table.Form(5)->programmed = 0;
  const BlankFormTable before = table;
  EXPECT_EQ(RefreshBlankFlags(device.link(), table).result, link::LinkResult::DeviceError);
  EXPECT_EQ(BlankRequests(), 3u);
  EXPECT_EQ(*table.Form(1), (BlankFormEntry{1, 1, 1, 1}));
  for (int form = 3; form <= 8; ++form) EXPECT_EQ(*table.Form(form), *before.Form(form)) << form;
}

TEST_F(BlankTransferTest, RefreshAgainstASilentDeviceStopsAfterOneRequest) {
  device.WithDevice([](emulator::Km07Device& d) { d.faults().silent = true; });
  for (int form = 1; form <= kFormCount; ++form) *table.Form(form) = {static_cast<std::uint8_t>(form % 2), 2, 3, 1};
  const BlankFormTable before = table;
  EXPECT_EQ(RefreshBlankFlags(device.link(), table).result, link::LinkResult::NoAnswer);
  EXPECT_EQ(payloads.size(), 1u);
  EXPECT_EQ(table, before);
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace tarnis::constructor
