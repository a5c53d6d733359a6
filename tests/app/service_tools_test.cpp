// The service tools of the main window: "Сравнить с ОРМИЗ КМ-07" and the "Журнал обмена" window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QToolBar>
#include <QTest>
#include <QToolButton>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "app/compare_dialog.h"
#include "app/exchange_log_window.h"
#include "app/main_window.h"
#include "app_test_support.h"
#include "emulated_device.h"
#include "link/commands.h"
#include "link/device_charset.h"
#include "platform/cp1251_codec.h"
#include "platform/whole_file.h"
#include "recording_user_interface.h"

namespace tarnis::app {
namespace {

class ServiceToolsTest : public ::testing::Test {
 protected:
  ServiceToolsTest() : window(std::make_unique<TForm1>(MainWindowServices{&device.link(), &ui})) {
    window->SetDeviceMenusEnabled(true);
  }

  // Runs "Сравнить с ОРМИЗ КМ-07" and returns the dialog's rows and count as they were shown.
  struct Shown {
    bool dialog = false;
    QString count;
    std::vector<QStringList> rows;
  };
  Shown Compare() {
    Shown shown;
    test::WhenModal<CompareDialog>([&shown](CompareDialog& dialog) {
      shown.dialog = true;
      shown.count = dialog.CountLabel->text();
      for (int row = 0; row < dialog.DifferenceTable->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < dialog.DifferenceTable->columnCount(); ++column)
          cells << dialog.DifferenceTable->item(row, column)->text();
        shown.rows.push_back(cells);
      }
      dialog.reject();
    }, window.get());
    window->N013->trigger();
    return shown;
  }

