#include "config/changes_write.h"
#include "config/config_transfer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "config/config_file.h"
#include "config/config_verification.h"
#include "config/difference_actions.h"
#include "emulated_device.h"
#include "link/device_charset.h"
#include "link/device_errors.h"
#include "platform/cp1251_codec.h"
#include "recording_user_interface.h"
#include "ui/operation_report.h"

namespace tarnis::config {
namespace {

using emulator::Km07Device;
using link::Command;

std::string Cp(const std::string& utf8) { return Utf8ToCp1251Lossy(utf8); }
std::string Device(const std::string& utf8) { return link::ToDeviceText(Cp(utf8)); }

const std::string kNoAnswerQuestion =
    "Не удалось прочитать параметр... Нет ответа или не удалось открыть порт.\n Продолжить?";

class ConfigTransferTest : public ::testing::Test {
 protected:
  void SetUp() override { FillDefaults(configuration); }

  std::size_t ParameterRequests() {
    return device.WithDevice([](Km07Device& d) { return d.requests_seen(Command::Parameter); });
  }
  std::string DeviceText(int table, int row, int field) {
    return device.WithDevice([&](Km07Device& d) { return d.state().Text(table, row, field); });
  }
  std::vector<std::string> ProgressSteps(int total) {
    std::vector<std::string> steps;
    const std::string suffix = "/" + std::to_string(total) + " ";
    for (const auto& event : ui.EventsStartingWith("progress "))
      if (event.find(suffix) != std::string::npos) steps.push_back(event);
    return steps;
  }
  // The link now addresses a port that does not exist: every request fails at once.
  void UnplugDevice() { device.link().settings().port_name = "COM100"; }
  void ExpectClosedDown() {
    EXPECT_FALSE(ui.wait_visible);
    EXPECT_FALSE(ui.progress_visible);
    EXPECT_FALSE(ui.busy_cursor);
  }

