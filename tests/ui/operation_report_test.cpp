#include "ui/operation_report.h"

#include <gtest/gtest.h>

#include "recording_user_interface.h"

namespace tarnis::ui {
namespace {

OperationReport ReportWith(Direction direction, int successes, int failures) {
  OperationReport report(direction);
  for (int i = 0; i < successes; ++i) report.Succeeded();
  for (int i = 1; i <= failures; ++i) report.Failed("Товар " + std::to_string(i), "(5" + std::to_string(i % 10) + ")");
  return report;
}

TEST(OperationReport, ClosingBoxSaysWhatFailed) {
  const struct {
    Direction direction;
    int successes, failures;
    std::string text;
  } cases[] = {
      {Direction::Read, 7, 2, "Прочитано с ошибками: не прочитано 2 из 9.\nТовар 1\nТовар 2"},
      {Direction::Write, 0, 1, "Записано с ошибками: не записано 1 из 1.\nТовар 1"},
      {Direction::Read, 0, 15,
       "Прочитано с ошибками: не прочитано 15 из 15.\nТовар 1\nТовар 2\nТовар 3\nТовар 4\nТовар 5\nТовар 6\nТовар 7\n"
       "Товар 8\nТовар 9\nТовар 10\nТовар 11\nТовар 12\nТовар 13\nТовар 14\nТовар 15"},
      {Direction::Write, 984, 17,
       "Записано с ошибками: не записано 17 из 1001.\nТовар 1\nТовар 2\nТовар 3\nТовар 4\nТовар 5\nТовар 6\nТовар 7\n"
       "Товар 8\nТовар 9\nТовар 10\nТовар 11\nТовар 12\nТовар 13\nТовар 14\nТовар 15\nи ещё 2"},
  };
  for (const auto& c : cases) {
    OperationReport report = ReportWith(c.direction, c.successes, c.failures);
    report.AddRemark("Клише 2 не записывалось: аппарат принимает клише 1.");
    test::RecordingUserInterface ui;
    std::vector<std::string> notes;
    report.Close(ui, "Записано удачно...", [&](const std::string& line) { notes.push_back(line); });
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, c.text + "\nКлише 2 не записывалось: аппарат принимает клише 1.");
    EXPECT_EQ(ui.messages[0].caption, "Предупреждение...");
    EXPECT_EQ(ui.messages[0].icon, Icon::Warning);
    EXPECT_EQ(ui.messages[0].buttons, Buttons::Ok);
    // The log gets every failure, past the fifteen the box names, with its reason.
    ASSERT_EQ(notes.size(), static_cast<std::size_t>(c.failures) + 2);
    EXPECT_EQ(notes.front(), report.Summary());
    EXPECT_EQ(notes[1], "Товар 1: (51)");
    EXPECT_EQ(notes.back(), "Клише 2 не записывалось: аппарат принимает клише 1.");
  }
}

TEST(OperationReport, RunWithoutFailureKeepsTheSuccessNotice) {
  OperationReport report = ReportWith(Direction::Read, 335, 0);
  test::RecordingUserInterface ui;
  bool noted = false;
  report.Close(ui, "Прочитано удачно...", [&](const std::string&) { noted = true; });
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Прочитано удачно...");
  EXPECT_EQ(ui.messages[0].caption, "Предупреждение...");
  EXPECT_EQ(ui.messages[0].icon, Icon::Information);
  EXPECT_FALSE(noted);
  EXPECT_TRUE(report.AllSucceeded());
}

}  // namespace
}  // namespace tarnis::ui
