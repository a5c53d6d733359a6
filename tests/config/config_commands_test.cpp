// The main window's whole-transfer and configuration-file commands.
#include <gtest/gtest.h>

#include <QAction>
#include <filesystem>
#include <memory>

#include "app/main_window.h"
#include "config/config_file.h"
#include "config/config_transfer.h"
#include "emulated_device.h"
#include "link/device_charset.h"
#include "link/device_errors.h"
#include "platform/cp1251_codec.h"
#include "recording_user_interface.h"

namespace tarnis::app {
namespace {

namespace fs = std::filesystem;

class ConfigCommandsTest : public ::testing::Test {
 protected:
  ConfigCommandsTest() : window(std::make_unique<TForm1>(MainWindowServices{&device.link(), &ui})) {
    directory = fs::temp_directory_path() /
                ("tarnis-cfg-cmd-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(directory);
    fs::create_directories(directory);
  }
  ~ConfigCommandsTest() override { fs::remove_all(directory); }

  test::EmulatedDevice device;
  test::RecordingUserInterface ui;
  std::unique_ptr<TForm1> window;
  fs::path directory;
};

TEST_F(ConfigCommandsTest, WindowStartsWithDefaultsAndBlankFormsAtStartValues) {
  EXPECT_EQ(window->configuration().document_name.Text(), Utf8ToCp1251Lossy("0СТРОКА ДСО"));
  EXPECT_EQ(window->configuration().operators[31].password.Text(), "32");
  for (const auto& entry : window->blank_forms().entries)
    EXPECT_EQ(entry, (config::BlankFormEntry{1, 0, 0, 0}));
  EXPECT_FALSE(window->N12->isEnabled());
}

TEST_F(ConfigCommandsTest, WholeReadEnablesSaving) {
  device.WithDevice([](emulator::Km07Device& d) {
    d.state().Text(1, 1, 1) = link::ToDeviceText(Utf8ToCp1251Lossy("0КВИТАНЦИЯ"));
  });
  window->N011->trigger();
  EXPECT_EQ(window->configuration().document_name.Text(), Utf8ToCp1251Lossy("0КВИТАНЦИЯ"));
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Прочитано удачно..."});
  EXPECT_TRUE(window->N12->isEnabled());
  EXPECT_FALSE(window->link().busy());
}

TEST_F(ConfigCommandsTest, ReadStoppedInTheRequisitesLeavesSavingAsItWas) {
  device.WithDevice([](emulator::Km07Device& d) {
    d.faults().forced_errors.push_back({link::Command::Parameter, 3, 4, 2, link::kErrorRecordInUse});
  });
  ui.answers = {ui::Answer::No};
  window->N011->trigger();
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_FALSE(window->N12->isEnabled());
  EXPECT_FALSE(ui.wait_visible);
}

TEST_F(ConfigCommandsTest, WholeWriteSendsTheWindowsConfiguration) {
  window->configuration().document_name.Set(Utf8ToCp1251Lossy("0ЧЕК"));
  window->N012->trigger();
  EXPECT_EQ(device.WithDevice([](emulator::Km07Device& d) { return d.state().Text(1, 1, 1); }),
            link::ToDeviceText(Utf8ToCp1251Lossy("0ЧЕК")));
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Записано удачно...\n" + std::string(config::kClicheTwoNotWritten)});
}

TEST_F(ConfigCommandsTest, SaveAndOpenGoThroughTheDialogsWithTheCfgFilter) {
  const std::string path = (directory / "saved.cfg").string();
  window->blank_forms().entries[1].variant = 3;
  window->configuration().services[0].enabled = 0;
  ui.file_choices = {path};
  window->N12->setEnabled(true);
  window->N12->trigger();
  ASSERT_EQ(ui.file_dialogs.size(), 1u);
  EXPECT_EQ(ui.file_dialogs[0].filter, "Конфигурация (*.cfg)|*.cfg");
  EXPECT_EQ(ui.file_dialogs[0].default_suffix, "cfg");
  EXPECT_FALSE(ui.file_dialogs[0].confirm_overwrite);
  EXPECT_EQ(fs::file_size(path), 8875u);

  TForm1 other(MainWindowServices{&device.link(), &ui});
  ui.file_choices = {path};
  other.N8->trigger();
  EXPECT_EQ(other.blank_forms().entries[1].variant, 3);
  EXPECT_EQ(other.configuration().services[0].enabled, 0);
  EXPECT_TRUE(other.N12->isEnabled());
  EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{"Сохранено...", "Считано..."}));
}

TEST_F(ConfigCommandsTest, CancelledDialogsDoNothing) {
  window->N8->trigger();
  window->N12->setEnabled(true);
  window->N12->trigger();
  EXPECT_EQ(ui.file_dialogs.size(), 2u);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_TRUE(fs::is_empty(directory));
}

}  // namespace
}  // namespace tarnis::app