  test::EmulatedDevice device;
  test::RecordingUserInterface ui;
  DeviceConfiguration configuration;
};

TEST_F(ConfigTransferTest, FullReadTakesEveryTextAndRefreshesEachSection) {
  device.WithDevice([](Km07Device& d) {
    d.state().Text(0, 3, 1) = Device("1КАССИР");
    d.state().Text(0, 1, 3) = "1234567";          // longer than a password field
    d.state().Text(2, 1, 1) = std::string(25, 'a');  // fills the whole device text
    d.state().Text(1, 1, 1) = Device("0КВИТАНЦИЯ");
    d.state().Text(4, 2, 8) = Device("0ДО СВИДАНИЯ");
    d.state().enabled[0][3] = 0;
    d.state().enabled[2][49] = 0;
    d.state().enabled[3][1] = 0;
  });
  std::vector<std::string> refreshed;
  RefreshCallbacks refresh{[&] { refreshed.push_back("operators"); }, [&] { refreshed.push_back("document"); },
                           [&] { refreshed.push_back("services"); }, [&] { refreshed.push_back("requisites"); },
                           [&](int c) { refreshed.push_back("cliche " + std::to_string(c)); }};

  ASSERT_TRUE(ReadAllFromDevice(device.link(), ui, configuration, refresh));

  EXPECT_EQ(ParameterRequests(), 335u);
  EXPECT_EQ(configuration.operators[2].position.Text(), Cp("1КАССИР"));
  EXPECT_EQ(configuration.operators[0].password.Text(), "12345");
  EXPECT_EQ(configuration.operators[0].enabled, 1);
  EXPECT_EQ(configuration.services[0].lines[0].Text(), link::FromDeviceText(std::string(25, 'a')));
  EXPECT_EQ(configuration.services[0].lines[0].Text().size(), 25u);
  EXPECT_EQ(configuration.services[0].enabled, 1);
  EXPECT_EQ(configuration.document_name.Text(), Cp("0КВИТАНЦИЯ"));
  EXPECT_EQ(configuration.cliches[1].lines[7].Text(), Cp("0ДО СВИДАНИЯ"));
  EXPECT_EQ(configuration.operators[3].enabled, 0);
  EXPECT_EQ(configuration.services[49].enabled, 0);
  EXPECT_EQ(configuration.requisites[1].enabled, 1) << "the whole read keeps the requisites' enabled bytes";

  EXPECT_EQ(refreshed, (std::vector<std::string>{"operators", "document", "services", "requisites", "cliche 1",
                                                 "cliche 2"}));
  EXPECT_EQ(ui.EventsStartingWith("wait step "),
            (std::vector<std::string>{"wait step Данные операторов...", "wait step ДСО...",
                                      "wait step Наименование услуг...", "wait step Дополнительные реквизиты...",
                                      "wait step Клише..."}));
  EXPECT_TRUE(ui.EventsStartingWith("wait caption").empty()) << "the read leaves the caption alone";
  const auto operator_steps = ProgressSteps(96);
  ASSERT_EQ(operator_steps.size(), 96u);
  EXPECT_EQ(operator_steps.front(), "progress 1/96 1");
  EXPECT_EQ(operator_steps[2], "progress 3/96 3");
  EXPECT_EQ(operator_steps.back(), "progress 96/96 100");
  EXPECT_EQ(ProgressSteps(198).size(), 198u);
  EXPECT_EQ(ProgressSteps(24).back(), "progress 24/24 100");
  EXPECT_EQ(ProgressSteps(8).size(), 16u) << "clichés restart at 1 for each cliché";
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Прочитано удачно...");
  EXPECT_EQ(ui.messages[0].caption, "Предупреждение...");
  EXPECT_EQ(ui.messages[0].icon, ui::Icon::Information);
  ExpectClosedDown();
}

TEST_F(ConfigTransferTest, ReadFromASilentDeviceStopsAtTheFirstNo) {
  device.WithDevice([](Km07Device& d) { d.faults().silent = true; });
  const DeviceConfiguration before = configuration;
  ui.answers = {ui::Answer::No};

  EXPECT_FALSE(ReadAllFromDevice(device.link(), ui, configuration));

  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, kNoAnswerQuestion);
  EXPECT_EQ(ui.messages[0].caption, "Ошибка...");
  EXPECT_EQ(ui.messages[0].icon, ui::Icon::Error);
  EXPECT_EQ(ui.messages[0].buttons, ui::Buttons::YesNo);
  EXPECT_EQ(ParameterRequests(), 1u);
  EXPECT_EQ(std::memcmp(&configuration, &before, sizeof before), 0);
  EXPECT_TRUE(ui.EventsStartingWith("progress ").size() == 2) << "start and end, no step after No";
  ExpectClosedDown();
}

TEST_F(ConfigTransferTest, ReadWithoutDeviceAnsweredYesRunsThroughAndChangesNothing) {
  UnplugDevice();
  const DeviceConfiguration before = configuration;
  ui.default_answer = ui::Answer::Yes;

  std::vector<std::string> notes;
  device.link().SetNoteObserver([&](const std::string& line) { notes.push_back(line); });

  EXPECT_TRUE(ReadAllFromDevice(device.link(), ui, configuration));

  ASSERT_EQ(ui.messages.size(), 336u);
  EXPECT_TRUE(std::all_of(ui.messages.begin(), ui.messages.end() - 1,
                          [](const test::RecordedMessage& m) { return m.text == kNoAnswerQuestion; }));
  const std::string& closing = ui.messages.back().text;
  EXPECT_TRUE(closing.starts_with("Прочитано с ошибками: не прочитано 335 из 335.\nОператоры №1, Должность\n"))
      << closing;
  EXPECT_TRUE(closing.ends_with("\nОператоры №5, Пароль\nи ещё 320")) << closing;
  EXPECT_EQ(ui.messages.back().icon, ui::Icon::Warning);
  ASSERT_EQ(notes.size(), 336u);
  EXPECT_EQ(notes[33], "Операторы №11, Пароль: Нет ответа или не удалось открыть порт.");
  EXPECT_EQ(notes[97], "ДСО: Нет ответа или не удалось открыть порт.");
  EXPECT_EQ(notes[98], "Услуги №1, строка 1: Нет ответа или не удалось открыть порт.");
  EXPECT_EQ(notes[296], "Дополнительные реквизиты №1, строка 1: Нет ответа или не удалось открыть порт.");
  EXPECT_EQ(notes.back(), "Клише 2, строка 8: Нет ответа или не удалось открыть порт.");
  EXPECT_EQ(std::memcmp(&configuration, &before, sizeof before), 0);
  ExpectClosedDown();
}

TEST_F(ConfigTransferTest, ReadStoppedInTheRequisitesKeepsWhatWasReadAndCloses) {
  device.WithDevice([](Km07Device& d) {
    d.state().Text(2, 99, 2) = Device("0ПОСЛЕДНЯЯ");
    d.state().Text(3, 2, 2) = Device("0НЕ ДОЙДЕТ");
    d.faults().forced_errors.push_back({Command::Parameter, 3, 2, 1, link::kErrorRecordInUse});
  });
  ui.answers = {ui::Answer::No};
  bool cliche_refreshed = false;
  RefreshCallbacks refresh;
  refresh.cliche = [&](int) { cliche_refreshed = true; };

  EXPECT_FALSE(ReadAllFromDevice(device.link(), ui, configuration, refresh));

  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text,
            "Не удалось прочитать параметр... " + link::DeviceErrorText(link::kErrorRecordInUse) + "\n Продолжить?");
  EXPECT_EQ(configuration.services[98].lines[1].Text(), Cp("0ПОСЛЕДНЯЯ"));
  EXPECT_EQ(configuration.requisites[1].lines[1].Text(), Cp("0ДОП. РЕК 2 - СТРОКА 2"));
  EXPECT_EQ(ParameterRequests(), 96u + 1 + 198 + 4);
  EXPECT_FALSE(cliche_refreshed);
  ExpectClosedDown();
}

