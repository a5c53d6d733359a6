// tarnisctl config against the emulator: read to a file, write from it, show it.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>

#include "config/config_file.h"
#include "emulated_device.h"
#include "link/device_charset.h"
#include "link/device_errors.h"
#include "platform/cp1251_codec.h"
#include "platform/whole_file.h"

namespace tarnis::config {
namespace {

namespace fs = std::filesystem;

struct CtlRun {
  int exit_code = -1;
  std::string output;  // standard output only
};

CtlRun Tarnisctl(const std::string& arguments) {
  CtlRun run;
  FILE* pipe = ::popen((std::string(TARNISCTL) + " " + arguments + " 2>/dev/null").c_str(), "r");
  if (!pipe) return run;
  std::array<char, 4096> chunk;
  while (const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), pipe)) run.output.append(chunk.data(), n);
  const int status = ::pclose(pipe);
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

class ConfigCtlTest : public ::testing::Test {
 protected:
  ConfigCtlTest() {
    directory = fs::temp_directory_path() /
                ("tarnis-cfg-ctl-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(directory);
    fs::create_directories(directory);
    file = (directory / "x.cfg").string();
  }
  ~ConfigCtlTest() override { fs::remove_all(directory); }

  std::string DeviceText(int table, int row, int field) {
    return device.WithDevice([&](emulator::Km07Device& d) { return d.state().Text(table, row, field); });
  }

  test::EmulatedDevice device{"COM3"};
  fs::path directory;
  std::string file;
};

TEST_F(ConfigCtlTest, ShowEscapesControlCharactersOfTheFile) {
  BlankFormTable table;
  DeviceConfiguration configuration;
  FillDefaults(configuration);
  configuration.document_name.Set("0\xC0\x1B[2J\x07\x7F\x98\xC1");
  ASSERT_TRUE(ReplaceFile(file, EncodeConfigurationFile(table, configuration)));
  const CtlRun show = Tarnisctl("config show " + file);
  EXPECT_EQ(show.exit_code, 0);
  EXPECT_NE(show.output.find("\"0А\\x1B[2J\\x07\\x7F\\x98Б\""), std::string::npos) << show.output;
  EXPECT_EQ(show.output.find('\x1B'), std::string::npos);
}

// --since writes only the texts that differ from the file the device is said to hold, --verify
// reads exactly those back, and a text the device does not keep as written ends in exit 1.
TEST_F(ConfigCtlTest, WriteSinceSendsOnlyTheDifferencesAndVerifiesThem) {
  BlankFormTable table;
  ResetBlankForms(table);
  DeviceConfiguration configuration;
  FillDefaults(configuration);
  const std::string yesterday = (directory / "yesterday.cfg").string();
  ASSERT_TRUE(ReplaceFile(yesterday, EncodeConfigurationFile(table, configuration)));
  configuration.operators[1].password.Set("4321");
  configuration.document_name.Set("0RECEIPT");
  configuration.services[9].lines[1].Set("0HAIRCUT");
  ASSERT_TRUE(ReplaceFile(file, EncodeConfigurationFile(table, configuration)));
  const auto requests = [&] {
    return device.WithDevice([](emulator::Km07Device& d) { return d.requests_seen(link::Command::Parameter); });
  };

  const std::string write = "config write --port COM3 --timeouts 50,500 --file " + file + " --since " + yesterday;
  CtlRun run = Tarnisctl(write + " --verify");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output, "Считано...\nСчитано...\nЗаписано изменений: 3.\nПрочитано обратно совпадает: 3.\n");
  EXPECT_EQ(requests(), 6u);
  EXPECT_EQ(DeviceText(0, 2, 3), "4321");

