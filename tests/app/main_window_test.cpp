#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QSet>
#include <QTest>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/connection_settings_dialog.h"
#include "app/main_window.h"
#include "app_test_support.h"
#include "emulated_device.h"
#include "lock_holder.h"
#include "link/link.h"
#include "platform/port_names.h"
#include "recording_user_interface.h"

namespace tarnis::app {
namespace {

using namespace std::chrono_literals;
using test::WhenModal;

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() {
    window = std::make_unique<TForm1>(MainWindowServices{nullptr, &ui});
    window->SetPortSettleDelay(0ms);
  }

  // Opens the settings dialog from the menu and applies the given port and speed.
  void ApplyFromMenu(const QString& port, const QString& speed) {
    WhenModal<TForm3>([port, speed](TForm3& dialog) {
      dialog.ComboBox1->setCurrentText(port);
      dialog.ComboBox2->setCurrentText(speed);
      dialog.Button1->click();
    });
    window->N1->trigger();
  }

  std::vector<QString> EnabledDeviceCommands() const {
    std::vector<QString> enabled;
    for (QObject* command : std::initializer_list<QObject*>{window->N5, window->N2, window->N9, window->N12,
                                                             window->N10, window->ToolButton4, window->WriteChangesButton,
                                                             window->ToolButton6, window->ToolButton8}) {
      const bool on = command->property("enabled").toBool();
      if (on) enabled.push_back(command->objectName());
    }
    return enabled;
  }