// "Прервать" during a request ends the read where answering No to a failure of the next request
// would: the same record, the same sections refreshed, no closing notice, everything closed.
TEST_F(ConfigTransferTest, StopInTheMiddleOfAReadEqualsNoAtTheSameRequest) {
  struct Outcome {
    ConfigurationFileImage record;
    std::vector<std::string> refreshed;
    std::vector<std::string> wait_steps;
    bool done = true;
  };
  const auto read = [](bool stop) {
    test::EmulatedDevice device;
    test::RecordingUserInterface ui;
    DeviceConfiguration configuration;
    FillDefaults(configuration);
    device.WithDevice([](Km07Device& d) {
      d.state().Text(3, 1, 3) = Device("0ПРОЧИТАНО");
      d.state().Text(3, 2, 1) = Device("0НЕ ДОЙДЕТ");
    });
    const auto requests = [&] { return device.WithDevice([](Km07Device& d) { return d.requests_seen(Command::Parameter); }); };
    if (stop) {
      // The user clicks while the request before (3, 2, 1) runs; the click arrives with the
      // events let through after it.
      ui.on_process_events = [&] {
        if (requests() == 96u + 1 + 198 + 3) ui.stop_requested = true;
      };
    } else {
      device.WithDevice([](Km07Device& d) { d.faults().forced_errors.push_back({Command::Parameter, 3, 2, 1, 51}); });
      ui.answers = {ui::Answer::No};
    }
    Outcome outcome;
    RefreshCallbacks refresh;
    refresh.operators = [&] { outcome.refreshed.push_back("operators"); };
    refresh.document_name = [&] { outcome.refreshed.push_back("name"); };
    refresh.services = [&] { outcome.refreshed.push_back("services"); };
    refresh.requisites = [&] { outcome.refreshed.push_back("requisites"); };
    refresh.cliche = [&](int) { outcome.refreshed.push_back("cliche"); };
    outcome.done = ReadAllFromDevice(device.link(), ui, configuration, refresh);
    outcome.record = EncodeConfigurationFile({}, configuration);
    outcome.wait_steps = ui.EventsStartingWith("wait ");
    EXPECT_EQ(ui.messages.size(), stop ? 0u : 1u) << "a stop asks nothing and shows no closing notice";
    EXPECT_EQ(requests(), 96u + 1 + 198 + (stop ? 3 : 4));
    EXPECT_FALSE(ui.EventsStartingWith("time left осталось ≈ ").empty());
    EXPECT_EQ(ui.time_left, "");
    return outcome;
  };
  const Outcome stopped = read(true);
  const Outcome answered_no = read(false);
  EXPECT_FALSE(stopped.done);
  EXPECT_EQ(stopped.record, answered_no.record);
  EXPECT_EQ(stopped.refreshed, answered_no.refreshed);
  EXPECT_EQ(stopped.wait_steps, answered_no.wait_steps);
  EXPECT_EQ(stopped.wait_steps.back(), "wait close");
}

