#include "constructor/constructor_frame.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QTest>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

#include "constructor/group_help_dialog.h"
#include "emulated_device.h"
#include "fixed_answer_transport.h"
#include "recording_user_interface.h"

namespace tarnis::constructor {
namespace {

class ConstructorFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    config::FillDefaults(configuration);
    frame = std::make_unique<TFrameConstructor>(configuration, table, device.link(), ui);
    frame->InitConstructor();
    frame->show();
  }

  template <class T>
  T* Child(const QString& name) {
    T* child = frame->findChild<T*>(name);
    EXPECT_NE(child, nullptr) << name.toStdString();
    return child;
  }
  QToolButton* FormButton(int form) { return Child<QToolButton>(QStringLiteral("SpeedButton%1").arg(form)); }
  QToolButton* VariantButton(int variant) { return Child<QToolButton>(QStringLiteral("SpeedButton%1").arg(8 + variant)); }
  QToolButton* TypeSkButton(int type_sk) { return Child<QToolButton>(QStringLiteral("SpeedButton%1").arg(30 + type_sk)); }
  QString LabelText(const char* name) { return Child<QLabel>(QString::fromLatin1(name))->text(); }
  QStringList PreviewLines() {
    const QString text = Child<QPlainTextEdit>(QStringLiteral("RichEdit1"))->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
  }
  std::vector<bool> PressedVariants() {
    std::vector<bool> pressed;
    for (int v = 1; v <= kVariantCount; ++v) pressed.push_back(VariantButton(v)->isChecked());
    return pressed;
  }
  bool Shown(const char* name) { return Child<QWidget>(QString::fromLatin1(name))->isVisible(); }
  bool RequisiteControlsShown() {
    return Shown("Label25") && Shown("ComboBox1") && Shown("Label3") && Shown("Label19") && Shown("StringGrid1");
  }
  bool RequisiteControlsHidden() {
    return !Shown("Label25") && !Shown("ComboBox1") && !Shown("Label3") && !Shown("Label19") && !Shown("StringGrid1");
  }

  test::EmulatedDevice device;
  test::RecordingUserInterface ui;
  config::DeviceConfiguration configuration;
  BlankFormTable table;
  std::unique_ptr<TFrameConstructor> frame;
};

TEST_F(ConstructorFrameTest, InitialStateAndRequisiteGrid) {
  EXPECT_EQ(LabelText("Label6"), QString::fromUtf8("Конструктор форм БСО"));
  EXPECT_EQ(LabelText("Label7"), "-");
  EXPECT_EQ(LabelText("Label24"), "---");
  EXPECT_EQ(frame->SelectedForm(), 0);
  for (int v = 1; v <= kVariantCount; ++v) EXPECT_FALSE(VariantButton(v)->isEnabled());
  EXPECT_TRUE(RequisiteControlsHidden());
  EXPECT_FALSE(Shown("Label4") || Shown("SpeedButton31") || Shown("SpeedButton32") || Shown("SpeedButton33"));
  EXPECT_TRUE(PreviewLines().isEmpty());
  EXPECT_EQ(Child<QPushButton>("BitBtn1")->text(), QString::fromUtf8("Выгрузить из КМ"));
  EXPECT_EQ(Child<QPushButton>("BitBtn2")->text(), QString::fromUtf8("Загрузить в КМ"));

  auto* grid = Child<QTableWidget>("StringGrid1");
  ASSERT_EQ(grid->columnCount(), 5);
  ASSERT_EQ(grid->rowCount(), 8);
  EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), QString::fromUtf8("№"));
  EXPECT_EQ(grid->horizontalHeaderItem(4)->text(), QString::fromUtf8("Дост."));
  EXPECT_EQ(grid->columnWidth(1), 125);
  EXPECT_EQ(grid->item(7, 0)->text(), "8");
  EXPECT_EQ(grid->item(7, 3)->text(), QString::fromUtf8("ДОП. РЕК 8 - СТРОКА 3"));
  EXPECT_EQ(grid->item(7, 4)->text(), QString::fromUtf8("да"));

  auto* combo = Child<QComboBox>("ComboBox1");
  ASSERT_EQ(combo->count(), 9);
  EXPECT_EQ(combo->itemText(0), QString::fromUtf8("Нет"));
  EXPECT_EQ(combo->itemText(8), " 8");
}