  test::RecordingUserInterface ui;
  std::unique_ptr<TForm1> window;
};

TEST_F(MainWindowTest, MenusAndButtonsCarryTheirCaptionsHintsAndStartStates) {
  EXPECT_EQ(window->windowTitle(), "Tarnis");
  EXPECT_EQ(window->width(), 742);
  EXPECT_EQ(window->height() - window->MainMenu1->sizeHint().height(), 504);

  const std::vector<std::pair<QAction*, QString>> captions = {
      {window->N1, "Настройки подключения"},
      {window->N5, "Конструктор"},
      {window->N6, "\"Помощник\""},
      {window->N8, "Открыть конфигурацию из файла"},
      {window->N12, "Сохранить конфигурацию в файле"},
      {window->N011, "Выгрузить из ОРМИЗ КМ-07"},
      {window->N012, "Загрузить в ОРМИЗ КМ-07"},
      {window->WriteChangesAction, "Загрузить изменения в ОРМИЗ КМ-07"},
      {window->N013, "Сравнить с ОРМИЗ КМ-07"},
      {window->N14, "Данные операторов"},
      {window->N15, "Название ДСО"},
      {window->N16, "Услуги"},
      {window->N17, "Дополнительные реквизиты"},
      {window->N18, "Клише"},
      {window->N20, "Формы БСО"},
      {window->N9, "База товаров"},
      {window->N2, "Администрирование"},
      {window->N3, "Программирование ИНН"},
      {window->N4, "Запрос состояния"},
      {window->N10, "Отчеты"},
      {window->N11, "О программе"}};
  // The visible captions; the accelerator marks are not shown as characters.
  for (const auto& [action, caption] : captions)
    EXPECT_EQ(QString(action->text()).remove('&'), caption) << action->objectName().toStdString();
  for (QAction* separator : {window->N7, window->N13, window->N19}) EXPECT_TRUE(separator->isSeparator());

  // The items of the "Конструктор" submenu, in order.
  const QList<QAction*> constructor_items = window->N5->menu()->actions();
  const QList<QAction*> expected = {window->N6,  window->N7,  window->N8,  window->N12, window->N011,
                                    window->N012, window->WriteChangesAction, window->N013, window->N13, window->N14, window->N15, window->N16,
                                    window->N17, window->N18, window->N19, window->N20};
  EXPECT_EQ(constructor_items, expected);
  EXPECT_EQ(window->N2->menu()->actions(), (QList<QAction*>{window->N3, window->N4}));

  EXPECT_EQ(window->ToolButton2->toolTip(), "Настройки подключения");
  EXPECT_EQ(window->ToolButton4->toolTip(), "Конструктор-\"Помощник\"");
  EXPECT_EQ(window->WriteChangesButton->toolTip(), "Загрузить изменения в ОРМИЗ КМ-07");
  EXPECT_EQ(window->ToolButton6->toolTip(), "База товаров");
  EXPECT_EQ(window->ToolButton8->toolTip(), "Отчеты");
  EXPECT_EQ(window->ExchangeLogButton->toolTip(), "Журнал обмена (Ctrl+L)");
  EXPECT_TRUE(window->ExchangeLogButton->isEnabled());

  EXPECT_TRUE(window->N1->isEnabled());
  EXPECT_TRUE(window->N11->isEnabled());
  EXPECT_TRUE(window->ToolButton2->isEnabled());
  EXPECT_EQ(EnabledDeviceCommands(), std::vector<QString>{"N9"});

  EXPECT_EQ(window->StatusPanelText(1), "Порт:");
  EXPECT_EQ(window->StatusPanelText(2), "Скорость:");
}

// Every menu and item has one accelerator letter, none shared within its menu, and Alt+letter
// reaches it from the keyboard.
TEST_F(MainWindowTest, EveryMenuAndItemHasItsOwnAcceleratorLetter) {
  const auto letters_of = [](const QList<QAction*>& actions) {
    QStringList letters;
    for (const QAction* action : actions) {
      if (action->isSeparator()) continue;
      const QString text = action->text();
      EXPECT_EQ(text.count('&'), 1) << text.toStdString();
      const qsizetype mark = text.indexOf('&');
      if (mark >= 0 && mark + 1 < text.size()) letters << text.at(mark + 1).toUpper();
    }
    EXPECT_EQ(QSet<QString>(letters.begin(), letters.end()).size(), letters.size()) << letters.join(',').toStdString();
  };
  letters_of(window->MainMenu1->actions());
  letters_of(window->N5->menu()->actions());
  letters_of(window->N2->menu()->actions());
  EXPECT_EQ(window->N8->shortcut(), QKeySequence(QKeySequence::Open));
  EXPECT_EQ(window->N12->shortcut(), QKeySequence(QKeySequence::Save));

  test::EmulatedDevice device("COM5");
  ApplyFromMenu("COM5", "9600");
  window->show();
  window->activateWindow();
  QApplication::setActiveWindow(window.get());
  QApplication::processEvents();
  const auto alt = [this](char16_t letter) {
    QTest::sendKeyEvent(QTest::Click, window.get(), static_cast<Qt::Key>(QChar(letter).toUpper().unicode()),
                        QString(QChar(letter)), Qt::AltModifier);
    QApplication::processEvents();
  };
  for (const auto& [letter, menu] : {std::pair{u'к', window->N5->menu()}, std::pair{u'а', window->N2->menu()}}) {
    alt(letter);
    EXPECT_TRUE(menu->isVisible()) << menu->objectName().toStdString();
    menu->close();
    QApplication::processEvents();
  }
  QSignalSpy goods(window->N9, &QAction::triggered);
  alt(u'б');
  EXPECT_EQ(goods.count(), 1);
}

// A keyboard user sees which tool button has the focus.
TEST_F(MainWindowTest, ToolButtonsShowTheirFocus) {
  window->show();
  window->activateWindow();
  QApplication::setActiveWindow(window.get());
  QToolButton* button = window->ToolButton2;
  EXPECT_TRUE(button->focusPolicy() & Qt::TabFocus);
  window->MainMenu1->setFocus();
  QApplication::processEvents();
  const QImage unfocused = button->grab().toImage();
  button->setFocus(Qt::TabFocusReason);
  QApplication::processEvents();
  ASSERT_TRUE(button->hasFocus());
  EXPECT_NE(button->grab().toImage(), unfocused);
}

TEST_F(MainWindowTest, ApplyingAPortThatOpensEnablesTheDeviceCommands) {
  test::EmulatedDevice device("COM5");
  QSignalSpy port_opened(window.get(), &TForm1::PortOpened);

  ApplyFromMenu("COM5", "9600");

  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(port_opened.count(), 1);
  EXPECT_EQ(EnabledDeviceCommands(), (std::vector<QString>{"N5", "N2", "N9", "ToolButton4", "WriteChangesButton", "ToolButton6"}));
  EXPECT_EQ(window->StatusPanelText(1), "Порт: COM5");
  EXPECT_EQ(window->StatusPanelText(2), "Скорость: 9600");
  const auto& settings = window->link().settings();
  EXPECT_EQ(settings.port_name, "COM5");
  EXPECT_EQ(settings.baud_rate, 9600);
  EXPECT_EQ(settings.inter_byte_timeout_ms, 250);
  EXPECT_EQ(settings.total_timeout_ms, 2500);
  EXPECT_EQ(settings.factory_number, "1");
  EXPECT_FALSE(window->link().busy());
}

TEST_F(MainWindowTest, APortThatDoesNotOpenIsReportedAndStillEnablesTheMenus) {
  test::PrivatePortsDirectory ports;
  ASSERT_TRUE(RegisterPort("COM7", ports.path() + "/unplugged"));
  QSignalSpy port_opened(window.get(), &TForm1::PortOpened);

  ApplyFromMenu("COM7", "115200");

  ASSERT_EQ(ui.messages.size(), 1u);
  // The second line says why.
  EXPECT_EQ(ui.messages[0].text, "Не удалось открыть порт...\nУстройство " + ports.path() +
                                     "/unplugged не найдено: адаптер не подключен или порт назван иначе.");
  EXPECT_EQ(ui.messages[0].caption, "Ошибка...");
  EXPECT_EQ(ui.messages[0].icon, ui::Icon::Error);
  EXPECT_EQ(port_opened.count(), 0);
  EXPECT_EQ(window->StatusPanelText(1), "Порт: ");
  EXPECT_EQ(window->StatusPanelText(2), "Скорость: ");
  EXPECT_EQ(EnabledDeviceCommands(), (std::vector<QString>{"N5", "N2", "N9", "ToolButton4", "WriteChangesButton", "ToolButton6"}));
  EXPECT_EQ(window->link().settings().port_name, "COM7");
  EXPECT_EQ(window->link().settings().port_path, ports.path() + "/COM7");  // fixed at Apply

  // A port another process holds names that process.
  test::EmulatedDevice device("COM8");
  test::LockHolder holder(device.server().slave_path());
  ASSERT_TRUE(holder.locked());
  ApplyFromMenu("COM8", "115200");
  const pid_t holder_pid = holder.pid();
  holder.Release();
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1].text.rfind("Не удалось открыть порт...\nПорт " + device.server().slave_path() + " занят ", 0), 0u)
      << ui.messages[1].text;
  EXPECT_NE(ui.messages[1].text.find("(PID " + std::to_string(holder_pid) + ")."), std::string::npos);
}

