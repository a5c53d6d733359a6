#include "config/config_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "platform/cp1251_codec.h"
#include "recording_user_interface.h"

namespace tarnis::config {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

class ConfigFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    directory = fs::temp_directory_path() /
                ("tarnis-cfg-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(directory);
    fs::create_directories(directory);
    FillDefaults(configuration);
  }
  void TearDown() override { fs::remove_all(directory); }

  fs::path directory;
  DeviceConfiguration configuration;
  config::BlankFormTable table;
  test::RecordingUserInterface ui;
};

TEST_F(ConfigFileTest, SavedFileAfterStartIsByteExact) {
  const fs::path path = directory / "start.cfg";
  ASSERT_TRUE(SaveConfigurationFile(path, table, configuration, ui));
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Сохранено..."});
  EXPECT_EQ(ui.messages[0].caption, "Предупреждение...");
  EXPECT_EQ(ui.messages[0].icon, ui::Icon::Information);

  const auto bytes = ReadAll(path);
  ASSERT_EQ(bytes.size(), 8875u);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + 8),
            (std::vector<std::uint8_t>{1, 0, 0, 0, 1, 0, 0, 0}));
  for (std::size_t i = 7825; i <= 8456; ++i) ASSERT_EQ(bytes[i], 0) << i;
  const std::string name = Utf8ToCp1251Lossy("0СТРОКА ДСО");
  EXPECT_EQ(std::string(bytes.begin() + 1920, bytes.begin() + 1920 + name.size()), name);
  for (std::size_t i = 1920 + name.size(); i < 1946; ++i) EXPECT_EQ(bytes[i], 0) << i;
  EXPECT_EQ(bytes[8457], '0');
  for (const auto& entry : fs::directory_iterator(directory))
    EXPECT_EQ(entry.path().filename(), "start.cfg") << "no temporary file is left behind";
}

TEST_F(ConfigFileTest, SaveOpenSaveIsByteIdentical) {
  configuration.operators[4].enabled = 0;
  configuration.services[10].lines[1].SetBody('1', "X");
  table.entries[2] = {0, 4, 7, 3};
  const fs::path first = directory / "a.cfg";
  const fs::path second = directory / "b.cfg";
  ASSERT_TRUE(SaveConfigurationFile(first, table, configuration, ui));

  DeviceConfiguration reopened;
  FillDefaults(reopened);
  config::BlankFormTable reopened_table;
  ASSERT_TRUE(OpenConfigurationFile(first, reopened_table, reopened, ui));
  EXPECT_EQ(ui.MessageTexts().back(), "Считано...");
  EXPECT_EQ(reopened_table, table);
  EXPECT_EQ(reopened.operators[4].enabled, 0);
  EXPECT_EQ(reopened.services[10].lines[1].Text(), "1X");
  ASSERT_TRUE(SaveConfigurationFile(second, reopened_table, reopened, ui));
  EXPECT_EQ(ReadAll(first), ReadAll(second));
}

TEST_F(ConfigFileTest, ShorterFileIsRefusedAndChangesNothing) {
  const fs::path path = directory / "x.cfg";
  ASSERT_TRUE(SaveConfigurationFile(path, table, configuration, ui));
  const auto good = ReadAll(path);
  const DeviceConfiguration before = [&] {
    DeviceConfiguration copy = configuration;
    copy.document_name.Set("0OLD");
    return copy;
  }();
  for (std::size_t size : {std::size_t{0}, std::size_t{32}, std::size_t{8874}}) {
    std::vector<std::uint8_t> bytes(size, 0x41);
    std::copy_n(good.begin(), std::min(size, good.size()), bytes.begin());
    WriteAll(path, bytes);
    configuration = before;
    config::BlankFormTable kept;
    kept.entries[0].variant = 5;
    config::BlankFormTable current = kept;
    ui.messages.clear();
    EXPECT_FALSE(OpenConfigurationFile(path, current, configuration, ui)) << size;
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Файл конфигурации некорректен...");
    EXPECT_EQ(ui.messages[0].caption, "Предупреждение...");
    EXPECT_EQ(ui.messages[0].icon, ui::Icon::Information);
    EXPECT_EQ(current, kept) << size;
    EXPECT_EQ(std::memcmp(&configuration, &before, sizeof before), 0) << size;
  }
}