TEST_F(ConstructorFrameTest, FormButtonsAreRedUnlessProgrammed) {
  for (int form = 1; form <= kFormCount; ++form)
    EXPECT_EQ(FormButton(form)->palette().color(QPalette::ButtonText), QColor(0, 0, 0)) << form;
  for (BlankFormEntry& entry : table.entries) entry.programmed = 0;
  configuration.requisites[2].enabled = 0;
  frame->InitConstructor();
  for (int form = 1; form <= kFormCount; ++form)
    EXPECT_EQ(FormButton(form)->palette().color(QPalette::ButtonText), QColor(255, 0, 0)) << form;
  EXPECT_EQ(Child<QTableWidget>("StringGrid1")->item(2, 4)->text(), QString::fromUtf8("нет"));
}

TEST_F(ConstructorFrameTest, FormButtonsAllowOneOrNonePressed) {
  FormButton(2)->click();
  EXPECT_EQ(frame->SelectedForm(), 2);
  EXPECT_EQ(LabelText("Label7"), "2");
  for (int v = 1; v <= kVariantCount; ++v) EXPECT_TRUE(VariantButton(v)->isEnabled());
  FormButton(5)->click();
  EXPECT_EQ(frame->SelectedForm(), 5);
  EXPECT_FALSE(FormButton(2)->isChecked());
  FormButton(5)->click();
  EXPECT_EQ(frame->SelectedForm(), 0);
  EXPECT_EQ(LabelText("Label7"), "-");
  for (int v = 1; v <= kVariantCount; ++v) EXPECT_FALSE(VariantButton(v)->isEnabled());
}

TEST_F(ConstructorFrameTest, VariantOneShowsDiscountAndTaxButNotCode) {
  FormButton(1)->click();
  VariantButton(1)->click();
  EXPECT_EQ(table.Form(1)->variant, 1);
  EXPECT_TRUE(RequisiteControlsShown());
  EXPECT_TRUE(Shown("Label4"));
  EXPECT_TRUE(Shown("SpeedButton31"));
  EXPECT_TRUE(Shown("SpeedButton32"));
  EXPECT_FALSE(Shown("SpeedButton33"));
  EXPECT_EQ(LabelText("Label23"), "2");
  EXPECT_EQ(LabelText("Label24"), "2350000");
  EXPECT_EQ(LabelText("Label21"), QString::fromUtf8("нет"));

  VariantButton(5)->click();
  EXPECT_EQ(PressedVariants(), (std::vector<bool>{false, false, false, false, true, false}));
  EXPECT_TRUE(RequisiteControlsShown());
  EXPECT_FALSE(Shown("Label4") || Shown("SpeedButton31"));
  VariantButton(4)->click();
  EXPECT_TRUE(RequisiteControlsHidden());
}

TEST_F(ConstructorFrameTest, CodeChosenWithVariantThreeStaysWithVariantOne) {
  FormButton(4)->click();
  VariantButton(3)->click();
  TypeSkButton(3)->click();
  EXPECT_EQ(table.Form(4)->typeSk, 3);
  VariantButton(1)->click();
  EXPECT_FALSE(Shown("SpeedButton33"));
  EXPECT_EQ(*table.Form(4), (BlankFormEntry{1, 1, 0, 3}));
  const QStringList lines = PreviewLines();
  const qsizetype total = lines.indexOf(QString::fromUtf8("ИТОГО            *000.00"));
  ASSERT_GT(total, 0);
  EXPECT_EQ(lines[total - 1], QString::fromUtf8("КОД "));
}

TEST_F(ConstructorFrameTest, ExtraLineAndRequisiteChoicesGoIntoTheTable) {
  FormButton(6)->click();
  VariantButton(6)->click();
  TypeSkButton(1)->click();
  TypeSkButton(2)->click();
  EXPECT_FALSE(TypeSkButton(1)->isChecked());
  EXPECT_EQ(table.Form(6)->typeSk, 2);
  TypeSkButton(2)->click();  // releasing the pressed one means no extra line
  EXPECT_EQ(table.Form(6)->typeSk, 0);

  auto* combo = Child<QComboBox>("ComboBox1");
  combo->setCurrentIndex(7);
  frame->ComboBox1Select();
  EXPECT_EQ(table.Form(6)->requisite, 7);
  EXPECT_TRUE(PreviewLines().contains(QString::fromUtf8("ДОП. РЕК 7 - СТРОКА 2")));

  FormButton(6)->click();
  FormButton(6)->click();  // showing the form again presses its stored choices
  EXPECT_EQ(combo->currentIndex(), 7);
  EXPECT_EQ(PressedVariants(), (std::vector<bool>{false, false, false, false, false, true}));
}

