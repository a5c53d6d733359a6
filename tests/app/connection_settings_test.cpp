#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>
#include <QMessageBox>
#include <QTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/connection_settings_dialog.h"
#include "app/device_choice_dialog.h"
#include "emulator/pty_server.h"
#include "lock_holder.h"
#include "app/main_window.h"
#include "app/wait_window.h"
#include "app_test_support.h"
#include "link/exchange_log.h"
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

namespace tarnis::app {
namespace {

std::unique_ptr<emulator::PtyServer> Emulator(const std::string& name, int line_speed, std::uint32_t factory_number) {
  emulator::Km07Device device;
  device.state().factory_number = factory_number;
  device.faults().line_speed = line_speed;
  auto server = std::make_unique<emulator::PtyServer>(std::move(device));
  EXPECT_TRUE(server->Start(name));
  return server;
}

TEST_F(ConnectionSettingsTest, PortsAreMarkedWithTheirStateAndAFailingOneSaysWhy) {
  test::PrivatePortsDirectory ports;
  const auto free_device = Emulator("COM3", 0, 1);
  const auto held_device = Emulator("COM4", 0, 1);
  test::LockHolder holder(held_device->slave_path());
  ASSERT_TRUE(holder.locked());
  TForm3 fresh(*window);
  const pid_t holder_pid = holder.pid();
  holder.Release();

  const auto tip = [&](int index) { return fresh.ComboBox1->itemData(index, Qt::ToolTipRole).toString(); };
  EXPECT_EQ(tip(2), "COM3: свободен");
  EXPECT_EQ(tip(3), "COM4: занят");
  EXPECT_EQ(tip(96), "COM97: нет устройства");
  EXPECT_FALSE(fresh.ComboBox1->itemIcon(2).isNull());
  EXPECT_NE(fresh.ComboBox1->itemIcon(2).cacheKey(), fresh.ComboBox1->itemIcon(3).cacheKey());
  EXPECT_EQ(fresh.ComboBox1->itemText(3), "COM4");  // the names stay as they were

  fresh.ComboBox1->setCurrentText("COM4");
  EXPECT_TRUE(fresh.PortReason->text().startsWith(QString::fromStdString("Порт " + held_device->slave_path() + " занят ")));
  EXPECT_TRUE(fresh.PortReason->text().contains(QString("(PID %1)").arg(holder_pid)));
  fresh.ComboBox1->setCurrentText("COM3");
  EXPECT_EQ(fresh.PortReason->text(), "");
  EXPECT_EQ(fresh.PortDevice->toolTip(), QString::fromStdString("Устройство: " + free_device->slave_path()));
}

TEST_F(ConnectionSettingsTest, FindDeviceFillsTheFieldsAndLetsTheUserPickOneOfSeveral) {
  test::PrivatePortsDirectory ports;
  auto fast = Emulator("COM5", 0, 1);
  const auto slow = Emulator("COM6", 2400, 1);
  TForm3 fresh(*window);
  EXPECT_EQ(fresh.FindDevice->text(), "Найти аппарат");
  fresh.Edit3->setText("1");

  QStringList offered;
  test::WhenModal<DeviceChoiceDialog>([&](DeviceChoiceDialog& choice) {
    for (int i = 0; i < choice.DeviceList->count(); ++i) offered << choice.DeviceList->item(i)->text();
    choice.DeviceList->setCurrentRow(1);
    choice.accept();
  });
  fresh.FindDevice->click();
  EXPECT_EQ(offered, (QStringList{"COM5, 115200 бод, зав. номер 1", "COM6, 2400 бод, зав. номер 1"}));
  EXPECT_EQ(fresh.ComboBox1->currentText(), "COM6");
  EXPECT_EQ(fresh.ComboBox2->currentText(), "2400");
  EXPECT_EQ(ui.EventsStartingWith("wait show").size(), 1u);
  EXPECT_EQ(ui.EventsStartingWith("wait close").size(), 1u);
  EXPECT_EQ(ui.EventsStartingWith("progress end").size(), 1u);
  EXPECT_FALSE(ui.busy_cursor);

  // One device: taken at once, its factory number with it.
  fast.reset();
  slow->WithDevice([](emulator::Km07Device& device) { device.state().factory_number = 4242; });
  fresh.Edit3->setText("4242");
  fresh.ComboBox2->setCurrentText("115200");
  fresh.ComboBox1->setCurrentText("COM1");
  fresh.FindDevice->click();
  EXPECT_EQ(fresh.ComboBox1->currentText(), "COM6");
  EXPECT_EQ(fresh.ComboBox2->currentText(), "2400");
  EXPECT_EQ(fresh.Edit3->text(), "4242");
  EXPECT_TRUE(ui.messages.empty());
  // Every try reached the exchange log.
  const auto& records = window->exchange_log().records();
  EXPECT_TRUE(std::any_of(records.begin(), records.end(), [](const link::ExchangeRecord& record) {
    return link::FormatExchange(record).find("  COM6 2400  запрос состояния  успешно") != std::string::npos;
  }));

  // A device that refuses the number typed is named, and the user is sent to the number.
  fresh.Edit3->setText("77");
  fresh.FindDevice->click();
  EXPECT_EQ(ui.MessageTexts(),
            std::vector<std::string>{
                "На COM6 (2400) отвечает аппарат с другим заводским номером: введите номер с таблички"});
  EXPECT_EQ(fresh.ComboBox1->currentText(), "COM6");
  EXPECT_EQ(fresh.Edit3->text(), "77");
  EXPECT_EQ(fresh.focusWidget(), fresh.Edit3);

  // Among several, such a device says so, and the one with the typed number comes chosen.
  fast = Emulator("COM5", 0, 1);
  fresh.Edit3->setText("4242");
  int preselected = -1;
  offered.clear();
  test::WhenModal<DeviceChoiceDialog>([&](DeviceChoiceDialog& choice) {
    for (int i = 0; i < choice.DeviceList->count(); ++i) offered << choice.DeviceList->item(i)->text();
    preselected = choice.DeviceList->currentRow();
    choice.reject();
  });
  fresh.FindDevice->click();
  EXPECT_EQ(offered, (QStringList{"COM5, 115200 бод, зав. номер не совпал", "COM6, 2400 бод, зав. номер 4242"}));
  EXPECT_EQ(preselected, 1);
}

// The search runs from the modal settings dialog, under the program's own wait window: its
// "Прервать" must be clickable over the dialog. The search then ends after the tries under way
// (the device answering only at the last speed is never reached), nothing it had found is filled
// in, and no "not found" notice follows.
TEST(ConnectionSettingsStop, StopEndsTheSearchPromptlyAndFillsNothingIn) {
  test::PrivatePortsDirectory ports;
  const auto fast = Emulator("COM5", 0, 1);
  const auto slow = Emulator("COM6", 2400, 1);
  TForm1 window;
  auto* wait = new TForm9(&window);
  window.SetWaitWindow(wait);
  window.show();

  QStringList shown;  // message boxes and pick dialogs, each dismissed
  QTimer guard;
  guard.setInterval(5);
  QObject::connect(&guard, &QTimer::timeout, [&shown] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      shown << box->text();
      box->reject();
    } else if (auto* choice = qobject_cast<DeviceChoiceDialog*>(modal)) {
      shown << "pick";
      choice->reject();
    }
  });
  guard.start();
  bool clicked = false;
  QTimer clicker;
  clicker.setInterval(1);
  QObject::connect(&clicker, &QTimer::timeout, [&] {
    const auto answered = fast->WithDevice([](emulator::Km07Device& d) { return d.requests_seen(link::Command::Status); });
    if (clicked || !wait->isVisible() || answered == 0) return;
    // Through the window system, as a user's click comes: a window a modal dialog blocks drops it.
    QTest::mouseClick(wait->windowHandle(), Qt::LeftButton, {}, wait->Button1->geometry().center());
    clicked = true;
  });
  clicker.start();

  TForm3 dialog(window);
  dialog.ComboBox1->setCurrentText("COM1");
  dialog.ComboBox2->setCurrentText("9600");
  dialog.Edit3->setText("1");
  test::WhenModal<TForm3>([](TForm3& open) {
    open.FindDevice->click();
    open.Button2->click();  // "Отмена"
  });
  dialog.exec();
  EXPECT_TRUE(clicked);
  EXPECT_TRUE(shown.isEmpty()) << shown.join("\n").toStdString();
  EXPECT_EQ(dialog.ComboBox1->currentText(), "COM1");
  EXPECT_EQ(dialog.ComboBox2->currentText(), "9600");
  EXPECT_FALSE(wait->isVisible());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace tarnis::app
