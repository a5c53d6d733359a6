#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "wizard/data_oper_frame.h"
#include "wizard/kls_frame2.h"
#include "wizard/last_frame.h"
#include "wizard/start_frame.h"
#include "wizard/usl_frame.h"
#include "wizard_gui_support.h"

namespace tarnis::wizard {
namespace {

using WizardDialogTest = WizardTest;

TEST_F(WizardDialogTest, ClichePageAloneHasNoNavigationAndClosesWithoutQuestion) {
  TForm5& form = Open(true, 5);
  EXPECT_EQ(form.windowTitle(), "Конструктор...");
  EXPECT_EQ(form.size(), QSize(466, 344));
  ASSERT_EQ(form.current_page(), form.kls_frame2);
  EXPECT_TRUE(form.kls_frame2->isVisible());
  EXPECT_FALSE(form.kls_frame2->Button1->isVisible());
  EXPECT_FALSE(form.kls_frame2->Button2->isVisible());
  EXPECT_TRUE(form.kls_frame2->BitBtn1->isVisible());
  EXPECT_TRUE(form.kls_frame2->BitBtn2->isVisible());
  EXPECT_EQ(form.kls_frame2->page().shown(), 1);
  EXPECT_EQ(form.kls_frame2->ComboBox1->currentText(), "Клише 1");

  form.kls_frame2->Button3->click();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(form.isVisible());
}

TEST_F(WizardDialogTest, WizardStartsOnTheStartPageWithNextUsableAtOnce) {
  TForm5& form = Open(false, 0);
  ASSERT_EQ(form.current_page(), form.start_frame);
  EXPECT_TRUE(form.start_frame->Button1->isEnabled());
  EXPECT_FALSE(form.start_frame->Button2->isEnabled());
  form.start_frame->Button1->click();
  EXPECT_EQ(form.current_page(), form.oper_frame);
  EXPECT_FALSE(form.start_frame->isVisible());
  EXPECT_TRUE(form.oper_frame->Button1->isVisible());
  EXPECT_TRUE(form.oper_frame->Button2->isVisible());
  form.kls_frame2->Button1->click();
  EXPECT_EQ(form.current_page(), form.last_frame);
  EXPECT_EQ(form.kls_frame2->Button1->text(), "Далее>>>");
  EXPECT_EQ(form.last_frame->Button1->text(), "Готово");
  EXPECT_TRUE(form.last_frame->Label1->isVisible());
  form.last_frame->Button2->click();
  EXPECT_EQ(form.current_page(), form.kls_frame2);
}

TEST_F(WizardDialogTest, EveryExitAsksItsOwnQuestionAndNoStays) {
  TForm5& form = Open(false, 0);
  const std::string wizard_question = "Вы действительно хотите выйти из \"Помощника\"?  ";
  const std::vector<std::string> expected{wizard_question, wizard_question, wizard_question,
                                          "Вы действительно хотите выйти из конструктора?",
                                          wizard_question, wizard_question, wizard_question};
  ui.default_answer = ui::Answer::No;
  for (int page = 0; page < kPageCount; ++page) {
    form.ShowPage(form.Page(static_cast<WizardPage>(page)));
    form.current_page()->Button3->click();
    ASSERT_EQ(ui.messages.size(), static_cast<std::size_t>(page + 1));
    EXPECT_EQ(ui.messages.back().text, expected[static_cast<std::size_t>(page)]);
    EXPECT_EQ(ui.messages.back().caption, "Подтверждение...");
    EXPECT_EQ(ui.messages.back().icon, ui::Icon::Question);
    EXPECT_EQ(ui.messages.back().buttons, ui::Buttons::YesNo);
    EXPECT_TRUE(form.isVisible());
  }
  ui.default_answer = ui::Answer::Yes;
  form.current_page()->Button3->click();
  EXPECT_FALSE(form.isVisible());
}

TEST_F(WizardDialogTest, ServicesAloneCloseAtOnce) {
  TForm5& form = Open(true, 3);
  ASSERT_EQ(form.current_page(), form.usl_frame);
  form.usl_frame->Button3->click();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_FALSE(form.isVisible());
}

TEST_F(WizardDialogTest, FinishWithADeviceOpensTheConstructorWithoutQuestion) {
  device.WithDevice([](emulator::Km07Device& d) {
    d.state().group = 2;
    d.state().blanks[4].held = false;
  });
  TForm5& form = Open(false, 6);
  form.last_frame->Button1->click();
  EXPECT_TRUE(ui.messages.empty());
  ASSERT_TRUE(opened);
  EXPECT_EQ(opened->outcome, constructor::GroupQueryOutcome::OpenWithGroup);
  EXPECT_EQ(opened->GroupLabel(), "2");
  EXPECT_EQ(blank_forms.entries[4].programmed, 0) << "the blank table was refreshed";
  EXPECT_EQ(ui.EventsStartingWith("wait step "), std::vector<std::string>{"wait step Запрос текущей группы..."});
  EXPECT_FALSE(ui.wait_visible);
  EXPECT_FALSE(form.isVisible());
}

TEST_F(WizardDialogTest, FinishWithoutDeviceAsksAndNoKeepsTheWizardOpen) {
  UnplugDevice();
  TForm5& form = Open(false, 6);
  ui.answers = {ui::Answer::No, ui::Answer::Yes};
  form.last_frame->Button1->click();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text,
            "Не удалось выполнить запрос состояния!\nТекущая группа неизвестна. Желаете продолжить?");
  EXPECT_EQ(ui.messages[0].caption, "Подтверждение...");
  EXPECT_FALSE(opened);
  EXPECT_TRUE(form.isVisible());
  EXPECT_EQ(form.current_page(), form.last_frame);

