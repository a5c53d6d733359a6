#include "admin/inn_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QKeyEvent>

#include "emulated_device.h"
#include "recording_user_interface.h"

namespace tarnis::admin {
namespace {

class InnDialogTest : public testing::Test {
 protected:
  InnDialogTest() : dialog(device.link(), ui) {
    dialog.show();
    dialog.activateWindow();
    QApplication::processEvents();
  }

  template <class T>
  T* Child(const char* name) {
    T* child = dialog.findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  std::size_t InnRequests() {
    return device.WithDevice([](emulator::Km07Device& d) { return d.requests_seen(link::Command::Inn); });
  }

  test::EmulatedDevice device;
  test::RecordingUserInterface ui;
  TForm10 dialog;
};

TEST_F(InnDialogTest, StartsFromZerosTodayAndGroup1) {
  EXPECT_EQ(dialog.windowTitle(), "Программирование ИНН....");
  EXPECT_EQ(Child<QLabel>("Label1")->text(), "Программирование ИНН");
  EXPECT_EQ(Child<QLabel>("Label2")->text(), "Внимание!");
  // The warning in its reading order: Label9 goes on from "Внимание!".
  const std::pair<const char*, const char*> warning[] = {
      {"Label9", "Ввод ИИН переводит КМ в рабочий режим. Все формы БСО,"},
      {"Label3", "которые были запрограммированы до ввода ИНН, при переходе КМ в рабочий"},
      {"Label4", "режим автоматически будут удалены. Поэтому в рабочем режиме их нужно"},
      {"Label10", "будет вводить заново (в соответствии с выбранной группой БСО). В рабочем"},
      {"Label11", "режиме все печатаемые на ДСО данные (название ДСО, Ф.И.О. и должность"},
      {"Label12", "операторов, клише, услуги и доп. реквизиты), а также формы БСО перепрог-"},
      {"Label13", "раммировать будет уже нельзя!"},
      {"Label5", "ИНН:"},
      {"Label6", "Пароль:"},
      {"Label7", "Дата:"},
      {"Label8", "Группа:"}};
  int previous_top = -1;
  for (const auto& [name, text] : warning) {
    const QLabel* label = Child<QLabel>(name);
    if (!label) continue;
    EXPECT_EQ(label->text(), QString::fromUtf8(text)) << name;
    EXPECT_GT(label->y(), previous_top) << name;
    previous_top = label->y();
  }
  EXPECT_NEAR(Child<QLabel>("Label9")->y(), Child<QLabel>("Label2")->y(), 2);
  EXPECT_EQ(Child<QLineEdit>("Edit1")->text(), "0");
  EXPECT_EQ(Child<QLineEdit>("Edit1")->maxLength(), 12);
  EXPECT_EQ(Child<QLineEdit>("Edit2")->text(), "0");
  EXPECT_EQ(Child<QLineEdit>("Edit2")->maxLength(), 5);
  EXPECT_EQ(Child<QDateEdit>("DateTimePicker1")->date(), QDate::currentDate());
  EXPECT_EQ(Child<QDateEdit>("DateTimePicker1")->minimumDate(), QDate(2000, 1, 1));
  auto* groups = Child<QComboBox>("ComboBox1");
  EXPECT_EQ(groups->currentText(), "Группа 1");
  EXPECT_EQ(groups->count(), 3);
  EXPECT_EQ(groups->itemText(2), "Группа 3");
  EXPECT_EQ(Child<QPushButton>("Button2")->text(), "Применить");
  EXPECT_EQ(Child<QPushButton>("Button1")->text(), "Отмена");
}

TEST_F(InnDialogTest, TypedLettersAndSignsDoNotReachTheFields) {
  auto* inn = Child<QLineEdit>("Edit1");
  inn->clear();
  inn->setFocus();
  for (const QChar c : QString("7a7%'-0")) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(inn, &press);
  }
  EXPECT_EQ(inn->text(), "770");
}

TEST_F(InnDialogTest, RefusalsKeepTheDialogOpenWithTheFocusOnTheField) {
  Child<QLineEdit>("Edit2")->setText("1%");  // pasted: the key filter cannot stop it
  Child<QPushButton>("Button2")->click();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Пароль должен быть числом от 0 до 99999..."});
  EXPECT_EQ(QApplication::focusWidget(), Child<QLineEdit>("Edit2"));

  ui.messages.clear();
  Child<QLineEdit>("Edit1")->clear();
  Child<QPushButton>("Button2")->click();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Поле ИНН не заполнено..."});
  EXPECT_EQ(ui.messages[0].caption, "Предупреждение...");
  EXPECT_EQ(QApplication::focusWidget(), Child<QLineEdit>("Edit1"));

  ui.messages.clear();
  Child<QLineEdit>("Edit1")->setText("1");
  Child<QLineEdit>("Edit2")->clear();
  Child<QPushButton>("Button2")->click();
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Поле пароль не заполнено..."});
  EXPECT_EQ(QApplication::focusWidget(), Child<QLineEdit>("Edit2"));
  EXPECT_EQ(InnRequests(), 0u);
}

TEST_F(InnDialogTest, ApplySendsTheFieldsAndCloses) {
  Child<QLineEdit>("Edit1")->setText("7701234567");
  Child<QLineEdit>("Edit2")->setText("42");
  Child<QDateEdit>("DateTimePicker1")->setDate(QDate(2099, 12, 31));
  Child<QComboBox>("ComboBox1")->setCurrentIndex(2);
  Child<QPushButton>("Button2")->click();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(ui.messages.back().text, "Записано удачно...");
  device.WithDevice([](emulator::Km07Device& d) {
    EXPECT_EQ(d.state().inn, 7701234567u);
    EXPECT_EQ(d.state().group, 3);
  });
}

TEST_F(InnDialogTest, CancelSendsNothing) {
  Child<QPushButton>("Button1")->click();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(InnRequests(), 0u);
}

}  // namespace
}  // namespace tarnis::admin