  // A device that keeps a wide text of 13 characters cuts it: the read back differs.
  configuration.document_name.Set("1ABCDEFGHIJKLM");
  ASSERT_TRUE(ReplaceFile(file, EncodeConfigurationFile(table, configuration)));
  run = Tarnisctl(write + " --verify");
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_NE(run.output.find("ДСО"), std::string::npos) << run.output;
  EXPECT_EQ(requests(), 6u + 6);
}

TEST_F(ConfigCtlTest, ReadSavesTheDeviceWithStartBlankFormsAndShowPrintsIt) {
  device.WithDevice([](emulator::Km07Device& d) {
    d.state().Text(1, 1, 1) = link::ToDeviceText(Utf8ToCp1251Lossy("0КВИТАНЦИЯ"));
    d.state().enabled[0][1] = 0;
  });
  const CtlRun read = Tarnisctl("config read --port COM3 --timeouts 50,500 --file " + file);
  EXPECT_EQ(read.exit_code, 0);
  EXPECT_EQ(read.output, "Прочитано удачно...\nСохранено...\n");

  DeviceConfiguration expected;
  FillDefaults(expected);
  expected.document_name.Set(Utf8ToCp1251Lossy("0КВИТАНЦИЯ"));
  expected.operators[1].enabled = 0;
  config::BlankFormTable table;
  const auto image = EncodeConfigurationFile(table, expected);
  EXPECT_EQ(ReadFileUpTo(file, kConfigurationFileSize),
            std::vector<std::uint8_t>(image.begin(), image.end()));

  const CtlRun show = Tarnisctl("config show " + file);
  EXPECT_EQ(show.exit_code, 0);
  EXPECT_NE(show.output.find("\"0КВИТАНЦИЯ\""), std::string::npos);
  EXPECT_NE(show.output.find("  2: \"0ОПЕРАТОР 2\" \"0ФАМИЛИЯ 2\" \"2\" дост. 0\n"), std::string::npos) << show.output;
  EXPECT_NE(show.output.find("  99: \"0УСЛУГА 99 - СТРОКА 1\" \"0УСЛУГА 99 - СТРОКА 2\" дост. 1\n"),
            std::string::npos);
  EXPECT_NE(show.output.find("    \"0СТРОКА КЛИШЕ 7\"\n    дост. 1\n"), std::string::npos);

  // Whatever follows the image changes nothing that is shown.
  const std::string longer = (directory / "longer.cfg").string();
  std::vector<std::uint8_t> with_junk(image.begin(), image.end());
  with_junk.insert(with_junk.end(), {'j', 'u', 'n', 'k', '\n'});
  ASSERT_TRUE(ReplaceFile(longer, with_junk));
  const CtlRun show_longer = Tarnisctl("config show " + longer);
  EXPECT_EQ(show_longer.exit_code, 0);
  EXPECT_EQ(show_longer.output, show.output);
}

TEST_F(ConfigCtlTest, WriteStopsAtTheFirstFailureUnlessToldToKeepGoing) {
  DeviceConfiguration configuration;
  FillDefaults(configuration);
  configuration.services[0].lines[0].Set("0FIRST");
  configuration.services[98].lines[0].Set("0LAST");
  const auto image = EncodeConfigurationFile({}, configuration);
  ASSERT_TRUE(ReplaceFile(file, image));
  device.WithDevice([](emulator::Km07Device& d) {
    d.faults().forced_errors.push_back({link::Command::Parameter, 2, 50, 1, link::kErrorRecordInUse});
  });

  EXPECT_EQ(Tarnisctl("config write --port COM3 --timeouts 50,500 --file " + file).exit_code, 1);
  EXPECT_EQ(DeviceText(2, 1, 1), "0FIRST");
  EXPECT_NE(DeviceText(2, 99, 1), "0LAST");

  const CtlRun keep_going = Tarnisctl("config write --port COM3 --timeouts 50,500 --keep-going --file " + file);
  EXPECT_EQ(keep_going.exit_code, 1) << "a failed request is still reported";
  EXPECT_EQ(keep_going.output, "Считано...\n") << "no success after a failure: the list goes to stderr";
  EXPECT_EQ(DeviceText(2, 99, 1), "0LAST");
}

TEST_F(ConfigCtlTest, BadFilesAndArgumentsAreRefused) {
  ASSERT_TRUE(ReplaceFile(file, std::vector<std::uint8_t>(100, 0)));
  EXPECT_EQ(Tarnisctl("config show " + file).exit_code, 1);
  EXPECT_EQ(Tarnisctl("config write --port COM3 --file " + file).exit_code, 1);
  EXPECT_EQ(Tarnisctl("config show " + (directory / "absent.cfg").string()).exit_code, 1);
  EXPECT_EQ(Tarnisctl("config read --port COM3").exit_code, 2);
  EXPECT_EQ(Tarnisctl("config copy").exit_code, 2);
}

}  // namespace
}  // namespace tarnis::config
