#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

#include "app_test_support.h"
#include "ui/digit_key_filter.h"

namespace tarnis::ui {
namespace {

class DigitKeyFilterTest : public ::testing::Test {
 protected:
  DigitKeyFilterTest() {
    InstallDigitKeyFilter(&edit);
    edit.show();
    edit.setFocus();
  }

  void Type(QChar c) {
    QTest::sendKeyEvent(QTest::Click, &edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }

  QLineEdit edit;
};

TEST_F(DigitKeyFilterTest, OnlyDigitsAreTyped) {
  QTest::keyClicks(&edit, "1a2%3'4 -+.,5");
  Type(u'ж');
  Type(u'Ж');
  EXPECT_EQ(edit.text(), "12345");
}

TEST_F(DigitKeyFilterTest, EditingAndNavigationKeysKeepWorking) {
  QTest::keyClicks(&edit, "1234");
  QTest::keyClick(&edit, Qt::Key_Backspace);
  EXPECT_EQ(edit.text(), "123");
  // Left and Right are 37 and 39 on Windows, the codes of '%' and '\''; here they move the cursor.
  QTest::keyClick(&edit, Qt::Key_Left);
  QTest::keyClicks(&edit, "9");
  EXPECT_EQ(edit.text(), "1293");
  QTest::keyClick(&edit, Qt::Key_Home);
  QTest::keyClick(&edit, Qt::Key_Delete);
  QTest::keyClick(&edit, Qt::Key_Right);
  QTest::keyClicks(&edit, "7");
  EXPECT_EQ(edit.text(), "2793");
  QTest::keyClick(&edit, Qt::Key_End);
  QTest::keyClick(&edit, Qt::Key_Backspace);
  EXPECT_EQ(edit.text(), "279");
}

TEST(DigitKeyFilterAccepts, DigitsAndControlCharactersOnly) {
  for (const char* text : {"", "0", "5", "9", "\b", "\t", "\r", "\x1b", "\x16"})
    EXPECT_TRUE(DigitKeyFilter::Accepts(QString::fromLatin1(text))) << text;
  for (const char* text : {"%", "'", " ", "a", "-", "+", ".", "ы", "1a"})
    EXPECT_FALSE(DigitKeyFilter::Accepts(QString::fromUtf8(text))) << text;
}

}  // namespace
}  // namespace tarnis::ui