TEST_F(ConstructorFrameTest, ReleasingTheVariantKeepsTheStoredOne) {
  FormButton(3)->click();
  VariantButton(5)->click();
  VariantButton(5)->click();
  EXPECT_EQ(table.Form(3)->variant, 5);
  EXPECT_TRUE(PreviewLines().isEmpty());
  EXPECT_TRUE(RequisiteControlsHidden());
  EXPECT_EQ(LabelText("Label23"), "");
  EXPECT_EQ(LabelText("Label15"), "---");

  FormButton(3)->click();
  FormButton(3)->click();
  EXPECT_EQ(PressedVariants(), (std::vector<bool>{false, false, false, false, true, false}));
  EXPECT_EQ(LabelText("Label16"), "7");
}

TEST_F(ConstructorFrameTest, VariantWithoutFormIsRefused) {
  QToolButton* variant = VariantButton(2);
  variant->setChecked(true);
  frame->VariantClick(variant);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Не выбрана форма...");
  EXPECT_EQ(ui.messages[0].caption, "Предупреждение...");
  EXPECT_EQ(ui.messages[0].icon, ui::Icon::Information);
  EXPECT_EQ(table, BlankFormTable{});
}

TEST_F(ConstructorFrameTest, OutOfRangeValuesOpenNothing) {
  *table.Form(2) = {1, 7, 9, 4};
  FormButton(2)->click();
  EXPECT_EQ(PressedVariants(), std::vector<bool>(6, false));
  EXPECT_EQ(LabelText("Label24"), "");
  EXPECT_EQ(LabelText("Label23"), "");
  EXPECT_EQ(Child<QComboBox>("ComboBox1")->currentIndex(), -1);
  EXPECT_TRUE(RequisiteControlsHidden());
  EXPECT_FALSE(PreviewLines().isEmpty());
  EXPECT_FALSE(PreviewLines().contains(QString::fromUtf8("КОД ")));
}

TEST_F(ConstructorFrameTest, ProgrammingSendsTheStoredChoices) {
  table.Form(3)->programmed = 0;
  frame->InitConstructor();
  FormButton(3)->click();
  table.Form(3)->requisite = 6;
  table.Form(3)->typeSk = 2;
  VariantButton(2)->click();
  Child<QPushButton>("BitBtn2")->click();
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "Бланк удачно запрограммированн...");
  device.WithDevice([](emulator::Km07Device& d) {
    const emulator::BlankSlot& slot = d.state().blanks[2];
    EXPECT_EQ(slot.variant, 2);
    EXPECT_EQ(slot.requisite, 6);
    EXPECT_EQ(slot.type_sk, 2);
  });
  EXPECT_EQ(FormButton(3)->palette().color(QPalette::ButtonText), QColor(255, 0, 0));

  VariantButton(2)->click();
  Child<QPushButton>("BitBtn2")->click();
  EXPECT_EQ(ui.messages.back().text, "Не выбран вариант для программирования.");
}

TEST_F(ConstructorFrameTest, ReadingShowsTheBlankTheDeviceHolds) {
  device.WithDevice([](emulator::Km07Device& d) { d.state().blanks[6] = {true, 3, 4, 3}; });
  FormButton(7)->click();
  Child<QPushButton>("BitBtn1")->click();
  EXPECT_EQ(*table.Form(7), (BlankFormEntry{1, 3, 4, 3}));
  EXPECT_EQ(PressedVariants(), (std::vector<bool>{false, false, true, false, false, false}));
  EXPECT_TRUE(TypeSkButton(3)->isChecked());
  EXPECT_TRUE(Shown("SpeedButton33"));
  EXPECT_EQ(Child<QComboBox>("ComboBox1")->currentIndex(), 4);
  EXPECT_TRUE(PreviewLines().contains(QString::fromUtf8("ДОП. РЕК 4 - СТРОКА 1")));
  EXPECT_EQ(LabelText("Label24"), "---");  // the limits block is not refreshed by a read
  EXPECT_EQ(ui.messages.back().text, "Бланк удачно прочитан...");

  Child<QPushButton>("BitBtn1")->click();  // no form: refused
  FormButton(7)->click();
  Child<QPushButton>("BitBtn1")->click();
  EXPECT_EQ(ui.messages.back().text, "Не выбрана форма для чтения.");
}