TEST_F(ConfigTransferTest, StopDuringAWriteSendsNothingMore) {
  std::size_t stop_after = 50;
  ui.on_process_events = [&] {
    if (ParameterRequests() == stop_after) ui.stop_requested = true;
  };
  EXPECT_FALSE(WriteAllToDevice(device.link(), ui, configuration));
  EXPECT_EQ(ParameterRequests(), stop_after);
  EXPECT_TRUE(ui.messages.empty());
  ExpectClosedDown();

  // Stopped once the requisites are written: neither the cliché probe nor a line goes out.
  test::RecordingUserInterface late;
  stop_after += 96 + 1 + 198 + 24;
  late.on_process_events = [&] {
    if (ParameterRequests() == stop_after) late.stop_requested = true;
  };
  EXPECT_FALSE(WriteAllToDevice(device.link(), late, configuration));
  EXPECT_EQ(ParameterRequests(), stop_after);
  EXPECT_TRUE(late.messages.empty());
  EXPECT_FALSE(late.wait_visible);
}

TEST_F(ConfigTransferTest, FullWriteSendsEveryEnabledTextAndOneCliche) {
  configuration.operators[0].full_name.SetBody('1', Cp("ИВАНОВ"));
  configuration.document_name.Set(Cp("0КВИТАНЦИЯ"));
  configuration.services[98].lines[1].Set(Cp("0СТРИЖКА"));
  configuration.requisites[7].lines[2].Set(Cp("0ИНН 123"));
  configuration.cliches[0].lines[7].Set(Cp("0СПАСИБО"));
  configuration.cliches[1].lines[0].Set(Cp("0ВТОРОЕ"));

  ASSERT_TRUE(WriteAllToDevice(device.link(), ui, configuration));

  EXPECT_EQ(ParameterRequests(), 96u + 1 + 198 + 24 + 1 + 8);
  EXPECT_EQ(DeviceText(0, 1, 2), "1iwanow");
  EXPECT_EQ(DeviceText(1, 1, 1), Device("0КВИТАНЦИЯ"));
  EXPECT_EQ(DeviceText(2, 99, 2), Device("0СТРИЖКА"));
  EXPECT_EQ(DeviceText(3, 8, 3), Device("0ИНН 123"));
  EXPECT_EQ(DeviceText(4, 1, 8), Device("0СПАСИБО"));
  EXPECT_EQ(DeviceText(4, 2, 1), Device("0СТРОКА КЛИШЕ 0")) << "only the first accepted cliché is written";
  EXPECT_EQ(ui.wait_caption, "Загрузка...");
  EXPECT_EQ(ui.EventsStartingWith("wait step "),
            (std::vector<std::string>{"wait step Данные операторов...", "wait step Загрузка ДСО...",
                                      "wait step Загрузка услуг...", "wait step Загрузка дополнительных услуг...",
                                      "wait step Загрузка клише..."}));
  EXPECT_EQ(ProgressSteps(8).size(), 8u);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, std::string("Записано удачно...\n") + kClicheTwoNotWritten);
  EXPECT_EQ(ui.messages[0].caption, "Предупреждение...");
  ExpectClosedDown();
}

