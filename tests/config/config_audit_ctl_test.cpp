// tarnisctl config diff / verify / export / import, run as a user would run them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "config/config_file.h"
#include "config/config_transfer.h"
#include "emulated_device.h"
#include "link/device_charset.h"
#include "link/device_errors.h"
#include "platform/cp1251_codec.h"
#include "platform/whole_file.h"
#include "run_program.h"

namespace tarnis::config {
namespace {

namespace fs = std::filesystem;

class ConfigAuditCtlTest : public ::testing::Test {
 protected:
  ConfigAuditCtlTest() {
    directory = fs::temp_directory_path() /
                ("tarnis-audit-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(directory);
    fs::create_directories(directory);
    FillDefaults(configuration);
    ResetBlankForms(table);
  }
  ~ConfigAuditCtlTest() override { fs::remove_all(directory); }

  std::string Path(const char* name) const { return (directory / name).string(); }
  std::string Save(const char* name) const {
    EXPECT_TRUE(ReplaceFile(Path(name), EncodeConfigurationFile(table, configuration)));
    return Path(name);
  }
  static test::ProgramRun Ctl(const std::string& arguments) {
    return test::RunProgram(std::string(TARNISCTL) + " " + arguments);
  }

  fs::path directory;
  DeviceConfiguration configuration;
  BlankFormTable table;
};

TEST_F(ConfigAuditCtlTest, DiffNamesOnlyTheChangedFieldsAndExitsByTheOutcome) {
  const std::string a = Save("a.cfg");
  EXPECT_EQ(Ctl("config diff " + a + " " + a).exit_code, 0);
  configuration.operators[6].full_name.SetBody(ConfigText::kWide, Utf8ToCp1251Lossy("ПЕТРОВ"));
  table.Form(2)->variant = 4;
  const std::string b = Save("b.cfg");
  const auto diff = Ctl("config diff " + a + " " + b);
  EXPECT_EQ(diff.exit_code, 1);
  EXPECT_EQ(diff.out,
            a + " ← → " + b + "\n"
            "Формы БСО №2, Вариант: нет → 4\n"
            "Операторы №7, Ф.И.О.: «ФАМИЛИЯ 7», узкий → «ПЕТРОВ», широкий\n");

  // Texts and width bytes that would drive a terminal are shown as placeholders.
  configuration.operators[6].full_name.SetBody(ConfigText::kWide, Utf8ToCp1251Lossy("ПЕТ\x1B[2JРОВ"));
  configuration.services[0].lines[0].bytes[0] = '\x98';  // U+0098, a C1 control
  const auto unsafe = Ctl("config diff " + a + " " + Save("c.cfg"));
  EXPECT_EQ(unsafe.out.find('\x1B'), std::string::npos) << unsafe.out;
  EXPECT_EQ(unsafe.out.find("\xC2\x98"), std::string::npos) << unsafe.out;
  EXPECT_NE(unsafe.out.find("«ПЕТ\xEF\xBF\xBD[2JРОВ», широкий\n"), std::string::npos) << unsafe.out;
  EXPECT_NE(unsafe.out.find("признак ширины «\xEF\xBF\xBD»\n"), std::string::npos) << unsafe.out;

  ASSERT_TRUE(ReplaceFile(Path("short.cfg"), std::vector<std::uint8_t>(32, 1)));
  const auto bad = Ctl("config diff " + a + " " + Path("short.cfg"));
  EXPECT_EQ(bad.exit_code, 2);
  EXPECT_NE(bad.err.find("Файл конфигурации некорректен..."), std::string::npos) << bad.err;
  EXPECT_EQ(Ctl("config diff " + a + " " + Path("absent.cfg")).exit_code, 2);
  EXPECT_EQ(Ctl("config diff " + a).exit_code, 2);
}

TEST_F(ConfigAuditCtlTest, ExportThenImportGivesTheSameBytesAndABadJsonWritesNothing) {
  configuration.document_name.SetBody(ConfigText::kWide, Utf8ToCp1251Lossy("КВИТАНЦИЯ"));
  configuration.services[40].enabled = 0;
  *table.Form(5) = {0, 3, 2, 3};
  const std::string cfg = Save("a.cfg");
  const auto exported = Ctl("config export --file " + cfg + " --json " + Path("a.json"));
  EXPECT_EQ(exported.exit_code, 0) << exported.err;
  EXPECT_EQ(exported.err, "");
  EXPECT_EQ(Ctl("config import --json " + Path("a.json") + " --file " + Path("b.cfg")).exit_code, 0);
  EXPECT_EQ(ReadFileUpTo(Path("b.cfg"), kConfigurationFileSize), ReadFileUpTo(cfg, kConfigurationFileSize));

  // One text too long: the import names it and leaves the earlier file alone.
  auto json = *ReadFileUpTo(Path("a.json"), 1 << 20);
  std::string text(json.begin(), json.end());
  const std::string from = "\"text\": \"ОПЕРАТОР 3\"";
  text.replace(text.find(from), from.size(), "\"text\": \"ОПЕРАТОР 3 С ОЧЕНЬ ДЛИННЫМ ИМЕНЕМ\"");
  ASSERT_TRUE(ReplaceFile(Path("bad.json"), std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())));
  const auto refused = Ctl("config import --json " + Path("bad.json") + " --file " + Path("b.cfg"));
  EXPECT_EQ(refused.exit_code, 1);
  EXPECT_NE(refused.err.find("$.operators.3.position.text: 33 симв., узкий текст вмещает не более 24"),
            std::string::npos)
      << refused.err;
  EXPECT_EQ(ReadFileUpTo(Path("b.cfg"), kConfigurationFileSize), ReadFileUpTo(cfg, kConfigurationFileSize));

