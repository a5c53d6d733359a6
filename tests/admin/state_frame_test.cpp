#include "admin/state_frame.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QAbstractButton>
#include <QSignalSpy>
#include <QTest>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

#include "emulated_device.h"
#include "link/link_result.h"
#include "recording_user_interface.h"

namespace tarnis::admin {
namespace {

const char* const kFields[] = {"Edit11", "Edit12", "Edit1", "Edit2", "Edit18", "Edit19", "Edit3",
                               "Edit4",  "Edit7",  "Edit8", "Edit9", "Edit10", "Edit13", "Edit15"};

class StateFrameTest : public testing::Test {
 protected:
  StateFrameTest() : frame(device.link(), ui) { frame.show(); }

  QString Field(const char* name) {
    auto* field = frame.findChild<QLineEdit*>(name);
    EXPECT_NE(field, nullptr) << name;
    return field ? field->text() : QString("<missing>");
  }
  void PressStatus() { frame.findChild<QPushButton*>("BitBtn1")->click(); }
  void SetDevice(std::uint8_t mode, std::uint8_t battery, std::uint64_t inn) {
    device.WithDevice([=](emulator::Km07Device& d) {
      d.state().mode = mode;
      d.state().battery = battery;
      d.state().inn = inn;
      d.state().document_number = 1234;
      d.state().document_state = 1;
      d.state().flash = 0;
    });
  }

  test::EmulatedDevice device{"COM1", 305419896};
  test::RecordingUserInterface ui;
  TStateFrame frame;
};

TEST_F(StateFrameTest, ShowsTheDeviceStatus) {
  EXPECT_EQ(frame.findChild<QPushButton*>("BitBtn1")->text(), "Состояние");
  const std::pair<const char*, const char*> captions[] = {
      {"Label1", "Запрос состояния"},   {"Label10", "Время КМ :"},
      {"Label9", "Дата КМ :"},          {"Label3", "Режим работы :"},
      {"Label16", "Подрежим :"},        {"Label4", "Флеш память :"},
      {"Label6", "Батарейка :"},        {"Label7", "№ текущего документа :"},
      {"Label8", "Состояние текущего документа :"}, {"Label11", "Заводской номер КМ :"},
      {"Label13", "ИНН :"}};
  for (const auto& [name, text] : captions) {
    const auto* label = frame.findChild<QLabel*>(name);
    ASSERT_NE(label, nullptr) << name;
    EXPECT_EQ(label->text(), QString::fromUtf8(text)) << name;
  }
  for (const char* name : kFields) EXPECT_EQ(Field(name), "") << name;

  SetDevice(0x12, 4, 7701234567);
  PressStatus();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(Field("Edit1"), "1");
  EXPECT_EQ(Field("Edit2"), "Off-line");
  EXPECT_EQ(Field("Edit18"), "2");
  EXPECT_EQ(Field("Edit19"), "Реж. А");
  EXPECT_EQ(Field("Edit7"), "4");
  EXPECT_EQ(Field("Edit8"), "");
  EXPECT_EQ(Field("Edit3"), "0");
  EXPECT_EQ(Field("Edit4"), "Норма");
  EXPECT_FALSE(frame.findChild<QLineEdit*>("Edit4")->isVisible());
  EXPECT_EQ(Field("Edit9"), "1234");
  EXPECT_EQ(Field("Edit10"), "Не завершен");
  EXPECT_EQ(Field("Edit13"), "305419896");
  EXPECT_EQ(Field("Edit15"), "7701234567");
  EXPECT_TRUE(QRegularExpression("^\\d\\d:\\d\\d$").match(Field("Edit11")).hasMatch()) << Field("Edit11").toStdString();
  EXPECT_TRUE(QRegularExpression("^\\d\\d/\\d\\d/\\d\\d$").match(Field("Edit12")).hasMatch());
  EXPECT_EQ(ui.EventsStartingWith("cursor"), (std::vector<std::string>{"cursor busy", "cursor normal"}));

  SetDevice(0x35, 3, 5);
  PressStatus();
  EXPECT_EQ(Field("Edit1"), "3");
  EXPECT_EQ(Field("Edit2"), "");
  EXPECT_EQ(Field("Edit18"), "5");
  EXPECT_EQ(Field("Edit19"), "");
  EXPECT_EQ(Field("Edit8"), "АБР+АРП");
  EXPECT_EQ(Field("Edit15"), "5");
}

TEST_F(StateFrameTest, F5RequestsTheStatusWhileThePageIsShown) {
  frame.activateWindow();
  QApplication::setActiveWindow(&frame);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
  SetDevice(0x12, 4, 7701234567);
  auto* button = frame.findChild<QAbstractButton*>("BitBtn1");
  ASSERT_NE(button, nullptr);
  // The key presses the button at once (it shows itself down, then clicks): a hidden page's key
  // that did nothing is seen right away, with no waiting for a request that never comes.
  QSignalSpy pressed(button, &QAbstractButton::pressed);
  QTest::keyClick(&frame, Qt::Key_F5);
  EXPECT_EQ(pressed.count(), 1);
  EXPECT_TRUE(QTest::qWaitFor([&] { return Field("Edit1") == "1"; }));
  frame.hide();
  QTest::keyClick(&frame, Qt::Key_F5);
  EXPECT_EQ(pressed.count(), 1) << "a hidden page took F5";
  EXPECT_FALSE(button->isDown());
}

TEST_F(StateFrameTest, FailedRequestEmptiesEveryField) {
  SetDevice(0x10, 0, 123456789012);
  PressStatus();
  ASSERT_EQ(Field("Edit15"), "123456789012");

  device.WithDevice([](emulator::Km07Device& d) { d.faults().silent = true; });
  PressStatus();
  for (const char* name : kFields) EXPECT_EQ(Field(name), "") << name;
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text,
            std::string("Не удалось прочитать параметр.") + link::LinkResultMessage(link::LinkResult::NoAnswer));
  EXPECT_EQ(ui.messages[0].caption, "Ошибка...");
  EXPECT_EQ(ui.messages[0].icon, ui::Icon::Error);
}

TEST_F(StateFrameTest, RefusedWhileAnotherOperationHoldsTheLink) {
  const link::Link::Operation other(device.link());
  PressStatus();
  EXPECT_TRUE(ui.events.empty());
  EXPECT_EQ(device.WithDevice([](emulator::Km07Device& d) { return d.total_requests_seen(); }), 0u);
}

}  // namespace
}  // namespace tarnis::admin