TEST_F(MainWindowTest, CancelChangesNothing) {
  WhenModal<TForm3>([](TForm3& dialog) {
    dialog.ComboBox1->setCurrentText("COM9");
    dialog.Button2->click();
  });
  window->N1->trigger();

  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(window->link().settings().settings_applied);
  EXPECT_EQ(window->link().settings().port_name, "");
  EXPECT_EQ(window->StatusPanelText(1), "Порт:");
  EXPECT_EQ(EnabledDeviceCommands(), std::vector<QString>{"N9"});
}

TEST_F(MainWindowTest, ReopenedSettingsShowTheDefaultsWhileTheStatusBarKeepsTheAppliedOnes) {
  test::EmulatedDevice device("COM3");
  ApplyFromMenu("COM3", "9600");
  ASSERT_TRUE(ui.messages.empty());

  QString port_shown, speed_shown, factory_shown;
  WhenModal<TForm3>([&](TForm3& dialog) {
    port_shown = dialog.ComboBox1->currentText();
    speed_shown = dialog.ComboBox2->currentText();
    factory_shown = dialog.Edit3->text();
    dialog.Button2->click();
  });
  window->ToolButton2->click();

  EXPECT_EQ(port_shown, "COM1");
  EXPECT_EQ(speed_shown, "115200");
  EXPECT_EQ(factory_shown, "1");
  EXPECT_EQ(window->StatusPanelText(1), "Порт: COM3");
  EXPECT_EQ(window->StatusPanelText(2), "Скорость: 9600");
  EXPECT_EQ(window->link().settings().port_name, "COM3");
  // Once enabled, the device commands stay enabled.
  EXPECT_EQ(EnabledDeviceCommands(), (std::vector<QString>{"N5", "N2", "N9", "ToolButton4", "WriteChangesButton", "ToolButton6"}));
}

TEST_F(MainWindowTest, ProgressPositionsAreStepTimesHundredOverTotal) {
  window->show();
  window->ProgressStart();
  EXPECT_TRUE(window->ProgressBar1->isVisible());
  EXPECT_EQ(window->ProgressBar1->value(), 0);
  window->ProgressStep(3, 96);
  EXPECT_EQ(window->ProgressBar1->value(), 3);
  window->ProgressStep(95, 96);
  EXPECT_EQ(window->ProgressBar1->value(), 98);
  window->ProgressStep(96, 96);
  EXPECT_EQ(window->ProgressBar1->value(), 100);
  window->ProgressStep(1, 0);
  EXPECT_EQ(window->ProgressBar1->value(), 0);
  window->ProgressStep(120, 96);  // a step past the total fills the bar rather than freezing it
  EXPECT_EQ(window->ProgressBar1->value(), 100);
  window->ProgressEnd();
  EXPECT_FALSE(window->ProgressBar1->isVisible());
  EXPECT_EQ(window->ProgressBar1->value(), 0);
}