  // A letter the device holds as another is taken with a warning.
  text.assign(json.begin(), json.end());
  text.replace(text.find(from), from.size(), "\"text\": \"ОПЕРАТОР 3a\"");
  ASSERT_TRUE(ReplaceFile(Path("held.json"), std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size())));
  const auto held = Ctl("config import --json " + Path("held.json") + " --file " + Path("c.cfg"));
  EXPECT_EQ(held.exit_code, 0);
  EXPECT_EQ(held.err, "предупреждение: $.operators.3.position.text: a будет записана как А\n");

  // Junk behind a text's end cannot travel in JSON: the export says where.
  configuration.cliches[0].lines[4].bytes[24] = 'Z';
  const auto warned = Ctl("config export --file " + Save("junk.cfg") + " --json " + Path("junk.json"));
  EXPECT_EQ(warned.exit_code, 0);
  EXPECT_EQ(warned.err, "предупреждение: $.cliches.1.lines[4]: байты после конца текста не переносятся\n");
}

TEST_F(ConfigAuditCtlTest, VerifyNamesTheOneTextTheDeviceHoldsDifferentlyAfterTheWholeRead) {
  test::EmulatedDevice device{"COM4"};
  device.WithDevice([](emulator::Km07Device& d) {
    d.state().Text(3, 5, 2) = link::ToDeviceText(Utf8ToCp1251Lossy("0ИНОЙ РЕКВИЗИТ"));
  });
  const std::string file = Save("x.cfg");
  const std::string options = " --port COM4 --timeouts 50,500 --file " + file;
  const auto verify = Ctl("config verify" + options);
  EXPECT_EQ(verify.exit_code, 1) << verify.err;
  EXPECT_EQ(verify.out, "Прочитано удачно...\n"
                        "файл ← → КМ\n"
                        "Дополнительные реквизиты №5, Строка 2: «ДОП. РЕК 5 - СТРОКА 2», узкий → «ИНОЙ РЕКВИЗИТ», узкий\n");
  EXPECT_EQ(device.WithDevice([](emulator::Km07Device& d) { return d.total_requests_seen(); }), 335u + 8);
  EXPECT_EQ(device.WithDevice([](emulator::Km07Device& d) { return d.requests_seen(link::Command::Parameter); }), 335u);
  const auto image = EncodeConfigurationFile(table, configuration);
  EXPECT_EQ(ReadFileUpTo(file, kConfigurationFileSize), std::vector<std::uint8_t>(image.begin(), image.end()));

  // Once the device holds the file's text again, it matches.
  device.WithDevice([](emulator::Km07Device& d) {
    d.state().Text(3, 5, 2) = link::ToDeviceText(Utf8ToCp1251Lossy("0ДОП. РЕК 5 - СТРОКА 2"));
  });
  const auto equal = Ctl("--log " + Path("x.log") + " config verify" + options);
  EXPECT_EQ(equal.exit_code, 0);
  EXPECT_EQ(equal.out, "Прочитано удачно...\nСовпадает полностью\n");

  // The log holds one line per exchange, the first and the last read of the whole read included;
  // a second run appends to it.
  EXPECT_EQ(Ctl("config verify --log " + Path("x.log") + options).exit_code, 0);
  const auto log = ReadFileUpTo(Path("x.log"), 1 << 20);
  ASSERT_TRUE(log);
  const std::string text(log->begin(), log->end());
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2 * (335 + 8));
  EXPECT_NE(text.find("  COM4 115200  чтение параметра 0.1.1  успешно  "), std::string::npos);
  EXPECT_NE(text.find("  чтение параметра 4.2.8  успешно  "), std::string::npos);
  EXPECT_EQ(text.find("не совпала"), std::string::npos);
  EXPECT_EQ(Ctl("config verify --log /nonexistent-dir/x.log" + options).exit_code, 2);
}

