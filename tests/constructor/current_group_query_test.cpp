#include "constructor/current_group_query.h"

#include <gtest/gtest.h>

#include "emulated_device.h"
#include "recording_user_interface.h"

namespace tarnis::constructor {
namespace {

const char* const kQuestion = "Не удалось выполнить запрос состояния!\nТекущая группа неизвестна. Желаете продолжить?";

class CurrentGroupQueryTest : public ::testing::Test {
 protected:
  std::size_t Requests(link::Command command) {
    return device.WithDevice([command](emulator::Km07Device& d) { return d.requests_seen(command); });
  }

  test::EmulatedDevice device;
  test::RecordingUserInterface ui;
  BlankFormTable table;
};

TEST_F(CurrentGroupQueryTest, AnAnsweringDeviceGivesItsGroupAndRefreshesTheTable) {
  device.WithDevice([](emulator::Km07Device& d) {
    d.state().group = 3;
    d.state().blanks[6].held = false;
    d.state().blanks[1] = {true, 5, 8, 0};
  });
  const GroupQueryResult result = QueryCurrentGroup(device.link(), ui, table);
  EXPECT_EQ(result.outcome, GroupQueryOutcome::OpenWithGroup);
  EXPECT_TRUE(result.OpensConstructor());
  EXPECT_EQ(result.GroupLabel(), "3");
  EXPECT_EQ(table.Form(7)->programmed, 0);
  EXPECT_EQ(*table.Form(2), (BlankFormEntry{1, 5, 8, 0}));
  EXPECT_EQ(Requests(link::Command::Blank), 8u);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ui.EventsStartingWith("wait"),
            (std::vector<std::string>{"wait step Запрос текущей группы...", "wait show", "wait close"}));
  EXPECT_FALSE(ui.wait_visible);
}

TEST_F(CurrentGroupQueryTest, StopDuringTheBlankRefreshKeepsTheFormsNotYetAskedAndOpensWithTheGroup) {
  device.WithDevice([](emulator::Km07Device& d) {
    d.state().group = 2;
    for (auto& blank : d.state().blanks) blank = {true, 4, 1, 0};
  });
  const BlankFormTable before = table;
  // "Прервать" is pressed while the third form's request is under way.
  ui.on_process_events = [&] {
    if (Requests(link::Command::Blank) == 3u) ui.stop_requested = true;
  };
  const GroupQueryResult result = QueryCurrentGroup(device.link(), ui, table);
  EXPECT_EQ(result.outcome, GroupQueryOutcome::OpenWithGroup);
  EXPECT_EQ(result.GroupLabel(), "2");
  EXPECT_EQ(Requests(link::Command::Blank), 3u);
  for (int form = 1; form <= kFormCount; ++form)
    EXPECT_EQ(*table.Form(form), form <= 3 ? (BlankFormEntry{1, 4, 1, 0}) : *before.Form(form)) << form;
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(ui.wait_visible);
}

TEST_F(CurrentGroupQueryTest, NoAnswerAsksAndYesOpensWithTheTableAsItWas) {
  device.WithDevice([](emulator::Km07Device& d) { d.faults().silent = true; });
  table.Form(4)->programmed = 0;
  const BlankFormTable before = table;
  ui.answers = {ui::Answer::Yes};
  const GroupQueryResult result = QueryCurrentGroup(device.link(), ui, table);
  EXPECT_EQ(result.outcome, GroupQueryOutcome::OpenWithoutGroup);
  EXPECT_TRUE(result.OpensConstructor());
  EXPECT_EQ(result.GroupLabel(), "");
  EXPECT_EQ(table, before);
  EXPECT_EQ(Requests(link::Command::Blank), 0u);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, kQuestion);
  EXPECT_EQ(ui.messages[0].caption, "Подтверждение...");
  EXPECT_EQ(ui.messages[0].icon, ui::Icon::Question);
  EXPECT_EQ(ui.messages[0].buttons, ui::Buttons::YesNo);
  EXPECT_FALSE(ui.wait_visible);
  EXPECT_FALSE(ui.busy_cursor);
}

TEST_F(CurrentGroupQueryTest, NoAnswerAndNoKeepsTheConstructorClosed) {
  device.WithDevice([](emulator::Km07Device& d) { d.faults().silent = true; });
  ui.answers = {ui::Answer::No};
  const GroupQueryResult result = QueryCurrentGroup(device.link(), ui, table);
  EXPECT_EQ(result.outcome, GroupQueryOutcome::StayClosed);
  EXPECT_FALSE(result.OpensConstructor());
  EXPECT_EQ(table, BlankFormTable{});
  EXPECT_EQ(ui.EventsStartingWith("wait").back(), "wait close");
}

TEST_F(CurrentGroupQueryTest, ABusyLinkIsLeftAlone) {
  link::Link::Operation transfer(device.link());
  const GroupQueryResult result = QueryCurrentGroup(device.link(), ui, table);
  EXPECT_EQ(result.outcome, GroupQueryOutcome::Busy);
  EXPECT_FALSE(result.OpensConstructor());
  EXPECT_TRUE(ui.events.empty());
  EXPECT_EQ(Requests(link::Command::Status), 0u);
}

}  // namespace
}  // namespace tarnis::constructor