TEST_F(MainWindowTest, ShowFrameShowsOnePageAtATimeAndKeepsThem) {
  window->show();
  auto* first = new QWidget;
  auto* second = new QWidget;
  window->PlaceFrame(first);
  window->PlaceFrame(second);
  EXPECT_EQ(first->parentWidget(), window->Panel1);
  EXPECT_EQ(first->pos(), QPoint(5, 5));
  EXPECT_FALSE(first->isVisible());

  window->ShowFrame(first);
  EXPECT_TRUE(first->isVisible());
  window->ShowFrame(first);
  EXPECT_TRUE(first->isVisible());
  window->ShowFrame(second);
  EXPECT_FALSE(first->isVisible());
  EXPECT_TRUE(second->isVisible());
  EXPECT_EQ(window->current_frame(), second);
  window->ShowFrame(nullptr);
  EXPECT_FALSE(second->isVisible());
  EXPECT_EQ(window->current_frame(), nullptr);
  EXPECT_EQ(first->parentWidget(), window->Panel1);
}

// Given on the command line, a connection is applied once the pages are made, as "Применить" would.
TEST_F(MainWindowTest, AConnectionGivenAtStartIsAppliedAndCheckedAsApplyWould) {
  test::PrivatePortsDirectory ports;
  test::EmulatedDevice device("COM5");
  ASSERT_TRUE(RegisterPort("COM7", ports.path() + "/unplugged"));
  const struct {
    const char* port;
    int baud;
    bool opens;
  } starts[] = {{"COM5", 9600, true}, {"COM7", 19200, false}};
  for (const auto& start : starts) {
    test::RecordingUserInterface start_ui;
    TForm1 started(MainWindowServices{nullptr, &start_ui});
    started.SetPortSettleDelay(0ms);
    link::LinkSettings settings;
    settings.port_name = start.port;
    settings.baud_rate = start.baud;
    settings.inter_byte_timeout_ms = 100;
    settings.total_timeout_ms = 900;
    settings.factory_number = "1";
    started.SetStartConnection(settings);
    QSignalSpy port_opened(&started, &TForm1::PortOpened);
    EXPECT_EQ(started.StatusPanelText(1), "Порт:");
    started.show();
    QTRY_VERIFY(started.N5->isEnabled());
    EXPECT_EQ(port_opened.count(), start.opens ? 1 : 0) << start.port;
    EXPECT_EQ(started.link().settings().total_timeout_ms, 900);
    EXPECT_TRUE(started.link().settings().settings_applied);
    if (start.opens) {
      EXPECT_TRUE(start_ui.messages.empty());
      EXPECT_EQ(started.StatusPanelText(1), "Порт: COM5");
      EXPECT_EQ(started.StatusPanelText(2), "Скорость: 9600");
    } else {
      ASSERT_EQ(start_ui.messages.size(), 1u);
      EXPECT_EQ(start_ui.messages[0].text.rfind("Не удалось открыть порт...\n", 0), 0u);
    }
  }
}

TEST_F(MainWindowTest, WhileAnOperationHoldsTheLinkCommandsAreRefusedAndTheWindowStaysOpen) {
  window->show();
  bool dialog_opened = false;
  {
    const link::Link::Operation operation(window->link());
    WhenModal<TForm3>([&](TForm3& dialog) {
      dialog_opened = true;
      dialog.Button2->click();
    });
    window->N1->trigger();
    window->ToolButton2->click();
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
  }
  EXPECT_FALSE(dialog_opened);
  EXPECT_EQ(ui.beeps, 3) << "each refusal sounds";
  EXPECT_TRUE(window->close());
  // The check that was refused left its watcher waiting; let it act on the next dialog.
  window->N1->trigger();
  EXPECT_TRUE(dialog_opened);
}

// Unsaved edits: closing asks (Отмена keeps the window, Нет closes), and so does a whole read that
// would replace them; with nothing unsaved neither asks.
TEST_F(MainWindowTest, UnsavedEditsAreNeverLostWithoutAQuestion) {
  window->show();
  EXPECT_TRUE(window->close());
  EXPECT_TRUE(ui.messages.empty());
  window->show();
  window->configuration().document_name.Set("0X");
  ui.answers = {ui::Answer::No, ui::Answer::Cancel, ui::Answer::No};
  window->N011->trigger();
  EXPECT_EQ(window->configuration().document_name.Text(), "0X") << "No keeps the edits and reads nothing";
  EXPECT_FALSE(window->close());
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->close());
  const std::string question = "Несохранённые изменения будут заменены данными из КМ. Продолжить?";
  EXPECT_EQ(ui.MessageTexts(), (std::vector<std::string>{question, "Сохранить изменения?", "Сохранить изменения?"}));
  EXPECT_EQ(ui.messages[1].buttons, ui::Buttons::YesNoCancel);
  EXPECT_EQ(ui.messages[1].caption, "Подтверждение...");
}

}  // namespace
}  // namespace tarnis::app
