#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <functional>
#include <memory>

#include "../app/app_test_support.h"
#include "app/main_window.h"
#include "constructor/constructor_frame.h"
#include "emulated_device.h"
#include "platform/cp1251_codec.h"
#include "recording_user_interface.h"
#include "wizard/cell_editors.h"
#include "wizard/kls_frame2.h"
#include "wizard/last_frame.h"
#include "wizard/start_frame.h"
#include "wizard/usl_frame.h"
#include "wizard/wizard_dialog.h"

namespace tarnis::wizard {
namespace {

class MainWindowWizardTest : public ::testing::Test {
 protected:
  MainWindowWizardTest() {
    window = std::make_unique<app::TForm1>(app::MainWindowServices{&device.link(), &ui});
    window->show();
    window->SetDeviceMenusEnabled(true);
  }

  // Runs act on the wizard once the command has opened it, from inside its event loop.
  static void WhenWizard(std::function<void(TForm5&)> act) {
    test::WhenModal<TForm5>([act = std::move(act)](TForm5& wizard) {
      act(wizard);
      if (wizard.isVisible()) wizard.done(0);  // a failed check must not leave the loop running
    });
  }

  test::EmulatedDevice device;
  test::RecordingUserInterface ui;
  std::unique_ptr<app::TForm1> window;
};

TEST_F(MainWindowWizardTest, ClicheFromTheMenuIsAloneAndClosesWithoutQuestion) {
  bool closed = false;
  WhenWizard([&](TForm5& wizard) {
    EXPECT_EQ(wizard.current_page(), wizard.kls_frame2);
    EXPECT_FALSE(wizard.kls_frame2->Button1->isVisible());
    EXPECT_FALSE(wizard.kls_frame2->Button2->isVisible());
    wizard.kls_frame2->Button3->click();
    closed = !wizard.isVisible();
  });
  window->N18->trigger();
  EXPECT_TRUE(closed);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(window->WizardSinglePage, 1);
  EXPECT_EQ(window->WizardStartPage, 5);
}

TEST_F(MainWindowWizardTest, ToolButtonOpensTheWholeWizardAndEditsSurvive) {
  WhenWizard([&](TForm5& wizard) {
    EXPECT_EQ(wizard.current_page(), wizard.start_frame);
    EXPECT_TRUE(wizard.start_frame->Button1->isEnabled());
    wizard.usl_frame->page().ApplyLine(2, 2, {Utf8ToCp1251Lossy("ЗАТОЧКА"), false});
    wizard.start_frame->Button3->click();
  });
  window->ToolButton4->click();
  EXPECT_EQ(window->WizardSinglePage, 0);
  EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"Вы действительно хотите выйти из \"Помощника\"?  "});

  WhenWizard([&](TForm5& wizard) {
    EXPECT_EQ(wizard.current_page(), wizard.usl_frame);
    EXPECT_EQ(Cp1251ToUtf8(wizard.usl_frame->page().grid().Cell(2, 2)), "ЗАТОЧКА");
    wizard.usl_frame->Button3->click();
  });
  window->N16->trigger();
  EXPECT_EQ(ui.messages.size(), 1u) << "a page alone closes without a question";
  EXPECT_EQ(window->configuration().services[1].lines[1].Text(), Utf8ToCp1251Lossy("0ЗАТОЧКА"));
}

TEST_F(MainWindowWizardTest, FinishShowsTheConstructorInTheMainWindow) {
  device.WithDevice([](emulator::Km07Device& d) { d.state().group = 3; });
  WhenWizard([](TForm5& wizard) {
    wizard.ShowPage(wizard.last_frame);
    wizard.last_frame->Button1->click();
  });
  window->N6->trigger();
  ASSERT_NE(window->current_frame(), nullptr);
  EXPECT_EQ(window->current_frame()->objectName(), "TFrameConstructor");
  EXPECT_TRUE(window->current_frame()->isVisible());
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(MainWindowWizardTest, CellEditorsAreMadeOnceAndShared) {
  EXPECT_EQ(window->findChildren<TForm6*>().size(), 1);
  EXPECT_EQ(window->findChildren<TForm7*>().size(), 1);
}

}  // namespace
}  // namespace tarnis::wizard