TEST_F(ConstructorFrameTest, F1OpensTheGroupHelp) {
  frame->show();
  frame->activateWindow();
  QApplication::setActiveWindow(frame.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
  bool shown = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (auto* help = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      shown = help->windowTitle() == QString::fromUtf8("Справка");
      help->reject();
    }
  });
  poll.start(10);
  QTest::keyClick(frame.get(), Qt::Key_F1);  // the button shows itself pressed, then clicks
  EXPECT_TRUE(QTest::qWaitFor([&] { return shown; }));
}

TEST_F(ConstructorFrameTest, LeavingAsksFirst) {
  int left = 0;
  frame->SetLeaveHandler([&] { ++left; });
  ui.answers = {ui::Answer::No, ui::Answer::Yes};
  Child<QPushButton>("Button1")->click();
  EXPECT_EQ(left, 0);
  Child<QPushButton>("Button1")->click();
  EXPECT_EQ(left, 1);
  EXPECT_EQ(ui.messages[0].text, "Вы действительно хотите выйти из конструктора форм?");
  EXPECT_EQ(ui.messages[0].caption, "Подтверждение...");
}

TEST(ConstructorFrameReadTest, AnAnswerNamingAnotherFormShowsThatForm) {
  test::FixedBlankAnswerTransport transport({5, 6, 2, 1});
  link::Link link(transport);
  link.settings().factory_number = "1";
  test::RecordingUserInterface ui;
  config::DeviceConfiguration configuration;
  config::FillDefaults(configuration);
  BlankFormTable table;
  TFrameConstructor frame(configuration, table, link, ui);
  frame.InitConstructor();
  frame.show();
  frame.findChild<QToolButton*>("SpeedButton2")->click();
  frame.findChild<QPushButton*>("BitBtn1")->click();

  EXPECT_EQ(*table.Form(5), (BlankFormEntry{1, 6, 2, 1}));
  EXPECT_EQ(*table.Form(2), BlankFormEntry{});
  EXPECT_EQ(frame.findChild<QLabel*>("Label7")->text(), "5");
  EXPECT_EQ(frame.SelectedForm(), 5);  // later choices go to the form shown
  EXPECT_TRUE(frame.findChild<QToolButton*>("SpeedButton14")->isChecked());
  EXPECT_TRUE(frame.findChild<QToolButton*>("SpeedButton31")->isChecked());
  const QString preview = frame.findChild<QPlainTextEdit*>("RichEdit1")->toPlainText();
  EXPECT_TRUE(preview.contains(QString::fromUtf8("ДОП. РЕК 2 - СТРОКА 3")));
  EXPECT_EQ(ui.messages.back().text, "Бланк удачно прочитан...");
}

TEST(GroupHelpDialogTest, ListsTheGroupsAndOpensWithFocusOnOk) {
  TForm11 dialog;
  EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Справка"));
  const QStringList lines = dialog.findChild<QPlainTextEdit*>("Memo1")->toPlainText().split(QLatin1Char('\n'));
  EXPECT_EQ(lines[0], QString::fromUtf8("ГРУППА 1:   максимальное кол-во ДСО - не менее 3240000"));
  EXPECT_EQ(lines[1], QString::fromUtf8("  - вариант №2:"));
  EXPECT_EQ(lines[7], QString::fromUtf8("ГРУППА 2: максимальное кол-во ДСО - не менее 2350000"));
  EXPECT_EQ(lines[8], QString::fromUtf8("  - вариант №1:"));
  EXPECT_EQ(lines[20], QString::fromUtf8("ГРУППА 3: максимальное кол-во ДСО - не менее 1620000"));
  EXPECT_EQ(lines[25], QString::fromUtf8("      скидка/налог/код - есть"));
  EXPECT_EQ(lines[31], QString::fromUtf8("      скидка/налог - нет"));
  EXPECT_EQ(lines.size(), 40);
  EXPECT_EQ(lines.back(), "");
  EXPECT_EQ(lines[lines.size() - 2], "");

  // Enter closes it at once: the focus starts on "OK".
  QTimer::singleShot(0, &dialog, [&dialog] {
    dialog.activateWindow();
    QWidget* focus = dialog.focusWidget();
    EXPECT_EQ(focus, dialog.findChild<QPushButton*>("Button1"));
    if (auto* ok = qobject_cast<QPushButton*>(focus)) ok->click();
    else dialog.reject();
  });
  EXPECT_EQ(dialog.exec(), QDialog::Accepted);
}

}  // namespace
}  // namespace tarnis::constructor
