#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "app/connection_settings_dialog.h"
#include "app/main_window.h"
#include "app_test_support.h"
#include "link/link.h"
#include "platform/port_names.h"
#include "recording_user_interface.h"

namespace tarnis::app {
namespace {

class ConnectionSettingsTest : public ::testing::Test {
 protected:
  ConnectionSettingsTest() {
    window = std::make_unique<TForm1>(MainWindowServices{nullptr, &ui});
    dialog = std::make_unique<TForm3>(*window);
  }

  QStringList Items(QComboBox* box) const {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
  }

  QStringList LabelTexts() const {
    QStringList texts;
    for (const QLabel* label : dialog->findChildren<QLabel*>()) texts << label->text();
    return texts;
  }

  test::RecordingUserInterface ui;
  std::unique_ptr<TForm1> window;
  std::unique_ptr<TForm3> dialog;
};

TEST_F(ConnectionSettingsTest, OpensWithTheDefaultsAndTexts) {
  EXPECT_EQ(dialog->windowTitle(), "Настройки подключения....");
  const QStringList ports = Items(dialog->ComboBox1);
  ASSERT_EQ(ports.size(), 100);
  EXPECT_EQ(ports.front(), "COM1");
  EXPECT_EQ(ports[11], "COM12");
  EXPECT_EQ(ports.back(), "COM100");
  EXPECT_EQ(dialog->ComboBox1->currentText(), "COM1");
  EXPECT_EQ(Items(dialog->ComboBox2),
            (QStringList{"2400", "4800", "9600", "19200", "38400", "57600", "115200"}));
  EXPECT_EQ(dialog->ComboBox2->currentText(), "115200");
  EXPECT_EQ(dialog->Edit3->text(), "1");
  EXPECT_EQ(dialog->Edit1->text(), "250");
  EXPECT_EQ(dialog->Edit2->text(), "2500");
  EXPECT_EQ(dialog->Button1->text(), "Применить");
  EXPECT_EQ(dialog->Button2->text(), "Отмена");

  const QStringList labels = LabelTexts();
  for (const char* text : {"Выберите COM порт подключения и скорость работы аппарата", "Порт:", "Скорость:",
                           "Зав. номер машины:", "Установите значение тайм-аутов в мс. Если вы затрудняетесь с ",
                           "выбором, оставьте значения по умолчанию.", "Тайм-аут между приемом байт:",
                           "Общий тайм-аут:"})
    EXPECT_TRUE(labels.contains(QString::fromUtf8(text))) << text;
}

TEST_F(ConnectionSettingsTest, ApplyStoresEverySettingAndShowsPortAndSpeed) {
  dialog->ComboBox1->setCurrentText("COM12");
  dialog->ComboBox2->setCurrentText("2400");
  dialog->Edit1->setText("0");  // no limit on the gap between bytes
  dialog->Edit2->setText("1000");
  dialog->Edit3->setText("-5");
  dialog->Button1->click();

  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_TRUE(ui.messages.empty());
  const auto& settings = window->link().settings();
  EXPECT_TRUE(settings.settings_applied);
  EXPECT_EQ(settings.port_name, "COM12");
  EXPECT_EQ(settings.baud_rate, 2400);
  EXPECT_EQ(settings.inter_byte_timeout_ms, 0);
  EXPECT_EQ(settings.total_timeout_ms, 1000);
  EXPECT_EQ(settings.factory_number, "-5");
  EXPECT_EQ(window->StatusPanelText(1), "Порт: COM12");
  EXPECT_EQ(window->StatusPanelText(2), "Скорость: 2400");
}

TEST_F(ConnectionSettingsTest, EmptyFieldsTakeTheirDefaults) {
  dialog->Edit1->clear();
  dialog->Edit2->clear();
  dialog->Edit3->clear();
  dialog->Button1->click();

  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(dialog->Edit1->text(), "250");
  EXPECT_EQ(dialog->Edit2->text(), "2500");
  EXPECT_EQ(dialog->Edit3->text(), "0");
  const auto& settings = window->link().settings();
  EXPECT_EQ(settings.inter_byte_timeout_ms, 250);
  EXPECT_EQ(settings.total_timeout_ms, 2500);
  EXPECT_EQ(settings.factory_number, "0");
}

TEST_F(ConnectionSettingsTest, ABadFieldIsNamedAndNothingIsApplied) {
  struct Case {
    QLineEdit* TForm3::*field;
    const char* text;  // may be pasted, so not only digits
    const char* message;
  };
  const char* const inter_byte = "Тайм-аут между приемом байт: введите целое число миллисекунд от 0 до 600000.";
  const char* const total = "Общий тайм-аут: введите целое число миллисекунд от 1 до 600000.";
  const Case cases[] = {
      {&TForm3::Edit1, "-1", inter_byte},
      {&TForm3::Edit1, "12a", inter_byte},
      {&TForm3::Edit1, "600001", inter_byte},
      {&TForm3::Edit2, "99999999999", total},
      {&TForm3::Edit2, "%25", total},
      {&TForm3::Edit2, "0", total},
      {&TForm3::Edit3, "2147483648", link::kBadFactoryNumberMessage},
      {&TForm3::Edit3, "1'2", link::kBadFactoryNumberMessage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    ui.messages.clear();
    TForm3 fresh(*window);
    (fresh.*c.field)->setText(c.text);
    fresh.ComboBox1->setCurrentText("COM4");
    fresh.Button1->click();

    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, c.message);
    EXPECT_EQ(ui.messages[0].caption, "Ошибка...");
    EXPECT_EQ(ui.messages[0].icon, ui::Icon::Error);
    EXPECT_NE(fresh.result(), QDialog::Accepted);
    const auto& settings = window->link().settings();
    EXPECT_FALSE(settings.settings_applied);
    EXPECT_EQ(settings.port_name, "");
    EXPECT_EQ(settings.baud_rate, 0);
    EXPECT_EQ(settings.factory_number, "0");
    EXPECT_EQ(window->StatusPanelText(1), "Порт:");
  }
}

TEST_F(ConnectionSettingsTest, TheFactoryNumberTakesAtMostFifteenCharacters) {
  dialog->Edit3->setFocus();
  dialog->Edit3->clear();
  QTest::keyClicks(dialog->Edit3, "12345678901234567");
  EXPECT_EQ(dialog->Edit3->text(), "123456789012345");
}

TEST_F(ConnectionSettingsTest, CancelAndEscapeClearTheAppliedFlagOnly) {
  dialog->Button1->click();
  ASSERT_TRUE(window->link().settings().settings_applied);

  TForm3 again(*window);
  again.Button2->click();
  EXPECT_FALSE(window->link().settings().settings_applied);
  EXPECT_EQ(window->link().settings().port_name, "COM1");

  window->link().settings().settings_applied = true;
  TForm3 escaped(*window);
  escaped.show();
  QTest::keyClick(&escaped, Qt::Key_Escape);
  EXPECT_FALSE(window->link().settings().settings_applied);
  EXPECT_FALSE(escaped.isVisible());
}

TEST_F(ConnectionSettingsTest, ShowsTheDeviceTheChosenNameResolvesTo) {
  test::PrivatePortsDirectory ports;
  ASSERT_TRUE(RegisterPort("COM2", "/dev/null"));
  ASSERT_TRUE(RegisterPort("COM3", ports.path() + "/gone"));
  TForm3 fresh(*window);

  fresh.ComboBox1->setCurrentText("COM2");
  EXPECT_EQ(fresh.PortDevice->toolTip(), "Устройство: /dev/null");
  fresh.ComboBox1->setCurrentText("COM3");
  EXPECT_EQ(fresh.PortDevice->toolTip(), QString::fromStdString("Устройство: " + ports.path() + "/gone (не найдено)"));
  fresh.ComboBox1->setCurrentText("COM100");
  EXPECT_EQ(fresh.PortDevice->toolTip(), "Устройство: не задано");
  fresh.ComboBox1->setCurrentText("COM33");
  EXPECT_TRUE(fresh.PortDevice->toolTip().startsWith("Устройство: /dev/ttyUSB0"));
}

}  // namespace
}  // namespace tarnis::app