TEST_F(ConfigAuditCtlTest, VerifyReportsATextItCouldNotReadNeverAsEqual) {
  test::EmulatedDevice device{"COM5"};
  device.WithDevice([](emulator::Km07Device& d) {
    d.faults().forced_errors.push_back({link::Command::Parameter, 4, 2, 6, link::kErrorRecordInUse});
  });
  const auto verify = Ctl("config verify --keep-going --port COM5 --timeouts 50,500 --file " + Save("x.cfg"));
  EXPECT_EQ(verify.exit_code, 1);
  EXPECT_NE(verify.out.find("Клише №2, Строка 6: «СТРОКА КЛИШЕ 5», узкий → не прочитано (" +
                            std::string(kClicheTwoNotWritten) + ")\n"),
            std::string::npos)
      << verify.out;
  EXPECT_EQ(verify.out.find("Совпадает"), std::string::npos);
  EXPECT_NE(verify.err.find("Прочитано с ошибками: не прочитано 1 из 343.\nКлише 2, строка 6\n"), std::string::npos)
      << verify.err;
}

// Everything is compared: the requisites' access from the attribute of their answers, the blank
// forms, and texts as the device holds them (Ё as Е), which then match.
TEST_F(ConfigAuditCtlTest, VerifyComparesAccessAndBlankFormsAndTextsAsTheDeviceHoldsThem) {
  test::EmulatedDevice device{"COM6"};
  configuration.operators[1].full_name.SetBody(ConfigText::kNarrow, Utf8ToCp1251Lossy("ПЁТР"));
  device.WithDevice([](emulator::Km07Device& d) {
    d.state().Text(0, 2, 2) = link::ToDeviceText(Utf8ToCp1251Lossy("0ПЕТР"));
    d.state().enabled[3][0] = 0;
    d.state().blanks[2].variant = 2;
    d.state().blanks[6].held = false;
  });
  const auto verify = Ctl("config verify --port COM6 --timeouts 50,500 --file " + Save("x.cfg"));
  EXPECT_EQ(verify.exit_code, 1) << verify.err;
  EXPECT_EQ(verify.out,
            "Прочитано удачно...\n"
            "файл ← → КМ\n"
            "Формы БСО №3, Вариант: нет → 2\n"
            "Формы БСО №7, Запрограммирована: да → нет\n"
            "Дополнительные реквизиты №1, Дост.: да → нет\n");
}

// --fix writes exactly the differing texts, reads them back, and exits 0 only when nothing is left.
TEST_F(ConfigAuditCtlTest, VerifyFixWritesTheDifferingTextsAndVerifiesAgain) {
  test::EmulatedDevice device{"COM7"};
  const auto parameter_requests = [&] {
    return device.WithDevice([](emulator::Km07Device& d) { return d.requests_seen(link::Command::Parameter); });
  };
  device.WithDevice([](emulator::Km07Device& d) {
    d.state().Text(0, 2, 2) = link::ToDeviceText(Utf8ToCp1251Lossy("0ПЕТР"));
    d.state().Text(2, 40, 2) = link::ToDeviceText(Utf8ToCp1251Lossy("0ИНАЯ"));
    d.state().Text(4, 1, 3) = "";
  });
  const std::string options = " --port COM7 --timeouts 50,500 --file " + Save("x.cfg");
  const auto fixed = Ctl("config verify --fix" + options);
  EXPECT_EQ(fixed.exit_code, 0) << fixed.err;
  EXPECT_EQ(parameter_requests(), 335u + 1 + 3 + 3) << "the read, the cliché probe, three writes, three read-backs";
  EXPECT_NE(fixed.out.find("Записано изменений: 3.\nПосле записи:\nСовпадает полностью\n"), std::string::npos)
      << fixed.out;
  EXPECT_EQ(Ctl("config verify" + options).exit_code, 0);

  // A blank form is not written by it, and the device refuses the disabled item's text.
  device.WithDevice([](emulator::Km07Device& d) {
    d.state().blanks[2].variant = 2;
    d.state().enabled[2][39] = 0;
    d.state().Text(2, 40, 2) = link::ToDeviceText(Utf8ToCp1251Lossy("0ИНАЯ"));
  });
  const auto refused = Ctl("config verify --fix --keep-going" + options);
  EXPECT_EQ(refused.exit_code, 1);
  EXPECT_NE(refused.out.find("После записи:\nфайл ← → КМ\nФормы БСО №3, Вариант: нет → 2\n"
                             "Услуги №40, Строка 2: «УСЛУГА 40 - СТРОКА 2», узкий → «ИНАЯ», узкий\n"
                             "Услуги №40, Дост.: да → нет\n"
                             "Не записано строк: 2 (доступ («Дост.») задаётся в КМ; формы БСО записываются из "
                             "конструктора).\n"),
            std::string::npos)
      << refused.out;
  EXPECT_EQ(refused.out.find("Совпадает"), std::string::npos);
}

}  // namespace
}  // namespace tarnis::config
