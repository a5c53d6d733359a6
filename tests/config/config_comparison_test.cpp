// The comparison names exactly the field that differs, in the pages' words, with both values as
// the user sees them.
#include <gtest/gtest.h>

#include "config/config_comparison.h"
#include "platform/cp1251_codec.h"

namespace tarnis::config {
namespace {

class ComparisonTest : public ::testing::Test {
 protected:
  ComparisonTest() {
    FillDefaults(first);
    second = first;
    constructor::ResetBlankForms(first_forms);
    second_forms = first_forms;
  }

  // The only difference between the two records.
  Difference Only() {
    const auto differences = CompareConfigurations(first, second);
    EXPECT_EQ(differences.size(), 1u);
    return differences.empty() ? Difference{} : differences.front();
  }

  static void Set(ConfigText& text, const char* utf8) { text.Set(Utf8ToCp1251Lossy(utf8)); }

  DeviceConfiguration first;
  DeviceConfiguration second;
  constructor::BlankFormTable first_forms;
  constructor::BlankFormTable second_forms;
};

TEST_F(ComparisonTest, IdenticalRecordsAndTablesHaveNoDifference) {
  EXPECT_TRUE(CompareConfigurations(first, second).empty());
  EXPECT_TRUE(CompareBlankForms(first_forms, second_forms).empty());
  // Bytes behind a text's terminating zero are not what the user sees.
  second.document_name.bytes[20] = 'X';
  // Nor are the unused requisite slots or the cliché enabled byte.
  second.requisites[12].lines[0].bytes[0] = '1';
  second.cliches[1].enabled = 0;
  EXPECT_TRUE(CompareConfigurations(first, second).empty());
}

TEST_F(ComparisonTest, OperatorFieldsAreNamedAsOnTheOperatorsPage) {
  Set(second.operators[4].full_name, "1ИВАНОВ");
  EXPECT_EQ(Only(), (Difference{"Операторы", 5, "Ф.И.О.", "«ФАМИЛИЯ 5», узкий", "«ИВАНОВ», широкий"}));
  second = first;
  second.operators[31].password.Set("");
  EXPECT_EQ(Only(), (Difference{"Операторы", 32, "Пароль", "«" + std::string(first.operators[31].password.Text()) + "»",
                                "пусто"}));
  second = first;
  second.operators[0].enabled = 0;
  EXPECT_EQ(Only(), (Difference{"Операторы", 1, "Дост.", "да", "нет"}));
  second = first;
  Set(second.operators[2].position, "0ОПЕРАТОР 3 ");
  EXPECT_EQ(Only().field, "Должность");
}

TEST_F(ComparisonTest, DocumentNameShowsTheWidthInWords) {
  Set(second.document_name, "1СТРОКА ДСО");
  EXPECT_EQ(Only(), (Difference{"ДСО", 0, "ДСО", "«СТРОКА ДСО», узкий", "«СТРОКА ДСО», широкий"}));
  EXPECT_EQ(FormatDifference(Only()), "ДСО, ДСО: «СТРОКА ДСО», узкий → «СТРОКА ДСО», широкий");
  // An attribute the program never writes is shown as it is.
  Set(second.document_name, "2СТРОКА ДСО");
  EXPECT_EQ(Only().second, "«СТРОКА ДСО», признак ширины «2»");
}

TEST_F(ComparisonTest, ServiceLineAndAccessAreNamedAsOnTheServicesPage) {
  Set(second.services[98].lines[1], "0");
  EXPECT_EQ(Only(), (Difference{"Услуги", 99, "Строка 2", "«УСЛУГА 99 - СТРОКА 2», узкий", "«», узкий"}));
  EXPECT_EQ(FormatDifference(Only()), "Услуги №99, Строка 2: «УСЛУГА 99 - СТРОКА 2», узкий → «», узкий");
  second = first;
  second.services[0].enabled = 0;
  EXPECT_EQ(Only(), (Difference{"Услуги", 1, "Дост.", "да", "нет"}));
}

TEST_F(ComparisonTest, RequisiteLineIsNamedByItsNumber) {
  second.requisites[7].lines[2].Clear();
  EXPECT_EQ(Only(), (Difference{"Дополнительные реквизиты", 8, "Строка 3", "«ДОП. РЕК 8 - СТРОКА 3», узкий", "пусто"}));
  second = first;
  second.requisites[3].enabled = 0;
  EXPECT_EQ(Only(), (Difference{"Дополнительные реквизиты", 4, "Дост.", "да", "нет"}));
}

TEST_F(ComparisonTest, ClicheLineEightOfTheSecondCliche) {
  Set(second.cliches[1].lines[7], "0ДО СВИДАНИЯ");
  EXPECT_EQ(Only(), (Difference{"Клише", 2, "Строка 8", "«СТРОКА КЛИШЕ 7», узкий", "«ДО СВИДАНИЯ», узкий"}));
}

TEST_F(ComparisonTest, BlankFormsAreNamedAsOnTheConstructorPage) {
  second_forms.Form(3)->variant = 6;
  second_forms.Form(8)->typeSk = 3;
  second_forms.Form(1)->programmed = 0;
  second_forms.Form(2)->requisite = 4;
  const auto differences = CompareBlankForms(first_forms, second_forms);
  ASSERT_EQ(differences.size(), 4u);
  EXPECT_EQ(differences[0], (Difference{"Формы БСО", 1, "Запрограммирована", "да", "нет"}));
  EXPECT_EQ(differences[1], (Difference{"Формы БСО", 2, "Текущий реквизит", "Нет", "4"}));
  EXPECT_EQ(differences[2], (Difference{"Формы БСО", 3, "Вариант", "нет", "6"}));
  EXPECT_EQ(differences[3], (Difference{"Формы БСО", 8, "Скидка/Налог/Код", "нет", "К"}));
  // A value no page offers is shown as its number.
  second_forms = first_forms;
  second_forms.Form(5)->typeSk = 9;
  EXPECT_EQ(CompareBlankForms(first_forms, second_forms).at(0).second, "9");
}

TEST_F(ComparisonTest, UnreadTextIsNeverEqual) {
  // The reader marks texts it could not fetch; even an unchanged one is reported.
  const char* const marked = second.services[10].lines[0].bytes;
  const auto differences = CompareConfigurations(
      first, second, [marked](std::span<const char> field) { return field.data() == marked; });
  ASSERT_EQ(differences.size(), 1u);
  EXPECT_EQ(differences[0], (Difference{"Услуги", 11, "Строка 1", "«УСЛУГА 11 - СТРОКА 1», узкий", "не прочитано"}));
}

}  // namespace
}  // namespace tarnis::config
