#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QTranslator>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include "app/about_window.h"
#include "app/program.h"
#include "app/splash_window.h"

namespace tarnis::app {
namespace {

QString LabelText(const QWidget& window, const char* name) {
  const auto* label = window.findChild<QLabel*>(name);
  EXPECT_NE(label, nullptr) << name;
  return label ? label->text() : QString("<missing>");
}

QStringList ValuesShown(const std::string& executable) {
  TForm4 about(nullptr, executable);
  about.show();
  QStringList values = {LabelText(about, "Label2"), LabelText(about, "Label4"), LabelText(about, "Label7")};
  about.close();
  return values;
}

// Qt's standard buttons and file dialogs speak Russian once the program loads Qt's translation.
TEST(QtRussianTexts, StandardButtonsSpeakRussian) {
  QTranslator translator;
  ASSERT_TRUE(LoadQtRussianTexts(translator)) << "qt6-translations-l10n is not installed";
  QApplication::installTranslator(&translator);
  QDialogButtonBox buttons(QDialogButtonBox::Open | QDialogButtonBox::Cancel);
  EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), "Отмена");
  EXPECT_EQ(buttons.button(QDialogButtonBox::Open)->text().remove('&'), "Открыть");
  QApplication::removeTranslator(&translator);
}

// A display name would be appended by the window system to every caption ("Ошибка... — Tarnis").
TEST(QtRussianTexts, CaptionsCarryNoApplicationNameButTheDesktopEntryGroupsTheWindows) {
  const QString name = QApplication::applicationName();
  SetApplicationIdentity();
  EXPECT_EQ(QGuiApplication::desktopFileName(), "tarnis");
  QApplication::setApplicationName("probe");
  EXPECT_EQ(QGuiApplication::applicationDisplayName(), "probe") << "a display name of its own is set";
  QApplication::setApplicationName(name);
}

TEST(AboutWindow, ShowsTheRunningProgramsVersionResource) {
  TForm4 about;
  EXPECT_EQ(about.windowTitle(), "О программе...");
  EXPECT_EQ(about.size(), QSize(322, 137));
  EXPECT_EQ(LabelText(about, "Label2"), "Label2");
  EXPECT_EQ(LabelText(about, "Label1"), "Имя:");
  EXPECT_EQ(LabelText(about, "Label3"), "Версия:");
  EXPECT_EQ(LabelText(about, "Label5"), "Компания:");
  about.show();
  EXPECT_EQ(LabelText(about, "Label2"), "Тарнис");
  EXPECT_EQ(LabelText(about, "Label4"), "5.4.3.2");
  EXPECT_EQ(LabelText(about, "Label7"), "Проверка");

  auto* ok = about.findChild<QPushButton*>("Button1");
  ASSERT_NE(ok, nullptr);
  EXPECT_EQ(ok->text(), "OK");
  ok->click();
  EXPECT_FALSE(about.isVisible());
}

TEST(AboutWindow, DegradedVersionResources) {
  EXPECT_EQ(ValuesShown(TARNIS_FIXTURE_PLAIN), (QStringList{"", "", ""}));
  EXPECT_EQ(ValuesShown(TARNIS_FIXTURE_NO_TRANSLATION), (QStringList{"Label2", "Label4", "Label7"}));
}

TEST(SplashWindow, ShowsTheTopLeftOfThePictureAndClosesItself) {
  const QImage picture = SplashPicture();
  EXPECT_EQ(picture.size(), QSize(300, 175));

  QPointer<TForm2> splash = new TForm2;
  EXPECT_EQ(splash->size(), QSize(300, 175));
  EXPECT_TRUE(splash->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(splash->windowFlags() & Qt::WindowStaysOnTopHint);
  ASSERT_NE(splash->Timer1, nullptr);
  EXPECT_EQ(splash->Timer1->interval(), 350);
  EXPECT_TRUE(splash->Timer1->isActive());
  const auto* image = splash->findChild<QLabel*>("Image1");
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->geometry(), QRect(3, 3, 294, 169));
  EXPECT_EQ(image->pixmap().size(), QSize(300, 175));

  splash->exec();  // returns once the timer has closed it
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(splash.isNull());
}

}  // namespace
}  // namespace tarnis::app