TEST_F(ConfigTransferTest, WriteSkipsDisabledItemsAndUnusablePasswords) {
  configuration.operators[4].enabled = 0;
  configuration.operators[5].password.Set("");
  configuration.operators[6].password.Set("0");
  configuration.operators[7].password.Set("0000");
  configuration.operators[8].password.Set("12a");
  configuration.services[2].enabled = 0;
  configuration.requisites[0].enabled = 0;
  for (int n = 5; n <= 9; ++n) configuration.operators[n - 1].position.Set("0CHANGED");
  configuration.services[2].lines[0].Set("0CHANGED");
  configuration.requisites[0].lines[0].Set("0CHANGED");

  ASSERT_TRUE(WriteAllToDevice(device.link(), ui, configuration));

  for (int n = 5; n <= 9; ++n) EXPECT_EQ(DeviceText(0, n, 1), Device("0ОПЕРАТОР " + std::to_string(n))) << n;
  EXPECT_EQ(DeviceText(0, 10, 1), Device("0ОПЕРАТОР 10"));
  EXPECT_EQ(DeviceText(2, 3, 1), Device("0УСЛУГА 3 - СТРОКА 1"));
  EXPECT_EQ(DeviceText(3, 1, 1), Device("0ДОП. РЕК 1 - СТРОКА 1"));
  EXPECT_EQ(ParameterRequests(), 96u - 15 + 1 + 198 - 2 + 24 - 3 + 1 + 8);
  const auto operator_steps = ProgressSteps(96);
  for (int step = 13; step <= 27; ++step)
    EXPECT_EQ(std::count(operator_steps.begin(), operator_steps.end(),
                         "progress " + std::to_string(step) + "/96 " + std::to_string(step * 100 / 96)),
              0)
        << step;
  EXPECT_EQ(operator_steps.size(), 81u);
  EXPECT_EQ(ProgressSteps(198).size(), 196u);
  EXPECT_EQ(ProgressSteps(24).size(), 21u);
  EXPECT_FALSE(ui.busy_cursor);
}

TEST_F(ConfigTransferTest, RefusedClicheOneGetsClicheTwoWritten) {
  device.WithDevice([](Km07Device& d) { d.state().cliche_locked[0] = true; });
  configuration.cliches[1].lines[3].Set(Cp("0ВТОРОЕ КЛИШЕ"));

  ASSERT_TRUE(WriteAllToDevice(device.link(), ui, configuration));

  EXPECT_EQ(DeviceText(4, 2, 4), Device("0ВТОРОЕ КЛИШЕ"));
  EXPECT_EQ(ParameterRequests(), 96u + 1 + 198 + 24 + 2 + 8);
  EXPECT_EQ(ProgressSteps(8).size(), 8u);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Записано удачно..."});
}

TEST_F(ConfigTransferTest, BothClichesRefusedStillCompletesAndClosesDown) {
  device.WithDevice([](Km07Device& d) { d.state().cliche_locked = {true, true}; });

  ASSERT_TRUE(WriteAllToDevice(device.link(), ui, configuration));

  EXPECT_EQ(ParameterRequests(), 96u + 1 + 198 + 24 + 2);
  EXPECT_TRUE(ProgressSteps(8).empty());
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Записано удачно..."});
  ExpectClosedDown();
}

TEST_F(ConfigTransferTest, WriteFailureAnsweredNoEndsAtOnce) {
  device.WithDevice([](Km07Device& d) { d.state().enabled[2][4] = 0; });
  ui.answers = {ui::Answer::Yes, ui::Answer::No};

  EXPECT_FALSE(WriteAllToDevice(device.link(), ui, configuration));

  const std::string refused =
      "Не удалось записать параметр... " + link::DeviceErrorText(link::kErrorRecordInUse) + "\n Продолжить?";
  EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{refused, refused}));
  EXPECT_EQ(ParameterRequests(), 96u + 1 + 8 + 2);
  EXPECT_EQ(configuration.services[4].enabled, 0) << "the answer's attribute updates the enabled byte";
  EXPECT_EQ(ProgressSteps(198).back(), "progress 9/198 4") << "Yes goes on; No takes no further step";
  ExpectClosedDown();
}

