#include "wizard/operators_page.h"

#include <cstring>

#include "wizard_test_support.h"

namespace tarnis::wizard {
namespace {

class OperatorsPageTest : public PageTest {
 protected:
  OperatorsPageTest() { page.Fill(); }
  const std::string& Cell(int row, int column) { return page.grid().Cell(row, column); }
  config::OperatorRecord& Operator(int n) { return configuration.operators[static_cast<std::size_t>(n - 1)]; }

  OperatorsPage page{configuration, device.link(), ui};
};

TEST_F(OperatorsPageTest, FillShowsTextsWithoutAttributeAndAccess) {
  Operator(4).enabled = 0;
  page.Fill();
  EXPECT_EQ(Cell(32, 0), "32");
  EXPECT_EQ(Utf(Cell(32, 1)), "ОПЕРАТОР 32");
  EXPECT_EQ(Utf(Cell(32, 2)), "ФАМИЛИЯ 32");
  EXPECT_EQ(Cell(32, 3), "32");
  EXPECT_EQ(Utf(Cell(1, 4)), "да");
  EXPECT_EQ(Utf(Cell(4, 4)), "нет");
  EXPECT_EQ(page.EditorAt(0), CellEditor::None);
  EXPECT_EQ(page.EditorAt(1), CellEditor::Line);
  EXPECT_EQ(page.EditorAt(2), CellEditor::Line);
  EXPECT_EQ(page.EditorAt(3), CellEditor::Number);
  EXPECT_EQ(page.EditorAt(4), CellEditor::None);
}

TEST_F(OperatorsPageTest, WideLineIsStoredCutTo12WhileTheCellKeepsWhatWasTyped) {
  const std::string typed = Cp("СТАРШИЙ КАССИР СМЕНЫ");  // 20 characters
  page.ApplyLine(2, 1, {typed, true});
  EXPECT_EQ(Operator(2).position.Text(), "1" + typed.substr(0, 12));
  EXPECT_EQ(Cell(2, 1), typed);
  EXPECT_EQ(page.LineAt(2, 1), (LineValue{typed, true}));

  page.ApplyLine(2, 2, {typed, false});
  EXPECT_EQ(Operator(2).full_name.Text(), "0" + typed);
}

TEST_F(OperatorsPageTest, PasswordTakesFourCharactersAndNothingOfTheOldOne) {
  Operator(3).password.Set("12345");
  page.ApplyPassword(3, "98765");
  EXPECT_EQ(Operator(3).password.Text(), "9876");
  EXPECT_EQ(Cell(3, 3), "98765");
  EXPECT_EQ(Operator(3).enabled, 1) << "the enabled byte behind the password stays";
}

TEST_F(OperatorsPageTest, ZeroOrEmptyPasswordIsRefusedAloneAndSkippedInTheWriteOfAll) {
  page.ApplyPassword(1, "0000");
  page.ApplyPassword(2, "");
  page.Write(true, 1);
  page.Write(true, 2);
  EXPECT_EQ(Requests(), 0u);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, "Пароль не может быть нулевым...");
  EXPECT_EQ(ui.messages[0].caption, "Предупреждение...");
  EXPECT_EQ(ui.messages[0].icon, ui::Icon::Information);