  form.last_frame->Button1->click();
  ASSERT_TRUE(opened);
  EXPECT_EQ(opened->outcome, constructor::GroupQueryOutcome::OpenWithoutGroup);
  EXPECT_EQ(opened->GroupLabel(), "");
  EXPECT_FALSE(form.isVisible());
}

TEST_F(WizardDialogTest, EditsSurviveClosingAndReopening) {
  Open(false, 0);
  wizard->usl_frame->page().ApplyLine(7, 1, {Cp("СТРИЖКА"), false});
  wizard->kls_frame2->page().Fill(2);
  wizard->kls_frame2->page().ApplyLine(8, {Cp("СПАСИБО"), true});
  wizard->start_frame->Button3->click();
  ASSERT_FALSE(wizard->isVisible());

  TForm5& again = Open(false, 3);
  EXPECT_EQ(Utf(again.usl_frame->page().grid().Cell(7, 1)), "СТРИЖКА");
  EXPECT_EQ(again.kls_frame2->page().shown(), 1) << "the cliché shown does not survive";
  again.kls_frame2->FillPage(2);
  EXPECT_EQ(Utf(again.kls_frame2->page().grid().Cell(8, 1)), "СПАСИБО");
}

TEST_F(WizardDialogTest, StartPageReadRefreshesEveryPage) {
  device.WithDevice([](emulator::Km07Device& d) {
    d.state().Text(0, 3, 2) = Device("0СИДОРОВ");
    d.state().Text(2, 99, 1) = Device("0ПОСЛЕДНЯЯ");
    d.state().Text(4, 2, 1) = Device("1ВТОРОЕ");
  });
  TForm5& form = Open(false, 0);
  form.start_frame->BitBtn1->click();
  EXPECT_EQ(ui.messages.back().text, "Прочитано удачно...");
  EXPECT_EQ(save_enabled, 1);
  EXPECT_EQ(Utf(form.oper_frame->page().grid().Cell(3, 2)), "СИДОРОВ");
  EXPECT_EQ(Utf(form.usl_frame->page().grid().Cell(99, 1)), "ПОСЛЕДНЯЯ");
  EXPECT_EQ(form.kls_frame2->page().shown(), 2);
  EXPECT_EQ(form.kls_frame2->ComboBox1->currentIndex(), 1);
  EXPECT_EQ(Utf(form.kls_frame2->page().grid().Cell(1, 1)), "ВТОРОЕ");
}

TEST_F(WizardDialogTest, StoppedStartPageReadLeavesSaveAlone) {
  UnplugDevice();
  ui.default_answer = ui::Answer::No;
  TForm5& form = Open(false, 0);
  form.start_frame->BitBtn1->click();
  EXPECT_EQ(save_enabled, 0);
  EXPECT_TRUE(form.start_frame->Button1->isEnabled());
}

}  // namespace
}  // namespace tarnis::wizard
