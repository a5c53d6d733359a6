#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QFileDialog>
#include <QPushButton>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/main_window.h"
#include "app/qt_user_interface.h"
#include "app/wait_window.h"
#include "app_test_support.h"
#include "recording_user_interface.h"

namespace tarnis::app {
namespace {

using test::WhenModal;

class QtUserInterfaceTest : public ::testing::Test {
 protected:
  QtUserInterfaceTest() {
    window = std::make_unique<TForm1>();
    wait = new TForm9(window.get());
    window->SetWaitWindow(wait);
    window->show();
  }
  ~QtUserInterfaceTest() override {
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
  }

  ui::UserInterface& ui() { return window->user_interface(); }

  std::unique_ptr<TForm1> window;
  TForm9* wait = nullptr;
};

struct SeenBox {
  QString caption, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList buttons;
  Qt::CursorShape cursor = Qt::BlankCursor;
};

// Records the box and presses the button with the given text (or Escape when empty).
void AnswerBox(SeenBox& seen, const QString& press) {
  WhenModal<QMessageBox>([&seen, press](QMessageBox& box) {
    seen.caption = box.windowTitle();
    seen.text = box.text();
    seen.icon = box.icon();
    for (QAbstractButton* button : box.buttons()) seen.buttons << button->text();
    seen.buttons.sort();
    if (const QCursor* cursor = QApplication::overrideCursor()) seen.cursor = cursor->shape();
    if (press.isEmpty()) {
      QTest::keyClick(&box, Qt::Key_Escape);
      return;
    }
    for (QAbstractButton* button : box.buttons())
      if (button->text() == press) button->click();
  });
}

TEST_F(QtUserInterfaceTest, QuestionsShowTheirTextsAndAnswerYesOrNo) {
  SeenBox seen;
  AnswerBox(seen, "Нет");
  EXPECT_FALSE(ui::Confirm(ui(), "Стереть базу товаров?"));
  EXPECT_EQ(seen.caption, "Подтверждение...");
  EXPECT_EQ(seen.text, "Стереть базу товаров?");
  EXPECT_EQ(seen.icon, QMessageBox::Question);
  EXPECT_EQ(seen.buttons, (QStringList{"Да", "Нет"}));

  AnswerBox(seen, "Да");
  EXPECT_TRUE(ui::Confirm(ui(), "Вопрос"));

  AnswerBox(seen, "");
  EXPECT_FALSE(ui::AskContinue(ui(), "Не удалось"));
  EXPECT_EQ(seen.text, "Не удалось\n Продолжить?");
  EXPECT_EQ(seen.icon, QMessageBox::Critical);

  // The check box comes under the same question, and its state comes back with the answer.
  QString shown;
  WhenModal<QMessageBox>([&shown](QMessageBox& box) {
    shown = box.checkBox() ? box.checkBox()->text() : QString();
    if (box.checkBox()) box.checkBox()->setChecked(true);
    for (QAbstractButton* button : box.buttons())
      if (button->text() == "Да") button->click();
  });
  ui::CheckBox dont_ask{"Не спрашивать до конца операции"};
  EXPECT_TRUE(ui::AskContinue(ui(), "Не удалось", &dont_ask));
  EXPECT_EQ(shown, "Не спрашивать до конца операции");
  EXPECT_TRUE(dont_ask.checked);
}

TEST_F(QtUserInterfaceTest, ErrorsHaveOneOkButtonAndShowThePointerDuringAnOperation) {
  ui().SetBusyCursor(true);
  SeenBox seen;
  AnswerBox(seen, "OK");
  ui::ShowError(ui(), "Не удалось открыть порт...");
  EXPECT_EQ(seen.caption, "Ошибка...");
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_EQ(seen.buttons, QStringList{"OK"});
  EXPECT_EQ(seen.cursor, Qt::ArrowCursor);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  ui().SetBusyCursor(false);

  AnswerBox(seen, "");
  ui::ShowNotice(ui(), "Записано удачно...");
  EXPECT_EQ(seen.caption, "Предупреждение...");
  EXPECT_EQ(seen.icon, QMessageBox::Information);
}

TEST_F(QtUserInterfaceTest, TheHourglassNestsAndAnUnmatchedReleaseIsHarmless) {
  ui().SetBusyCursor(true);
  ui().SetBusyCursor(true);
  ui().SetBusyCursor(false);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  ui().SetBusyCursor(false);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  QApplication::setOverrideCursor(Qt::IBeamCursor);  // someone else's
  ui().SetBusyCursor(false);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::IBeamCursor);
}

// The tests' fake must keep the same state as the window after every call, and report what the
// window would silently absorb.
TEST_F(QtUserInterfaceTest, TheRecordingFakeKeepsTheSameStateAndReportsCallsOutOfTurn) {
  test::RecordingUserInterface fake;
  // The window's bar shows an empty bar until the first operation ends; compared from then on.
  bool compare_bar = false;
  const auto same_state = [&](const std::string& after) {
    EXPECT_EQ(QApplication::overrideCursor() != nullptr, fake.busy_cursor) << after;
    if (compare_bar) EXPECT_EQ(window->ProgressBar1->isVisible(), fake.progress_visible) << after;
    EXPECT_EQ(wait->isVisible(), fake.wait_visible) << after;
  };
  for (const bool busy : {true, true, false, true, false, false, false, true, false}) {
    ui().SetBusyCursor(busy);
    fake.SetBusyCursor(busy);
    same_state(busy ? "busy" : "normal");
  }
  ui().WaitShow();
  fake.WaitShow();
  ui().ProgressStart();
  fake.ProgressStart();
  compare_bar = true;
  same_state("shown");
  ui().ProgressEnd();
  fake.ProgressEnd();
  ui().WaitClose();
  fake.WaitClose();
  same_state("hidden");
  EXPECT_EQ(fake.Unsettled(), "cursor normal while normal\n");
  EXPECT_EQ(fake.faults, std::vector<std::string>{"cursor normal while normal"});

  // A stop asked during one showing is forgotten by the next.
  ui().WaitShow();
  fake.WaitShow();
  wait->Button1->click();
  fake.stop_requested = true;
  EXPECT_EQ(ui().StopRequested(), fake.StopRequested());
  ui().WaitClose();
  fake.WaitClose();
  ui().WaitShow();
  fake.WaitShow();
  EXPECT_EQ(ui().StopRequested(), fake.StopRequested());
  EXPECT_FALSE(fake.StopRequested());
  ui().WaitClose();
  fake.WaitClose();

  // The event loop runs inside the progress calls, the message boxes and the file dialogs.
  enum class Modal { None, Box, Chooser };
  const struct {
    const char* name;
    Modal modal;
    std::function<void(ui::UserInterface&)> call;
  } loops[] = {{"progress start", Modal::None, [](ui::UserInterface& u) { u.ProgressStart(); }},
               {"progress step", Modal::None, [](ui::UserInterface& u) { u.ProgressStep(1, 2); }},
               {"progress end", Modal::None, [](ui::UserInterface& u) { u.ProgressEnd(); }},
               {"message", Modal::Box, [](ui::UserInterface& u) { ui::ShowNotice(u, "Готово"); }},
               {"open dialog", Modal::Chooser, [](ui::UserInterface& u) { u.ChooseOpenFile({}); }},
               {"save dialog", Modal::Chooser, [](ui::UserInterface& u) { u.ChooseSaveFile({}); }}};
  for (const auto& loop : loops) {
    bool window_loop_ran = false;
    QTimer::singleShot(0, [&window_loop_ran] { window_loop_ran = true; });
    if (loop.modal == Modal::Box) WhenModal<QMessageBox>([](QMessageBox& box) { box.accept(); });
    if (loop.modal == Modal::Chooser) WhenModal<QFileDialog>([](QFileDialog& chooser) { chooser.reject(); });
    loop.call(ui());
    int fake_loops = 0;
    fake.on_process_events = [&fake_loops] { ++fake_loops; };
    loop.call(fake);
    fake.on_process_events = nullptr;
    EXPECT_TRUE(window_loop_ran) << loop.name;
    EXPECT_EQ(fake_loops, 1) << loop.name;
  }

  // Asked for it, the fake refuses to make up answers a test did not give.
  fake.only_scripted_answers = true;
  fake.answers = {ui::Answer::No};
  EXPECT_FALSE(ui::Confirm(fake, "Первый?"));
  EXPECT_TRUE(ui::Confirm(fake, "Второй?"));
  fake.file_choices = {"/tmp/a.cfg"};
  EXPECT_EQ(fake.ChooseOpenFile({"Открыть"}), "/tmp/a.cfg");
  EXPECT_EQ(fake.ChooseSaveFile({"Сохранить"}), std::nullopt);
  EXPECT_EQ(fake.faults, (std::vector<std::string>{"cursor normal while normal", "unscripted question: Второй?",
                                                   "unscripted save dialog Сохранить"}));
  fake.only_scripted_answers = false;
  fake.Beep();
  EXPECT_EQ(fake.events.back(), "beep");

  fake.faults.clear();
  fake.ProgressStep(1, 2);
  fake.ProgressEnd();
  fake.WaitClose();
  fake.WaitShow();
  fake.WaitShow();
  fake.ProgressStart();
  fake.ProgressStart();
  EXPECT_EQ(fake.faults, (std::vector<std::string>{"progress step while hidden", "progress end while hidden",
                                                   "wait close while hidden", "wait show while shown",
                                                   "progress start while shown"}));
  EXPECT_EQ(fake.Unsettled(), "progress bar shown\nwait window shown\nprogress step while hidden\n"
                              "progress end while hidden\nwait close while hidden\nwait show while shown\n"
                              "progress start while shown\n");
  fake.check_settled_at_end = false;
}

TEST_F(QtUserInterfaceTest, SaveDialogsAskBeforeReplacingAFileUnlessToldNotTo) {
  for (const bool confirm : {true, false}) {
    bool asks = !confirm;
    QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
    WhenModal<QFileDialog>([&](QFileDialog& chooser) {
      asks = !chooser.testOption(QFileDialog::DontConfirmOverwrite);
      mode = chooser.acceptMode();
      chooser.reject();
    });
    EXPECT_EQ(ui().ChooseSaveFile({"", "Конфигурация (*.cfg)|*.cfg", "cfg", confirm}), std::nullopt);
    EXPECT_EQ(asks, confirm);
    EXPECT_EQ(mode, QFileDialog::AcceptSave);
  }
}

TEST_F(QtUserInterfaceTest, ProgressGoesToTheMainWindowsBar) {
  ui().ProgressStart();
  ui().ProgressStep(3, 96);
  EXPECT_EQ(window->ProgressBar1->value(), 3);
  ui().ProgressStep(96, 96);
  EXPECT_EQ(window->ProgressBar1->value(), 100);
  ui().ProgressEnd();
  EXPECT_FALSE(window->ProgressBar1->isVisible());
}

TEST_F(QtUserInterfaceTest, TheWaitWindowKeepsItsLastCaptionAndStep) {
  EXPECT_EQ(wait->windowTitle(), "Выгрузка....");
  EXPECT_EQ(wait->Label1->text(), "Дождитесь окончания ...");
  EXPECT_EQ(wait->size(), QSize(330, 101));  // 69 for the texts, a row for "Прервать"
  EXPECT_FALSE(wait->isVisible());

  ui().WaitShow();
  ui().WaitSetCaption("Загрузка...");
  ui().WaitSetStep("Загрузка клише...");
  EXPECT_TRUE(wait->isVisible());
  EXPECT_EQ(wait->Label2->text(), "Загрузка клише...");
  ui().WaitClose();
  EXPECT_FALSE(wait->isVisible());

  ui().WaitShow();
  wait->close();  // only its operation hides it; closing from outside is ignored
  ui().WaitSetStep("Выгрузка товаров...");
  EXPECT_TRUE(wait->isVisible());
  EXPECT_EQ(wait->windowTitle(), "Загрузка...");
  EXPECT_EQ(wait->Step(), "Выгрузка товаров...");
  ui().WaitClose();
}

// "Прервать" asks the running operation to stop; the next showing starts afresh. It never holds
// the keyboard focus: a stray Space or Enter stops nothing, Escape and Alt+П do.
TEST_F(QtUserInterfaceTest, StopButtonIsTakenOncePerShowingAndTheTimeLeftSitsOnTheBar) {
  EXPECT_EQ(wait->Button1->text(), "&Прервать");
  const struct {
    Qt::Key key;
    QString text;
    Qt::KeyboardModifiers modifiers;
    bool stops;
  } keys[] = {{Qt::Key_Space, " ", Qt::NoModifier, false},   {Qt::Key_Return, "\r", Qt::NoModifier, false},
              {Qt::Key_Enter, "\r", Qt::NoModifier, false},   {Qt::Key_Escape, "\x1b", Qt::NoModifier, true},
              {Qt::Key(0x041F), "П", Qt::AltModifier, true}};  // Alt+П
  for (const auto& press : keys) {
    ui().WaitShow();
    QApplication::setActiveWindow(wait);
    EXPECT_EQ(wait->Button1->focusPolicy(), Qt::NoFocus);
    QWidget* focus = QApplication::focusWidget();
    QTest::sendKeyEvent(QTest::Click, focus ? focus : wait, press.key, press.text, press.modifiers);
    QTest::qWait(0);
    if (press.stops) QTRY_VERIFY(ui().StopRequested());  // a shortcut clicks after a short flash
    EXPECT_EQ(ui().StopRequested(), press.stops) << press.key;
    ui().WaitClose();
  }

  ui().WaitShow();
  EXPECT_FALSE(ui().StopRequested());
  QTest::mouseClick(wait->Button1, Qt::LeftButton);
  EXPECT_TRUE(ui().StopRequested());
  EXPECT_FALSE(wait->Button1->isEnabled());
  ui().WaitClose();
  EXPECT_FALSE(ui().StopRequested()) << "a hidden window stops nothing";
  ui().WaitShow();
  EXPECT_FALSE(ui().StopRequested());
  EXPECT_TRUE(wait->Button1->isEnabled());
  ui().WaitClose();

  ui().ProgressStart();
  ui().ShowTimeLeft("осталось ≈ 40 с");
  EXPECT_TRUE(window->ProgressBar1->isTextVisible());
  EXPECT_EQ(window->ProgressBar1->text(), "осталось ≈ 40 с");
  ui().ShowTimeLeft("");
  EXPECT_FALSE(window->ProgressBar1->isTextVisible());
  ui().ProgressEnd();
}

TEST(QtFileFilter, TranslatesNamePatternPairs) {
  EXPECT_EQ(QtFileFilter("Конфигурация (*.cfg)|*.cfg"), "Конфигурация (*.cfg)");
  EXPECT_EQ(QtFileFilter("База товаров|*.base|Все файлы|*.*"), "База товаров (*.base);;Все файлы (*.*)");
  EXPECT_EQ(QtFileFilter("Картинки|*.jpg;*.png"), "Картинки (*.jpg *.png)");
  EXPECT_EQ(QtFileFilter(""), "");
}

}  // namespace
}  // namespace tarnis::app