TEST_F(ConfigTransferTest, ChangesWriteSendsOnlyEditedTextsUnderTheWholeWriteRules) {
  ConfigurationStates states(configuration);
  configuration.operators[4].password.Set("777");           // a password alone: one request
  configuration.document_name.SetWidth(ConfigText::kWide);  // a width alone
  configuration.services[98].lines[1].Set(Cp("0СТРИЖКА"));
  configuration.services[2].enabled = 0;                    // disabled: not written
  configuration.services[2].lines[0].Set("0X");
  configuration.operators[6].password.Set("0");             // password 0: not written
  const std::string cliche_line(configuration.cliches[1].lines[7].Text());
  configuration.cliches[1].lines[7].Set("0X");              // cliché 1 is the one the device takes

  std::vector<ParameterAddress> written;
  ASSERT_TRUE(WriteChangesToDevice(device.link(), ui, configuration, states, &written));

  EXPECT_EQ(ParameterRequests(), 3u + 1) << "three texts and the cliché probe";
  EXPECT_EQ(written, (std::vector<ParameterAddress>{{0, 5, 3}, {1, 1, 1}, {2, 99, 2}}));
  EXPECT_EQ(DeviceText(0, 5, 3), "777");
  EXPECT_EQ(DeviceText(2, 99, 2), Device("0СТРИЖКА"));
  EXPECT_EQ(states.Changed(configuration),
            (std::vector<ParameterAddress>{{0, 7, 3}, {2, 3, 1}, {4, 2, 8}}));
  EXPECT_EQ(ui.wait_caption, "Загрузка...");
  EXPECT_EQ(ui.EventsStartingWith("wait step "),
            (std::vector<std::string>{"wait step Данные операторов...", "wait step Загрузка ДСО...",
                                      "wait step Загрузка услуг...", "wait step Загрузка клише..."}));
  EXPECT_EQ(ui.MessageTexts(),
            std::vector<std::string>{"Записано изменений: 3.\n" + std::string(kClicheTwoNotWritten)});

  // Nothing left that the device takes; with no edits at all, not even the probe goes out.
  configuration.services[2].enabled = 1;
  configuration.operators[6].password.Set("7");
  configuration.cliches[1].lines[7].Set(cliche_line);
  ASSERT_TRUE(WriteChangesToDevice(device.link(), ui, configuration, states));
  EXPECT_EQ(ParameterRequests(), 4u + 1);
  EXPECT_EQ(DeviceText(2, 3, 1), "0X");
  ASSERT_TRUE(WriteChangesToDevice(device.link(), ui, configuration, states));
  EXPECT_EQ(ParameterRequests(), 5u);
  EXPECT_EQ(ui.MessageTexts().back(), "Изменений нет.");
  ExpectClosedDown();
}

TEST_F(ConfigTransferTest, StoppedWholeWriteSaysHowFarAndChangesWriteResumesThere) {
  ConfigurationStates states(configuration);
  ui.on_process_events = [&] {
    if (ParameterRequests() == 50) ui.stop_requested = true;
  };
  EXPECT_FALSE(WriteAllToDevice(device.link(), ui, configuration, &states));
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Записано 50 из 319."});
  EXPECT_EQ(states.Changed(configuration).size(), 319u - 50);

  test::RecordingUserInterface resume;
  std::vector<ParameterAddress> written;
  ASSERT_TRUE(WriteChangesToDevice(device.link(), resume, configuration, states, &written));
  EXPECT_EQ(ParameterRequests(), 319u);
  EXPECT_EQ(written.front(), (ParameterAddress{0, 17, 3})) << "the 51st text of the whole write";
  EXPECT_EQ(resume.MessageTexts(), std::vector<std::string>{"Записано изменений: 269."});
  EXPECT_TRUE(states.Changed(configuration).empty());

  // Read back: what was written matches; a text the device then changed is a difference.
  EXPECT_EQ(VerifyTexts(device.link(), configuration, written).differences.size(), 0u);
  device.WithDevice([](Km07Device& d) { d.state().Text(2, 5, 1) = "0x"; });
  const Verification verification = VerifyTexts(device.link(), configuration, written);
  EXPECT_TRUE(verification.complete);
  EXPECT_EQ(verification.differences.size(), 1u);
  // A byte that would read as a blank once folded into the device's alphabet is no blank.
  device.WithDevice([](Km07Device& d) {
    std::string& text = d.state().Text(2, 6, 1);
    text[text.find(' ')] = '\xFC';
  });
  EXPECT_EQ(VerifyTexts(device.link(), configuration, written).differences.size(), 2u);
}