  ui.messages.clear();
  page.Write(false, 0);
  EXPECT_EQ(Requests(), 30u * 3);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Записано удачно..."});
  EXPECT_EQ(Cell(1, 4), Cp("да")) << "a skipped operator keeps its access cell";
  EXPECT_EQ(Cell(3, 4), Cp("да."));
  ExpectClosedDown();
}

TEST_F(OperatorsPageTest, SingleWriteSendsThreeFieldsAndMarksTheAccessCell) {
  page.ApplyLine(5, 1, {Cp("КАССИР"), true});
  page.Write(true, 5);
  EXPECT_EQ(DeviceText(0, 5, 1), Device("1КАССИР"));
  EXPECT_EQ(DeviceText(0, 5, 3), "5");
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Записано удачно..."});
  EXPECT_EQ(Cell(5, 4), Cp("да."));
  EXPECT_EQ(ui.EventsStartingWith("progress "),
            (std::vector<std::string>{"progress start", "progress 1/3 33", "progress 2/3 66", "progress 3/3 100",
                                      "progress end"}));
  ExpectClosedDown();
}

TEST_F(OperatorsPageTest, RefusedWriteShowsTheDeviceMessageAndNetWithPeriodWhichNoLongerBlocks) {
  SetDeviceEnabled(0, 6, 0);  // the device answers 52 and reports the operator as not changeable
  page.Write(true, 6);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Не удалось записать параметр... " + link::DeviceErrorText(52));
  EXPECT_EQ(ui.messages[0].caption, "Ошибка...");
  EXPECT_EQ(Operator(6).enabled, 0);
  EXPECT_EQ(Utf(Cell(6, 4)), "нет.");
  EXPECT_EQ(Requests(), 1u);

  page.Write(true, 6);
  EXPECT_EQ(Requests(), 2u) << "only the exact text \"нет\" blocks a write";

  page.Fill();
  ui.messages.clear();
  page.Write(true, 6);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Параметр недоступен для изменения..."});
  EXPECT_EQ(Requests(), 2u);
}

// Errors 55 (another factory number) report nothing about the operators: the page's write of all
// changes no enabled byte, and its closing box says what was not written.
TEST_F(OperatorsPageTest, WriteAllToAnotherDeviceChangesNoAccessAndListsTheFailures) {
  device.link().settings().factory_number = "2";
  const config::DeviceConfiguration before = configuration;
  page.Write(false, 0);
  EXPECT_EQ(std::memcmp(&configuration, &before, sizeof before), 0);
  ASSERT_EQ(ui.messages.size(), 97u);
  EXPECT_EQ(ui.messages[0].text, "Не удалось записать параметр... " + link::DeviceErrorText(55) + "\n Продолжить?");
  EXPECT_EQ(ui.messages.back().text.substr(0, ui.messages.back().text.find('\n')),
            "Записано с ошибками: не записано 96 из 96.");
  EXPECT_EQ(ui.messages.back().icon, ui::Icon::Warning);
  EXPECT_EQ(Utf(Cell(1, 4)), "да.");
  ExpectClosedDown();
}

TEST_F(OperatorsPageTest, PasswordWriteFailureHasNoBlankBeforeTheMessage) {
  ForceError(0, 7, 3, 0x23);
  page.Write(true, 7);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Не удалось записать параметр..." + link::DeviceErrorText(0x23)});
  EXPECT_EQ(Cell(7, 4), Cp("да."));
}

TEST_F(OperatorsPageTest, ReadOneTakesTheDeviceTextsAndAccess) {
  device.WithDevice([](emulator::Km07Device& d) {
    d.state().Text(0, 9, 1) = Device("1ГЛ. БУХГАЛТЕР");
    d.state().Text(0, 9, 3) = "4321";
    d.state().enabled[0][8] = 0;
  });
  RecordFills(page.grid());
  page.Read(true, 9);
  EXPECT_EQ(Operator(9).position.Text(), Cp("1ГЛ. БУХГАЛТЕР"));
  EXPECT_EQ(Operator(9).password.Text(), "4321");
  EXPECT_EQ(Operator(9).enabled, 0);
  EXPECT_EQ(Utf(Cell(9, 4)), "нет");
  const auto& events = ui.events;
  const auto notice = std::find(events.begin(), events.end(), "message Предупреждение...: Прочитано удачно...");
  ASSERT_NE(notice, events.end());
  EXPECT_LT(notice - events.begin(), std::find(events.begin(), events.end(), "progress end") - events.begin());
  EXPECT_LT(notice - events.begin(), std::find(events.begin(), events.end(), "fill") - events.begin());
  ExpectClosedDown();
}

TEST_F(OperatorsPageTest, FailedSingleReadKeepsFieldsBeforeTheFailureAndEmptiesTheRest) {
  ForceError(0, 2, 2, 0x23);
  page.Read(true, 2);
  EXPECT_EQ(Operator(2).position.Text(), Cp("0ОПЕРАТОР 2"));
  EXPECT_EQ(Operator(2).full_name.Text(), "");
  EXPECT_EQ(Operator(2).password.Text(), "");
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Не удалось прочитать параметр... " + link::DeviceErrorText(0x23)});
  EXPECT_EQ(Cell(2, 3), "");
}

TEST_F(OperatorsPageTest, ReadAllWithoutDeviceEndsAtTheFirstNo) {
  page.ApplyLine(2, 1, {Cp("МОЙ"), false});
  UnplugDevice();
  ui.answers = {ui::Answer::Yes, ui::Answer::No};
  page.Read(false, 0);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, "Не удалось прочитать параметр... " + kNoAnswer + "\n Продолжить?");
  EXPECT_EQ(ui.messages[0].icon, ui::Icon::Error);
  EXPECT_EQ(ui.messages[0].buttons, ui::Buttons::YesNo);
  EXPECT_EQ(Operator(1).position.Text(), "");
  EXPECT_EQ(Operator(1).password.Text(), "") << "the operator in progress was emptied before its read";
  EXPECT_EQ(Operator(2).position.Text(), Cp("0МОЙ")) << "later operators keep their fields";
  EXPECT_EQ(Utf(Cell(2, 1)), "МОЙ");
  EXPECT_EQ(ui.EventsStartingWith("progress "),
            (std::vector<std::string>{"progress start", "progress 1/96 1", "progress end"}));
  ExpectClosedDown();
}

TEST_F(OperatorsPageTest, ReadAllReadsEveryOperator) {
  device.WithDevice([](emulator::Km07Device& d) { d.state().Text(0, 32, 2) = Device("0ПЕТРОВ"); });
  page.Read(false, 0);
  EXPECT_EQ(Requests(), 96u);
  EXPECT_EQ(Utf(Cell(32, 2)), "ПЕТРОВ");
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Прочитано удачно..."});
}

TEST_F(OperatorsPageTest, ClearLeavesNetRowsAndEnabledBytes) {
  Operator(3).enabled = 0;
  page.Fill();
  page.Clear();
  EXPECT_EQ(Operator(3).position.Text(), Cp("0ОПЕРАТОР 3"));
  EXPECT_EQ(Utf(Cell(3, 1)), "ОПЕРАТОР 3");
  for (int n : {1, 2, 32}) {
    EXPECT_EQ(Operator(n).position.Text(), "");
    EXPECT_EQ(Operator(n).full_name.Text(), "");
    EXPECT_EQ(Operator(n).password.Text(), "");
    EXPECT_EQ(Operator(n).enabled, 1);
    EXPECT_EQ(Cell(n, 1), "");
    EXPECT_EQ(Cell(n, 3), "");
  }
  EXPECT_EQ(Requests(), 0u);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(OperatorsPageTest, BusyLinkRefusesEveryExchange) {
  link::Link::Operation other(device.link());
  page.Read(false, 0);
  page.Write(true, 1);
  EXPECT_EQ(Requests(), 0u);
  EXPECT_TRUE(ui.events.empty());
}

}  // namespace
}  // namespace tarnis::wizard