  test::EmulatedDevice device;
  test::RecordingUserInterface ui;
  std::unique_ptr<TForm1> window;
};

TEST_F(ServiceToolsTest, CompareSitsBesideTheTransfersAndShowsTheOneDifferenceLeavingTheRecordAlone) {
  const QList<QAction*> items = window->N5->menu()->actions();
  const auto write = items.indexOf(window->N012);
  ASSERT_GE(write, 0);
  EXPECT_EQ(items.value(write + 1), window->WriteChangesAction);
  EXPECT_EQ(items.value(write + 2), window->N013);
  EXPECT_EQ(QString(window->N013->text()).remove('&'), "Сравнить с ОРМИЗ КМ-07");
  EXPECT_EQ(items.value(write - 1), window->N011) << "the existing items keep their places";

  device.WithDevice([](emulator::Km07Device& d) {
    d.state().Text(2, 12, 1) = link::ToDeviceText(Utf8ToCp1251Lossy("1СТРИЖКА"));
  });
  const config::DeviceConfiguration before = window->configuration();
  const Shown shown = Compare();
  ASSERT_TRUE(shown.dialog);
  EXPECT_EQ(shown.count, "Различий: 1");
  ASSERT_EQ(shown.rows.size(), 1u);
  EXPECT_EQ(shown.rows[0], (QStringList{"Услуги", "12", "Строка 1", "«УСЛУГА 12 - СТРОКА 1», узкий", "«СТРИЖКА», широкий"}));
  EXPECT_EQ(std::memcmp(&before, &window->configuration(), sizeof before), 0);
  // The whole configuration and the eight blank forms.
  EXPECT_EQ(device.WithDevice([](emulator::Km07Device& d) { return d.total_requests_seen(); }), 335u + 8);
  // The usual wait window and progress ran and were closed.
  EXPECT_EQ(ui.EventsStartingWith("wait show").size(), 1u);
  EXPECT_EQ(ui.EventsStartingWith("wait close").size(), 1u);
  EXPECT_FALSE(ui.busy_cursor);
  EXPECT_FALSE(window->link().busy());
}

TEST_F(ServiceToolsTest, CompareOfAnEqualDeviceSaysSoAndAStoppedReadShowsNothing) {
  const Shown equal = Compare();
  ASSERT_TRUE(equal.dialog);
  EXPECT_EQ(equal.count, "Совпадает полностью");
  EXPECT_TRUE(equal.rows.empty());

  device.server().WithDevice([](emulator::Km07Device& d) { d.faults().silent = true; });
  ui.answers = {ui::Answer::No};
  const Shown stopped = Compare();
  EXPECT_FALSE(stopped.dialog);
  EXPECT_EQ(ui.MessageTexts().back(), "Не удалось прочитать параметр... Нет ответа или не удалось открыть порт.\n Продолжить?");
}

// The comparison acted on: copy (Ctrl+C and the button), the selected rows written and read
// back, the rest taken from the device, ending at a full match with the program showing it.
TEST_F(ServiceToolsTest, CompareWritesTheSelectedRowsTakesTheRestAndCopiesTheList) {
  device.WithDevice([](emulator::Km07Device& d) {
    d.state().Text(2, 12, 1) = link::ToDeviceText(Utf8ToCp1251Lossy("1СТРИЖКА"));
    d.state().Text(0, 3, 2) = link::ToDeviceText(Utf8ToCp1251Lossy("0ПЕТРОВ"));
    d.state().blanks[2].variant = 2;
  });
  const std::string program_service(window->configuration().services[11].lines[0].Text());
  struct Seen {
    QStringList buttons;
    QString all, one, note, count;
    bool table_shown = true, write_enabled = true;
  } seen;
  test::WhenModal<CompareDialog>([&seen](CompareDialog& dialog) {
    for (QPushButton* button : {dialog.WriteDifferencesButton, dialog.TakeFromDeviceButton, dialog.CopyButton})
      seen.buttons << button->objectName() + " " + button->text() + (button->autoDefault() ? " (Enter)" : "");
    QTest::keySequence(dialog.DifferenceTable, QKeySequence::Copy);
    seen.all = QApplication::clipboard()->text();
    for (const int row : {0, 2})
      dialog.DifferenceTable->selectionModel()->select(dialog.DifferenceTable->model()->index(row, 0),
                                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    dialog.WriteDifferencesButton->click();
    seen.note = dialog.ActionNoteLabel->text();
    dialog.DifferenceTable->selectRow(1);
    dialog.CopyButton->click();
    seen.one = QApplication::clipboard()->text();
    dialog.DifferenceTable->clearSelection();
    dialog.TakeFromDeviceButton->click();
    seen.count = dialog.CountLabel->text();
    seen.table_shown = dialog.DifferenceTable->isVisibleTo(&dialog);
    seen.write_enabled = dialog.WriteDifferencesButton->isEnabled();
    dialog.reject();
  });
  window->N013->trigger();
  EXPECT_EQ(seen.buttons, (QStringList{"WriteDifferencesButton Записать отличия в КМ", "TakeFromDeviceButton Взять из КМ",
                                       "CopyButton Копировать"}));
  const QString header = "Раздел\t№\tПоле\tВ программе\tВ КМ\n";
  EXPECT_EQ(seen.all, header + "Формы БСО\t3\tВариант\tнет\t2\n"
                               "Операторы\t3\tФ.И.О.\t«ФАМИЛИЯ 3», узкий\t«ПЕТРОВ», узкий\n"
                               "Услуги\t12\tСтрока 1\t«УСЛУГА 12 - СТРОКА 1», узкий\t«СТРИЖКА», широкий\n");
  EXPECT_EQ(seen.note, "Не записано строк: 1 (формы БСО записываются из конструктора).");
  EXPECT_EQ(seen.one, header + "Операторы\t3\tФ.И.О.\t«ФАМИЛИЯ 3», узкий\t«ПЕТРОВ», узкий\n")
      << "the written row left the list";
  EXPECT_EQ(seen.count, "Совпадает полностью");
  EXPECT_FALSE(seen.table_shown);
  EXPECT_FALSE(seen.write_enabled);
  EXPECT_EQ(device.WithDevice([](emulator::Km07Device& d) { return d.state().Text(2, 12, 1); }),
            link::ToDeviceText(program_service));
  EXPECT_EQ(window->configuration().operators[2].full_name.Text(), Utf8ToCp1251Lossy("0ПЕТРОВ"));
  EXPECT_EQ(window->blank_forms().Form(3)->variant, 2);
  EXPECT_TRUE(window->configuration_states().Changed(window->configuration()).empty());
  EXPECT_EQ(Compare().count, "Совпадает полностью");
}

// "Прервать" during the comparison's read ends it where answering No to a failure of the next
// request would: no dialog, the program's record untouched, the same requests sent and the same
// windows opened and closed; only the question is not asked. The time left shows meanwhile.
TEST_F(ServiceToolsTest, StopInTheMiddleOfTheCompareEqualsNoAtTheSameRequest) {
  struct Outcome {
    bool dialog = false;
    bool record_kept = false;
    std::size_t requests = 0;
    std::size_t messages = 0;
    std::vector<std::string> wait_events;
    bool time_left_shown = false;
    std::string time_left_at_end;
  };
  constexpr std::size_t kStopBefore = 96 + 1 + 150;  // a request in the middle of the services
  const auto compare = [](bool stop) {
    test::EmulatedDevice device;
    test::RecordingUserInterface ui;
    TForm1 window(MainWindowServices{&device.link(), &ui});
    window.SetDeviceMenusEnabled(true);
    device.WithDevice([](emulator::Km07Device& d) {
      d.state().Text(2, 1, 1) = link::ToDeviceText(Utf8ToCp1251Lossy("1СТРИЖКА"));
    });
    const auto requests = [&] { return device.WithDevice([](emulator::Km07Device& d) { return d.total_requests_seen(); }); };
    if (stop) {
      ui.on_process_events = [&] {
        if (requests() == kStopBefore - 1) ui.stop_requested = true;
      };
    } else {
      const auto [row, field] = std::div(static_cast<int>(kStopBefore - 1 - 97), 2);
      device.WithDevice([row, field](emulator::Km07Device& d) {
        d.faults().forced_errors.push_back({link::Command::Parameter, 2, static_cast<std::uint8_t>(row + 1),
                                            static_cast<std::uint8_t>(field + 1), 51});
      });
      ui.answers = {ui::Answer::No};
    }
    const config::DeviceConfiguration before = window.configuration();
    Outcome outcome;
    test::WhenModal<CompareDialog>([&outcome](CompareDialog& dialog) {
      outcome.dialog = true;
      dialog.reject();
    });
    window.N013->trigger();
    outcome.record_kept = std::memcmp(&before, &window.configuration(), sizeof before) == 0;
    outcome.requests = requests();
    outcome.messages = ui.messages.size();
    outcome.wait_events = ui.EventsStartingWith("wait ");
    outcome.time_left_shown = !ui.EventsStartingWith("time left осталось ≈ ").empty();
    outcome.time_left_at_end = ui.time_left;
    return outcome;
  };
  const Outcome stopped = compare(true);
  const Outcome answered_no = compare(false);
  EXPECT_FALSE(stopped.dialog);
  EXPECT_FALSE(answered_no.dialog);
  EXPECT_TRUE(stopped.record_kept);
  EXPECT_TRUE(answered_no.record_kept);
  EXPECT_EQ(stopped.requests, kStopBefore - 1) << "the request under way ends, no other goes out";
  EXPECT_EQ(answered_no.requests, kStopBefore);  // the failed request itself
  EXPECT_EQ(stopped.messages, 0u) << "a stop asks nothing";
  EXPECT_EQ(answered_no.messages, 1u);
  EXPECT_EQ(stopped.wait_events, answered_no.wait_events);
  EXPECT_TRUE(stopped.time_left_shown);
  EXPECT_EQ(stopped.time_left_at_end, "");
}

TEST_F(ServiceToolsTest, LogWindowShowsTheStatusExchangeAndClearsCopiesAndSaves) {
  // The tool button is the last on the tool bar, and works even while an operation runs.
  const QList<QAction*> tools = window->ToolBar1->actions();
  ASSERT_FALSE(tools.isEmpty());
  EXPECT_EQ(window->ToolBar1->widgetForAction(tools.back()), window->ExchangeLogButton);
  EXPECT_EQ(window->ExchangeLogAction->shortcut(), QKeySequence("Ctrl+L"));

  ASSERT_TRUE(link::RequestStatus(window->link()).ok()) << "an exchange before the window opens is kept too";
  {
    const link::Link::Operation operation(window->link());
    window->ExchangeLogButton->click();
  }
  ExchangeLogWindow* log = window->exchange_log_window();
  ASSERT_NE(log, nullptr);
  EXPECT_TRUE(log->isVisible());
  EXPECT_FALSE(log->isModal());
  EXPECT_EQ(log->windowTitle(), "Журнал обмена");

  ASSERT_TRUE(link::RequestStatus(window->link()).ok());
  const auto& records = window->exchange_log().records();
  ASSERT_EQ(records.size(), 2u);
  const QStringList lines = log->Text().split('\n');
  ASSERT_EQ(lines.size(), 2);
  for (const QString& line : lines) {
    EXPECT_TRUE(line.contains(QString::fromStdString("> " + link::HexBytes(records.back().request)))) << line.toStdString();
    EXPECT_TRUE(line.contains("запрос состояния"));
  }
  EXPECT_TRUE(lines[1].contains(QString::fromStdString("< " + link::HexBytes(records.back().answer))));

  log->CopyButton->click();
  EXPECT_EQ(QApplication::clipboard()->text(), log->Text());
  QTextCursor cursor = log->LogText->textCursor();
  cursor.movePosition(QTextCursor::Start);
  cursor.movePosition(QTextCursor::EndOfLine, QTextCursor::KeepAnchor);
  log->LogText->setTextCursor(cursor);
  log->CopyButton->click();
  EXPECT_EQ(QApplication::clipboard()->text(), lines[0]) << "a selection is copied alone";
  log->LogText->moveCursor(QTextCursor::End);

  const std::string path = (std::filesystem::temp_directory_path() / "tarnis-log-window-test.txt").string();
  ui.file_choices = {path};
  log->SaveButton->click();
  const auto saved = ReadFileUpTo(path, 1 << 20);
  ASSERT_TRUE(saved);
  EXPECT_EQ(QString::fromUtf8(reinterpret_cast<const char*>(saved->data()), static_cast<qsizetype>(saved->size())),
            log->Text() + "\n");
  EXPECT_EQ(ui.MessageTexts().back(), "Сохранено...");
  std::filesystem::remove(path);

  log->ClearButton->click();
  EXPECT_TRUE(log->Text().isEmpty());
  EXPECT_TRUE(window->exchange_log().records().empty());

  // Closed, it stops following; opened again, it shows what came meanwhile.
  log->close();
  ASSERT_TRUE(link::RequestStatus(window->link()).ok());
  EXPECT_TRUE(log->Text().isEmpty());
  window->ExchangeLogAction->trigger();
  EXPECT_EQ(log->Text().count('\n'), 0);
  EXPECT_TRUE(log->Text().contains("запрос состояния"));
}

TEST_F(ServiceToolsTest, LogFileGetsEveryExchangeWithTheWindowClosed) {
  const std::string path = (std::filesystem::temp_directory_path() / "tarnis-main-window-log-test.log").string();
  std::filesystem::remove(path);
  std::string error;
  ASSERT_TRUE(window->OpenLogFile(path, &error)) << error;
  ASSERT_TRUE(link::RequestStatus(window->link()).ok());
  ASSERT_TRUE(link::RequestStatus(window->link()).ok());
  EXPECT_EQ(window->exchange_log_window(), nullptr);
  const auto saved = ReadFileUpTo(path, 1 << 20);
  ASSERT_TRUE(saved);
  const std::string text(saved->begin(), saved->end());
  EXPECT_EQ(text, link::FormatExchange(window->exchange_log().records()[0]) + "\n" +
                      link::FormatExchange(window->exchange_log().records()[1]) + "\n");
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace tarnis::app