// A comparison acted on: the chosen rows' texts are written, read back and compared anew, so
// the list ends empty only when the device's answers match.
TEST_F(ConfigTransferTest, WritingDifferencesSendsEachTextOnceReadsItBackAndEndsAtAFullMatch) {
  device.WithDevice([](Km07Device& d) {
    d.state().Text(0, 2, 3) = "4321";
    d.state().Text(1, 1, 1) = Device("1КВИТАНЦИЯ");
    d.state().Text(3, 4, 3) = Device("0ИНН");
  });
  ConfigurationStates states(configuration);
  BlankFormTable forms;
  ResetBlankForms(forms);
  DeviceComparison comparison(forms, configuration, VerifyDevice(device.link(), ui, forms, configuration));
  ASSERT_EQ(comparison.differences().size(), 3u);
  const std::size_t after_read = ParameterRequests();

  // The selected row alone: one write, one read back.
  EXPECT_TRUE(comparison.WriteToDevice(device.link(), ui, states, {1}).left_out.empty());
  EXPECT_EQ(ParameterRequests() - after_read, 2u);
  EXPECT_EQ(DeviceText(1, 1, 1), Device("0СТРОКА ДСО"));
  ASSERT_EQ(comparison.differences().size(), 2u);
  EXPECT_EQ(comparison.differences()[1].field, "Строка 3");

  ASSERT_TRUE(comparison.WriteToDevice(device.link(), ui, states, {}).ran);
  EXPECT_EQ(ParameterRequests() - after_read, 2u + 4);
  EXPECT_TRUE(comparison.differences().empty());
  EXPECT_EQ(ui.MessageTexts(),
            (std::vector<std::string>{"Прочитано удачно...", "Записано изменений: 1.", "Записано изменений: 2."}));
  EXPECT_TRUE(states.Changed(configuration).empty());
  EXPECT_TRUE(VerifyDevice(device.link(), ui, forms, configuration).differences.empty());
  ExpectClosedDown();
}

// Access is the device's own and blank forms go through the constructor; a refused write and a
// text that cannot be read stay on the list. Taking the device's values empties it of all it read.
TEST_F(ConfigTransferTest, RowsTheDeviceDoesNotTakeStayAndTakingCopiesTheDevicesValues) {
  device.WithDevice([](Km07Device& d) {
    d.state().enabled[2][4] = 0;
    d.state().Text(2, 5, 1) = Device("0СТРИЖКА");
    d.state().blanks[2].variant = 2;
    d.faults().forced_errors.push_back({Command::Parameter, 0, 3, 2, 51});
  });
  configuration.cliches[1].lines[0].Set("0X");  // cliché 1 is the one the device takes
  ConfigurationStates states(configuration);
  BlankFormTable forms;
  ResetBlankForms(forms);
  DeviceComparison comparison(forms, configuration, VerifyDevice(device.link(), ui, forms, configuration));
  const auto fields = [&] {
    std::vector<std::string> shown;
    for (const Difference& row : comparison.differences())
      shown.push_back(row.section + " " + std::to_string(row.item) + " " + row.field);
    return shown;
  };
  ASSERT_EQ(fields(), (std::vector<std::string>{"Формы БСО 3 Вариант", "Операторы 3 Ф.И.О.", "Услуги 5 Строка 1",
                                                "Услуги 5 Дост.", "Клише 2 Строка 1"}));
  const std::size_t after_read = ParameterRequests();

  const ActionOutcome written = comparison.WriteToDevice(device.link(), ui, states, {});
  EXPECT_TRUE(written.ran) << "both refusals answered Yes";
  EXPECT_EQ(ParameterRequests() - after_read, 2u + 2) << "the two texts and their read-backs";
  EXPECT_EQ(NotWrittenText(written.left_out),
            "Не записано строк: 3 (доступ («Дост.») задаётся в КМ; формы БСО записываются из конструктора; "
            "клише 2 КМ не принимает).");
  // The refused write brought the device's access along, as every write does.
  EXPECT_EQ(fields(), (std::vector<std::string>{"Формы БСО 3 Вариант", "Операторы 3 Ф.И.О.", "Услуги 5 Строка 1",
                                                "Клише 2 Строка 1"}));
  EXPECT_EQ(comparison.differences()[1].second, kUnreadValue);
  EXPECT_EQ(states.State(configuration, {2, 5, 1}), FieldState::NotWritten);

  const ActionOutcome taken = comparison.TakeFromDevice(states, {});
  EXPECT_EQ(ParameterRequests() - after_read, 4u) << "taking sends nothing";
  EXPECT_EQ(fields(), (std::vector<std::string>{"Операторы 3 Ф.И.О."}));
  EXPECT_EQ(NotTakenText(taken.left_out), "Не взято строк: 1 (значение в КМ не прочитано).");
  EXPECT_EQ(forms.Form(3)->variant, 2);
  EXPECT_EQ(configuration.services[4].lines[0].Text(), Cp("0СТРИЖКА"));
  EXPECT_EQ(configuration.cliches[1].lines[0].Text(), Cp("0СТРОКА КЛИШЕ 0"));
  EXPECT_EQ(states.Changed(configuration), (std::vector<ParameterAddress>{{0, 3, 2}}));
  EXPECT_TRUE(NotWrittenText({}).empty());
}

