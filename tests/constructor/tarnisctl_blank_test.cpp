// tarnisctl blank and preview as their users run them.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "config/config_file.h"
#include "constructor/blank_forms.h"
#include "emulated_device.h"
#include "platform/cp1251_codec.h"
#include "platform/whole_file.h"
#include "run_program.h"

namespace tarnis::constructor {
namespace {

using test::RunProgram;

const std::string kCtl = TARNISCTL;

TEST(TarnisctlBlank, WritesAndReadsOneBlank) {
  test::EmulatedDevice device("COM4", 1);
  auto run = RunProgram(kCtl + " blank write --port COM4 --timeouts 50,500 --form 3 --variant 6 --requisite 8 --extra tax");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "форма 3 запрограммирована: вариант 6, реквизит 8, доп. строка tax\n");
  device.WithDevice([](emulator::Km07Device& d) {
    EXPECT_EQ(d.state().blanks[2].variant, 6);
    EXPECT_EQ(d.state().blanks[2].requisite, 8);
    EXPECT_EQ(d.state().blanks[2].type_sk, 2);
  });

  run = RunProgram(kCtl + " blank read --port COM4 --timeouts 50,500 --form 3");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "форма 3: вариант 6, реквизит 8, доп. строка tax\n");

  device.WithDevice([](emulator::Km07Device& d) { d.state().blanks[4].held = false; });
  run = RunProgram(kCtl + " blank read --port COM4 --timeouts 50,500 --form 5");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "форма 5: в аппарате не запрограммирована\n");
}

TEST(TarnisctlBlank, RefusesValuesOutOfRangeAndReportsFailures) {
  test::EmulatedDevice device("COM4", 1);
  for (const char* arguments : {"write --form 9", "write --form 1 --variant 7", "write --form 1 --requisite 9",
                                "write --form 1 --extra bonus", "erase --form 1", "read"}) {
    const auto run = RunProgram(kCtl + " blank --port COM4 " + arguments);
    EXPECT_EQ(run.exit_code, 2) << arguments;
    EXPECT_EQ(run.out, "") << arguments;
  }
  EXPECT_EQ(device.WithDevice([](emulator::Km07Device& d) { return d.total_requests_seen(); }), 0u);

  device.WithDevice([](emulator::Km07Device& d) { d.faults().silent = true; });
  const auto run = RunProgram(kCtl + " blank read --port COM4 --timeouts 50,200 --form 1");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "Не удалось прочитать бланк...Нет ответа или не удалось открыть порт.\n");
}

TEST(TarnisctlPreview, ControlCharactersOfAFileReachTheTerminalAsPlaceholders) {
  QTemporaryDir directory;
  const std::string path = directory.filePath(QStringLiteral("x.cfg")).toStdString();
  BlankFormTable table;
  config::DeviceConfiguration configuration;
  config::FillDefaults(configuration);
  // Escape, bell, DEL and 0x98 (a C1 control once decoded) between two capitals.
  configuration.document_name.Set("0\xC0\x1B[2J\x07\x7F\x98\xC1");
  ASSERT_TRUE(ReplaceFile(path, config::EncodeConfigurationFile(table, configuration)));
  const auto run = RunProgram(kCtl + " preview " + path + " --form 1");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  const std::string placeholder(kTerminalPlaceholder);
  EXPECT_NE(run.out.find("\nА" + placeholder + "[2J" + placeholder + placeholder + placeholder + "Б\n"), std::string::npos)
      << run.out;
  for (const char c : run.out) EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\n') << int{c};
  EXPECT_EQ(run.out.find("\xC2\x98"), std::string::npos);  // no C1 control in UTF-8 either
}

TEST(TarnisctlPreview, PrintsTheFormOfAConfigurationFile) {
  QTemporaryDir directory;
  const std::string path = directory.filePath(QStringLiteral("x.cfg")).toStdString();
  config::BlankFormTable table;
  table.entries[1] = {1, 1, 3, 3};
  config::DeviceConfiguration configuration;
  std::memset(&configuration, 0, sizeof configuration);
  configuration.document_name.Set(Utf8ToCp1251Lossy("1ДСО"));
  configuration.requisites[2].lines[0].Set(Utf8ToCp1251Lossy("0РЕКВИЗИТ"));
  ASSERT_TRUE(ReplaceFile(path, config::EncodeConfigurationFile(table, configuration)));

  auto run = RunProgram(kCtl + " preview " + path + " --form 2");
  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out,
            "ИНН         000000000000\n"
            "ЗАВОД. НОМЕР    00000000\n"
            "ДОК. НОМЕР          0000\n"
            "------------------------\n"
            "Д С О \n"
            "Серия АБ-0000    0000000\n"
            "00/00/00           00:00\n"
            "  ПЕРВАЯ СТРОКА УСЛУГИ  \n"
            "  ВТОРАЯ СТРОКА УСЛУГИ  \n"
            "  ТРЕТЬЯ СТРОКА УСЛУГИ  \n"
            "                 *000.00\n"
            "РЕКВИЗИТ\n"
            "КОД \n"
            "ИТОГО            *000.00\n"
            "НАЛИЧНЫМИ\n"
            "------------------------\n"
            "ПРИНЯЛ ОПЕРАТОР №0:     \n"
            "ДОЛЖНОСТЬ ОПЕРАТОРА     \n"
            "Ф.И.О. ОПЕРАТОРА        \n"
            "\n"
            "ПОДПИСЬ ................\n");

  run = RunProgram(kCtl + " preview " + path + " --form 0");
  EXPECT_EQ(run.exit_code, 2);
  const std::string short_path = directory.filePath(QStringLiteral("short.cfg")).toStdString();
  const std::uint8_t few[3] = {1, 2, 3};
  ASSERT_TRUE(ReplaceFile(short_path, few));
  run = RunProgram(kCtl + " preview " + short_path + " --form 1");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "Файл конфигурации некорректен... " + short_path + "\n");
}

}  // namespace
}  // namespace tarnis::constructor
