#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "wizard_gui_support.h"

namespace tarnis::wizard {
namespace {

using CellEditorsTest = WizardTest;

TEST_F(CellEditorsTest, LineEditorTypesCapitalsUpTo24AndEnterApplies) {
  WhenModal([this](QDialog& modal) {
    EXPECT_EQ(&modal, &line_editor);
    EXPECT_EQ(line_editor.windowTitle(), "Редактирование строки...");
    EXPECT_TRUE(line_editor.CheckBox1->isChecked());
    EXPECT_EQ(line_editor.Edit1->text(), "СТАРОЕ");
    line_editor.Edit1->clear();
    TypeText(line_editor.Edit1, "привет, мир! ёжик abc 12345");
    EXPECT_EQ(line_editor.Edit1->text(), "ПРИВЕТ, МИР! ЁЖИК ABC 12") << "the 25th character is refused";
    line_editor.CheckBox1->setChecked(false);
    QTest::keyClick(line_editor.Edit1, Qt::Key_Return);
  });
  const auto edited = line_editor.EditLine({Cp("СТАРОЕ"), true});
  ASSERT_TRUE(edited);
  EXPECT_EQ(*edited, (LineValue{Cp("ПРИВЕТ, МИР! ЁЖИК ABC 12"), false}));
  EXPECT_EQ(line_editor.result_flag(), 1);
}

// The user sees a wide text's loss before it happens: the count turns red past 12.
TEST_F(CellEditorsTest, LineEditorCountsAgainstTheLimitOfItsWidth) {
  const auto red = [this] { return line_editor.LengthCount->styleSheet().contains("#c00000"); };
  WhenModal([&](QDialog&) {
    EXPECT_EQ(line_editor.LengthCount->text(), "12 / 12");
    EXPECT_FALSE(red());
    EXPECT_EQ(line_editor.LengthWarning->text(), "");
    line_editor.Edit1->end(false);  // showing selects the whole text
    TypeText(line_editor.Edit1, "в");
    EXPECT_EQ(line_editor.LengthCount->text(), "13 / 12");
    EXPECT_TRUE(red());
    EXPECT_EQ(line_editor.LengthWarning->text(), "будет напечатано 12 символов");
    line_editor.CheckBox1->setChecked(false);  // narrow: 13 of 24 is fine
    EXPECT_EQ(line_editor.LengthCount->text(), "13 / 24");
    EXPECT_FALSE(red());
    EXPECT_EQ(line_editor.LengthWarning->text(), "");
    TypeText(line_editor.Edit1, "Ё");  // the device keeps it as Е: said where the length warns
    EXPECT_EQ(line_editor.LengthWarning->text(), "Ё будет записана как Е");
    TypeText(line_editor.Edit1, "ABCDEFGHIJK");  // the 25th is refused
    EXPECT_EQ(line_editor.LengthCount->text(), "24 / 24");
    EXPECT_FALSE(red());
    line_editor.CheckBox1->setChecked(true);
    EXPECT_EQ(line_editor.LengthCount->text(), "24 / 12");
    EXPECT_TRUE(red());
    line_editor.Button2->click();
  });
  EXPECT_FALSE(line_editor.EditLine({Cp("АБВГДЕЖЗИЙКЛ"), true}));
}

TEST_F(CellEditorsTest, LineEditorRefusesCharactersOutsideTheCodePage) {
  WhenModal([this](QDialog&) {
    line_editor.Edit1->clear();
    TypeText(line_editor.Edit1, QString::fromUtf8("А€Б✓В"));
    EXPECT_EQ(line_editor.Edit1->text(), QString::fromUtf8("А€БВ")) << "€ is in Windows-1251, ✓ is not";
    line_editor.Button1->click();
  });
  EXPECT_EQ(line_editor.EditLine({}).value().text, Cp("А€БВ"));
}

TEST_F(CellEditorsTest, CancelAndEveryOtherCloseCountAsCancel) {
  WhenModal([this](QDialog&) { line_editor.Button2->click(); });
  EXPECT_FALSE(line_editor.EditLine({Cp("Х"), false}));
  EXPECT_EQ(line_editor.result_flag(), 0);

  WhenModal([this](QDialog&) { QTest::keyClick(line_editor.Edit1, Qt::Key_Escape); });
  EXPECT_FALSE(line_editor.EditLine({Cp("Х"), false}));

  WhenModal([this](QDialog&) { line_editor.close(); });
  EXPECT_FALSE(line_editor.EditLine({Cp("Х"), false}));
  EXPECT_EQ(line_editor.result_flag(), 0);
}

TEST_F(CellEditorsTest, NumberEditorTakesFourDigitsOnlyAndEnterAppliesEvenEmpty) {
  WhenModal([this](QDialog& modal) {
    EXPECT_EQ(&modal, &number_editor);
    EXPECT_EQ(number_editor.windowTitle(), "Редактирование числа....");
    EXPECT_EQ(number_editor.Edit1->text(), "12");
    number_editor.Edit1->setCursorPosition(2);
    TypeText(number_editor.Edit1, "3a4Ж5%'");
    EXPECT_EQ(number_editor.Edit1->text(), "1234") << "letters and a fifth digit are refused";
    number_editor.Button1->click();
  });
  EXPECT_EQ(number_editor.EditNumber("12"), std::optional<std::string>("1234"));

  WhenModal([this](QDialog&) {
    number_editor.Edit1->clear();
    QTest::keyClick(number_editor.Edit1, Qt::Key_Enter);
  });
  EXPECT_EQ(number_editor.EditNumber("99"), std::optional<std::string>(""));

  WhenModal([this](QDialog&) { number_editor.close(); });
  EXPECT_FALSE(number_editor.EditNumber("99"));
}

}  // namespace
}  // namespace tarnis::wizard
