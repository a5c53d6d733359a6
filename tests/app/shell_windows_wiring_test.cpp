#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <memory>

#include "admin/inn_dialog.h"
#include "admin/state_frame.h"
#include "app/about_window.h"
#include "app/main_window.h"
#include "app/splash_window.h"
#include "app_test_support.h"
#include "recording_user_interface.h"

namespace tarnis::app {
namespace {

using test::WhenModal;

class ShellWindowsTest : public testing::Test {
 protected:
  ShellWindowsTest() : window(std::make_unique<TForm1>(MainWindowServices{nullptr, &ui})) {}

  test::RecordingUserInterface ui;
  std::unique_ptr<TForm1> window;
};

TEST_F(ShellWindowsTest, FirstShowingShowsTheSplashUntilItsTimerClosesIt) {
  QPointer<TForm2> splash = new TForm2(window.get());
  window->SetSplash(splash);
  window->show();  // returns once the splash has closed
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(splash.isNull());
  EXPECT_TRUE(window->isVisible());
}

TEST_F(ShellWindowsTest, StatusPageInnDialogAndAboutOpenFromTheMenu) {
  window->show();
  window->N4->trigger();
  auto* page = window->Panel1->findChild<admin::TStateFrame*>("StateFrame");
  ASSERT_NE(page, nullptr);
  EXPECT_TRUE(page->isVisible());
  EXPECT_EQ(window->current_frame(), page);

  bool inn_dialog_opened = false;
  WhenModal<admin::TForm10>([&](admin::TForm10& dialog) {
    inn_dialog_opened = true;
    EXPECT_FALSE(page->isVisible());  // the menu item hides the page first
    dialog.Button1->click();
  });
  window->N3->trigger();
  EXPECT_TRUE(inn_dialog_opened);
  EXPECT_EQ(window->current_frame(), nullptr);

  QString name_shown;
  WhenModal<TForm4>([&](TForm4& about) {
    name_shown = about.Label2->text();
    about.Button1->click();
  });
  window->N11->trigger();
  EXPECT_EQ(name_shown, "Тарнис");
  EXPECT_TRUE(ui.messages.empty());
}

}  // namespace
}  // namespace tarnis::app
