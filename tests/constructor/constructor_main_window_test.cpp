// The main window's ways into the blank form constructor: "Формы БСО" and an opened file.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <memory>

#include "app/main_window.h"
#include "config/config_file.h"
#include "constructor/constructor_frame.h"
#include "emulated_device.h"
#include "platform/whole_file.h"
#include "recording_user_interface.h"

namespace tarnis::constructor {
namespace {

class ConstructorMainWindowTest : public ::testing::Test {
 protected:
  ConstructorMainWindowTest() {
    window = std::make_unique<app::TForm1>(app::MainWindowServices{&device.link(), &ui});
    window->show();
    page = window->findChild<TFrameConstructor*>(QStringLiteral("TFrameConstructor"));
  }

  QString GroupLabel() { return page->findChild<QLabel*>(QStringLiteral("Label23"))->text(); }
  QColor FormColour(int form) {
    return page->findChild<QToolButton*>(QStringLiteral("SpeedButton%1").arg(form))->palette().color(QPalette::ButtonText);
  }

  test::EmulatedDevice device;
  test::RecordingUserInterface ui;
  std::unique_ptr<app::TForm1> window;
  TFrameConstructor* page = nullptr;
};

const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);

TEST_F(ConstructorMainWindowTest, BlankFormsShowsTheDeviceGroupAndItsBlanks) {
  ASSERT_NE(page, nullptr);
  EXPECT_FALSE(page->isVisible());
  device.WithDevice([](emulator::Km07Device& d) {
    d.state().group = 2;
    d.state().blanks[3].held = false;
  });
  window->N20->trigger();
  EXPECT_EQ(window->current_frame(), page);
  EXPECT_TRUE(page->isVisible());
  EXPECT_EQ(GroupLabel(), "2");
  EXPECT_EQ(FormColour(4), kRed);
  EXPECT_EQ(FormColour(5), kBlack);
  EXPECT_EQ(window->blank_forms().entries[3].programmed, 0);
  EXPECT_TRUE(window->N12->isEnabled());
  EXPECT_EQ(ui.EventsStartingWith("wait step"), (std::vector<std::string>{"wait step Запрос текущей группы..."}));

  ui.answers = {ui::Answer::Yes};
  page->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
  EXPECT_EQ(window->current_frame(), nullptr);
  EXPECT_FALSE(page->isVisible());
}

TEST_F(ConstructorMainWindowTest, WithoutAnAnswerTheUserDecides) {
  device.WithDevice([](emulator::Km07Device& d) { d.faults().silent = true; });
  window->blank_forms().entries[1].programmed = 0;
  ui.answers = {ui::Answer::No, ui::Answer::Yes};

  window->N20->trigger();
  EXPECT_EQ(window->current_frame(), nullptr);
  EXPECT_TRUE(window->N12->isEnabled());

  window->N20->trigger();
  EXPECT_EQ(window->current_frame(), page);
  EXPECT_EQ(GroupLabel(), "");
  EXPECT_EQ(FormColour(2), kRed);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1].text, "Не удалось выполнить запрос состояния!\nТекущая группа неизвестна. Желаете продолжить?");
}

TEST_F(ConstructorMainWindowTest, AnOpenedFileShowsItsBlankForms) {
  QTemporaryDir directory;
  const std::string path = directory.filePath(QStringLiteral("forms.cfg")).toStdString();
  BlankFormTable table;
  table.entries[6] = {0, 3, 1, 2};
  config::DeviceConfiguration configuration;
  config::FillDefaults(configuration);
  ASSERT_TRUE(ReplaceFile(path, config::EncodeConfigurationFile(table, configuration)));
  ui.file_choices = {path};

  window->N8->trigger();
  EXPECT_EQ(window->current_frame(), page);
  EXPECT_EQ(window->blank_forms(), table);
  EXPECT_EQ(FormColour(7), kRed);
  EXPECT_EQ(FormColour(1), kBlack);
  EXPECT_EQ(page->findChild<QLabel*>(QStringLiteral("Label7"))->text(), "-");
}

}  // namespace
}  // namespace tarnis::constructor
