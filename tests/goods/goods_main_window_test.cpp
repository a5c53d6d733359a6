#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "app/main_window.h"
#include "emulated_device.h"
#include "goods/base_frame.h"
#include "platform/cp1251_codec.h"
#include "recording_user_interface.h"

namespace tarnis::goods {
namespace {

class GoodsMainWindowTest : public ::testing::Test {
 protected:
  GoodsMainWindowTest() : window_(app::MainWindowServices{&device_.link(), &ui_}) {
    window_.show();
    QApplication::processEvents();
    page_ = window_.findChild<TBaseFrame*>();
  }

  test::EmulatedDevice device_;
  test::RecordingUserInterface ui_;
  app::TForm1 window_;
  TBaseFrame* page_ = nullptr;
};

TEST_F(GoodsMainWindowTest, PageIsMadeHiddenAndShownTwiceWithItsTableKept) {
  ASSERT_NE(page_, nullptr);
  EXPECT_EQ(page_->parentWidget(), window_.Panel1);
  EXPECT_EQ(page_->pos(), QPoint(5, 5));
  EXPECT_FALSE(page_->isVisible());
  page_->table().SetCell(3, GoodsColumn::Name, *Utf8ToCp1251("ТОВАР"));
  window_.N9Click();
  window_.N9Click();
  EXPECT_EQ(window_.current_frame(), page_);
  EXPECT_TRUE(page_->isVisible());
  EXPECT_EQ(page_->table().row(3).name, *Utf8ToCp1251("ТОВАР"));
}

TEST_F(GoodsMainWindowTest, ExitHidesThePageAndAnOpenedPortEnablesItsDeviceButtons) {
  window_.N9Click();
  ui_.answers = {ui::Answer::Yes};
  page_->Button1->click();
  EXPECT_EQ(window_.current_frame(), nullptr);
  EXPECT_FALSE(page_->isVisible());

  EXPECT_FALSE(page_->BitBtn1->isEnabled());
  emit window_.PortOpened();
  for (QWidget* control : std::initializer_list<QWidget*>{page_->BitBtn1, page_->BitBtn2, page_->BitBtn6,
                                                          page_->CheckBox1, page_->CheckBox2})
    EXPECT_TRUE(control->isEnabled()) << control->objectName().toStdString();
}

TEST_F(GoodsMainWindowTest, EscapeResetsTheTableWhileThePageIsShownWhereverTheFocusIs) {
  window_.activateWindow();
  QApplication::setActiveWindow(&window_);
  const std::string name = *Utf8ToCp1251("ТОВАР");
  page_->table().SetCell(3, GoodsColumn::Name, name);
  QTest::keyClick(&window_, Qt::Key_Escape);  // the page is hidden
  EXPECT_EQ(page_->table().row(3).name, name);

  window_.N9Click();
  window_.setFocus();
  ASSERT_FALSE(page_->isAncestorOf(QApplication::focusWidget()));
  QTest::keyClick(&window_, Qt::Key_Escape);
  EXPECT_EQ(page_->table().row(3), EmptyGoodsRow(3));
  EXPECT_TRUE(ui_.messages.empty());
}

// Ctrl+O and Ctrl+S mean the file of what the window shows: the goods base on the goods page, the
// configuration everywhere else.
TEST_F(GoodsMainWindowTest, OpenAndSaveKeysFollowThePageShown) {
  window_.activateWindow();
  QApplication::setActiveWindow(&window_);
  window_.SetDeviceMenusEnabled(true);  // as once a port is applied
  window_.EnableSaveConfiguration();    // as after a configuration was read
  const struct {
    bool goods_page;
    QKeySequence::StandardKey key;
    std::string dialog;
  } cases[] = {{false, QKeySequence::Save, "save dialog"}, {false, QKeySequence::Open, "open dialog"},
               {true, QKeySequence::Save, "save dialog"},  {true, QKeySequence::Open, "open dialog"},
               {false, QKeySequence::Save, "save dialog"}};
  for (const auto& press : cases) {
    if (press.goods_page)
      window_.N9Click();
    else
      window_.ShowFrame(nullptr);
    ui_.file_dialogs.clear();
    QTest::keySequence(&window_, QKeySequence(press.key));
    // A button's key shows it pressed and clicks a moment later.
    QTest::qWaitFor([this] { return !ui_.file_dialogs.empty(); });
    ASSERT_EQ(ui_.file_dialogs.size(), 1u) << press.dialog << (press.goods_page ? " on the goods page" : "");
    const bool goods_file = ui_.file_dialogs[0].filter.find("*.cfg") == std::string::npos;
    EXPECT_EQ(goods_file, press.goods_page) << ui_.file_dialogs[0].filter;
    EXPECT_EQ(ui_.events.back().rfind(press.dialog, 0), 0u) << ui_.events.back();
  }
}

}  // namespace
}  // namespace tarnis::goods
