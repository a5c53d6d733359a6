// The comparison names exactly the field that differs, in the pages' words, with both values as
// the user sees them.
#include <gtest/gtest.h>

#include "config/config_comparison.h"

#include <functional>

#include "config/config_transfer.h"
#include "config/config_verification.h"
#include "platform/cp1251_codec.h"

namespace tarnis::config {
namespace {

class ComparisonTest : public ::testing::Test {
 protected:
  ComparisonTest() {
    FillDefaults(first);
    second = first;
    ResetBlankForms(first_forms);
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
  BlankFormTable first_forms;
  BlankFormTable second_forms;
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

// A read report in which the device answered every request with the texts of `first`, every
// item enabled and every form held as `first_forms` says.
ReadReport ReadingOf(DeviceConfiguration& record, const BlankFormTable& forms) {
  ReadReport report;
  for (const SectionMap& map : kParameterMap)
    for (int row = 1; row <= map.rows; ++row)
      for (int field = 1; field <= map.fields; ++field) {
        const ParameterAddress address{map.table, static_cast<std::uint8_t>(row), static_cast<std::uint8_t>(field)};
        link::ParameterReply reply;
        reply.attribute = 1;
        report.Add(address, reply, std::string(FieldText(ParameterAt(record, address)->text)));
      }
  for (int form = 1; form <= kFormCount; ++form) {
    const BlankFormEntry& entry = *forms.Form(form);
    link::BlankReply reply;
    reply.fields = {static_cast<std::uint8_t>(form), entry.variant, entry.requisite, entry.typeSk};
    report.AddBlank(form, reply);
  }
  return report;
}

link::ParameterReply Refused(std::uint8_t error) {
  link::ParameterReply reply;
  reply.result = link::LinkResult::DeviceError;
  reply.error_code = error;
  reply.attribute = 0;
  return reply;
}

TEST_F(ComparisonTest, ReadingIsComparedAsTheDeviceHoldsTextsAndNeverTakesUnreadForEqual) {
  EXPECT_TRUE(CompareWithReading(first_forms, first, ReadingOf(second, second_forms)).empty());
  const std::string not_written = kClicheTwoNotWritten;
  const struct {
    const char* what;
    std::function<void(DeviceConfiguration&, ReadReport&)> change;
    std::vector<Difference> differences;
  } cases[] = {
      {"Ё is held as Е",
       [](DeviceConfiguration& expected, ReadReport& r) {
         Set(expected.services[3].lines[0], "0ЁЛКА");
         link::ParameterReply reply;
         reply.attribute = 1;
         r.Add({2, 4, 1}, reply, Utf8ToCp1251Lossy("0ЕЛКА"));
       },
       {}},
      {"a text that did not arrive",
       [](DeviceConfiguration&, ReadReport& r) {
         link::ParameterReply reply;
         reply.result = link::LinkResult::NoAnswer;
         r.Add({2, 11, 1}, reply, "");
       },
       {{"Услуги", 11, "Строка 1", "«УСЛУГА 11 - СТРОКА 1», узкий", "не прочитано"}}},
      {"requisite access from the attribute",
       [](DeviceConfiguration&, ReadReport& r) {
         for (std::uint8_t line = 1; line <= 3; ++line) {
           link::ParameterReply reply;
           reply.attribute = 0;
           r.Add({3, 1, line}, reply, Utf8ToCp1251Lossy("0ДОП. РЕК 1 - СТРОКА " + std::to_string(line)));
         }
       },
       {{"Дополнительные реквизиты", 1, "Дост.", "да", "нет"}}},
      {"a refusal for another device reports no access",
       [](DeviceConfiguration&, ReadReport& r) { r.Add({0, 4, 1}, Refused(55), ""); },
       {{"Операторы", 4, "Должность", "«ОПЕРАТОР 4», узкий", "не прочитано"},
        {"Операторы", 4, "Дост.", "да", "не прочитано"}}},
      {"a blank form",
       [](DeviceConfiguration&, ReadReport& r) {
         link::BlankReply reply;
         reply.fields = {3, 2, 0, 0};
         r.AddBlank(3, reply);
         reply.result = link::LinkResult::NoAnswer;
         r.AddBlank(8, reply);
       },
       {{"Формы БСО", 3, "Вариант", "нет", "2"}, {"Формы БСО", 8, "Запрограммирована", "да", "не прочитано"}}},
      {"cliché 2 while the device holds cliché 1",
       [](DeviceConfiguration& expected, ReadReport&) { Set(expected.cliches[1].lines[0], "0НОВОЕ"); },
       {{"Клише", 2, "Строка 1", "«НОВОЕ», узкий", "«СТРОКА КЛИШЕ 0», узкий", not_written}}},
  };
  for (const auto& c : cases) {
    FillDefaults(first);
    ReadReport report = ReadingOf(second, second_forms);
    c.change(first, report);
    const auto differences = CompareWithReading(first_forms, first, report);
    std::string shown;
    for (const Difference& d : differences) shown += FormatDifference(d) + "\n";
    EXPECT_EQ(differences, c.differences) << c.what << "\n" << shown;
  }
}

}  // namespace
}  // namespace tarnis::config