TEST_F(ConfigTransferTest, ReadMarksWhatItReadOnTheDevice) {
  ConfigurationStates states(configuration);
  device.WithDevice([](Km07Device& d) { d.state().Text(1, 1, 1) = Device("0КВИТАНЦИЯ"); });
  ASSERT_TRUE(ReadAllFromDevice(device.link(), ui, configuration, {}, nullptr, &states));
  EXPECT_TRUE(states.Changed(configuration).empty());
  EXPECT_FALSE(states.HasUnsavedEdits(configuration));
}

// Errors 50 and 55 refuse a request addressed to another device; their attribute says nothing
// about the item, so a write answered Yes throughout leaves the record byte for byte.
TEST_F(ConfigTransferTest, WriteToAnotherDeviceLeavesTheRecordByteIdentical) {
  device.link().settings().factory_number = "2";  // error 55
  std::string first_closing;
  for (const std::uint32_t device_number : {1u, 0u}) {  // 0: error 50, the device has none
    device.WithDevice([&](Km07Device& d) { d.state().factory_number = device_number; });
    const DeviceConfiguration before = configuration;
    ui.default_answer = ui::Answer::Yes;
    // The second run ticks "Не спрашивать до конца операции" at its first failure.
    const bool dont_ask = device_number == 0;
    ui.messages.clear();
    ui.check_box_ticks = {dont_ask};
    EXPECT_TRUE(WriteAllToDevice(device.link(), ui, configuration));
    EXPECT_EQ(std::memcmp(&configuration, &before, sizeof before), 0) << device_number;
    EXPECT_EQ(ui.messages.front().check_box, ui::kDontAskAgain);
    const auto questions = std::count_if(ui.messages.begin(), ui.messages.end(),
                                         [](const auto& m) { return m.buttons == ui::Buttons::YesNo; });
    EXPECT_EQ(questions, dont_ask ? 1 : static_cast<long>(ui.messages.size()) - 1);
    if (!dont_ask) EXPECT_GT(questions, 1);
    // Failures skipped without a question are listed all the same.
    if (dont_ask) EXPECT_EQ(ui.messages.back().text, first_closing);
    first_closing = ui.messages.back().text;
    EXPECT_EQ(ui.messages.back().icon, ui::Icon::Warning);
    EXPECT_EQ(ui.messages.back().text.find(kClicheTwoNotWritten), std::string::npos)
        << "whether the device takes cliché 1 is not known";
  }
}

TEST_F(ConfigTransferTest, BusyLinkIsRefusedWithoutARequest) {
  link::Link::Operation other(device.link());
  EXPECT_FALSE(ReadAllFromDevice(device.link(), ui, configuration));
  EXPECT_FALSE(WriteAllToDevice(device.link(), ui, configuration));
  EXPECT_EQ(ParameterRequests(), 0u);
  EXPECT_TRUE(ui.events.empty());
}

}  // namespace
}  // namespace tarnis::config