TEST_F(ConfigFileTest, BytesBeyondTheImageAreIgnored) {
  configuration.document_name.Set("0TAIL");
  table.entries[7] = {0, 6, 2, 1};
  const auto image = EncodeConfigurationFile(table, configuration);
  const fs::path path = directory / "long.cfg";
  for (std::size_t extra : {std::size_t{1}, std::size_t{100000}}) {
    std::vector<std::uint8_t> bytes(image.begin(), image.end());
    bytes.resize(bytes.size() + extra, 0xEE);
    WriteAll(path, bytes);
    DeviceConfiguration opened;
    FillDefaults(opened);
    config::BlankFormTable opened_table;
    ui.messages.clear();
    EXPECT_TRUE(OpenConfigurationFile(path, opened_table, opened, ui)) << extra;
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Считано..."});
    EXPECT_EQ(opened_table, table);
    EXPECT_EQ(EncodeConfigurationFile(opened_table, opened), image) << extra;
  }
}

// A file that opens but cannot be read is a bad configuration file, not a missing one.
TEST_F(ConfigFileTest, ReadErrorAfterOpeningIsReportedAsABadFile) {
  const DeviceConfiguration before = configuration;
  ASSERT_TRUE(fs::exists("/proc/self/mem"));
  EXPECT_FALSE(OpenConfigurationFile("/proc/self/mem", table, configuration, ui));
  EXPECT_FALSE(OpenConfigurationFile(directory, table, configuration, ui));
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, "Файл конфигурации некорректен...");
  EXPECT_EQ(ui.messages[0].caption, "Предупреждение...");
  EXPECT_EQ(ui.messages[0].icon, ui::Icon::Information);
  EXPECT_EQ(ui.messages[1].text, "Не удалось открыть файл...") << "a directory is no file";
  EXPECT_EQ(std::memcmp(&configuration, &before, sizeof before), 0);
}

TEST_F(ConfigFileTest, FieldsWithoutTerminatingZeroAreReadWithinTheirBounds) {
  const fs::path path = directory / "full.cfg";
  std::vector<std::uint8_t> bytes(8875, 'Z');
  WriteAll(path, bytes);
  ASSERT_TRUE(OpenConfigurationFile(path, table, configuration, ui));
  EXPECT_EQ(configuration.document_name.Text(), std::string(26, 'Z'));
  EXPECT_EQ(configuration.operators[0].password.Text(), std::string(6, 'Z'));
  EXPECT_EQ(PasswordNumber(configuration.operators[0].password.Text()), std::nullopt);
  EXPECT_EQ(configuration.cliches[1].lines[7].Text(), std::string(26, 'Z'));
  EXPECT_EQ(table.entries[7].typeSk, 'Z');
}

TEST(ConfigFileImageTest, RandomImagesRoundTripAndReadWithinBounds) {
  std::mt19937 random(5);
  for (int round = 0; round < 50; ++round) {
    std::vector<std::uint8_t> bytes(kConfigurationFileSize);
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random() % 4 == 0 ? 0 : random());
    config::BlankFormTable table;
    DeviceConfiguration configuration;
    ASSERT_TRUE(DecodeConfigurationFile(bytes, table, configuration));
    for (const SectionMap& map : kParameterMap)
      for (int row = 1; row <= map.rows; ++row)
        for (int field = 1; field <= map.fields; ++field) {
          const auto target = ParameterAt(configuration, {map.table, std::uint8_t(row), std::uint8_t(field)});
          EXPECT_LE(FieldText(target->text).size(), target->text.size());
        }
    const auto image = EncodeConfigurationFile(table, configuration);
    ASSERT_EQ(std::vector<std::uint8_t>(image.begin(), image.end()), bytes);
  }
}

TEST_F(ConfigFileTest, MissingFilesAndUncreatableFilesAreReported) {
  DeviceConfiguration before = configuration;
  EXPECT_FALSE(OpenConfigurationFile(directory / "absent.cfg", table, configuration, ui));
  EXPECT_FALSE(SaveConfigurationFile(directory / "no-such-dir" / "x.cfg", table, configuration, ui));
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].text, "Не удалось открыть файл...");
  EXPECT_EQ(ui.messages[1].text, "Не удалось создать файл...");
  for (const auto& message : ui.messages) {
    EXPECT_EQ(message.caption, "Ошибка...");
    EXPECT_EQ(message.icon, ui::Icon::Error);
  }
  EXPECT_EQ(std::memcmp(&configuration, &before, sizeof before), 0);
  EXPECT_FALSE(fs::exists(directory / "no-such-dir"));
}

TEST_F(ConfigFileTest, SavingOverAnEarlierFileReplacesIt) {
  const fs::path path = directory / "over.cfg";
  WriteAll(path, std::vector<std::uint8_t>(20000, 7));
  ASSERT_TRUE(SaveConfigurationFile(path, table, configuration, ui));
  EXPECT_EQ(ReadAll(path).size(), 8875u);
}

}  // namespace
}  // namespace tarnis::config
