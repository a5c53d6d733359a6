#include <gtest/gtest.h>

#include "goods/goods_csv.h"
#include "platform/cp1251_codec.h"

namespace tarnis::goods {
namespace {

std::string Cp(const char* utf8) { return *Utf8ToCp1251(utf8); }

const std::string kHeader = "Код товара;Наименование;Тип. шрифта;Штрих-код;Секция;Цена\r\n";

TEST(GoodsCsv, ExportHasHeaderAndEveryRowQuotedWhereNeeded) {
  GoodsTable table;
  table.SetRow(1, {"1", Cp("ХЛЕБ; \"БЕЛЫЙ\""), Cp("широкий"), "4601234567890", "7", "1.05"});
  table.SetRow(2, {"", "", Cp("узкий"), "", "", ""});  // blanked by a failed read
  const std::string text = GoodsCsvText(table);
  EXPECT_TRUE(text.starts_with(kHeader + "0;;узкий;0;0;0.00\r\n1;\"ХЛЕБ; \"\"БЕЛЫЙ\"\"\";широкий;4601234567890;7;1.05\r\n"
                                          "2;;узкий;;;\r\n"));
  EXPECT_TRUE(text.ends_with("1000;;узкий;0;0;0.00\r\n"));
}

TEST(GoodsCsv, ExportImportRoundTrip) {
  GoodsTable table;
  table.SetRow(0, {"0", Cp("АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧ"), Cp("широкий"), "1", "255", "999999999.00"});
  table.SetRow(5, {"5", Cp(" ПРОБЕЛЫ "), Cp("узкий"), "0", "1", ".50"});
  const GoodsCsvImport import = ParseGoodsCsv(GoodsCsvText(table));
  ASSERT_TRUE(import.ok()) << import.error;
  EXPECT_EQ(import.rows.size(), 1001u);
  GoodsTable copy;
  ApplyGoodsCsv(copy, import);
  EXPECT_EQ(copy.row(0), table.row(0));
  EXPECT_EQ(copy.row(5).name, Cp(" ПРОБЕЛЫ "));
  EXPECT_EQ(copy.row(5).price, "0.50");
}

TEST(GoodsCsv, ImportNormalisesWhatSpreadsheetsWrite) {
  const std::string text = "\xEF\xBB\xBF" + kHeader +
                           "7;хлеб ржаной;широкий;;3;12,5\n"
                           "\n"
                           "8;\"МНОГО\nСТРОК\";узкий;  42 ;0;12\n";
  const GoodsCsvImport import = ParseGoodsCsv(text);
  ASSERT_TRUE(import.ok()) << import.error;
  ASSERT_EQ(import.rows.size(), 2u);
  EXPECT_EQ(import.rows[0].second, (GoodsRow{"7", Cp("ХЛЕБ РЖАНОЙ"), Cp("широкий"), "0", "3", "12.50"}));
  EXPECT_EQ(import.rows[1].first, 8);
  EXPECT_EQ(import.rows[1].second.barcode, "42");
  EXPECT_EQ(import.rows[1].second.price, "12.00");

  GoodsTable table;
  table.SetRow(9, {"9", Cp("ОСТАЕТСЯ"), Cp("узкий"), "0", "0", "1.00"});
  ApplyGoodsCsv(table, import);
  EXPECT_EQ(table.row(7).name, Cp("ХЛЕБ РЖАНОЙ"));
  EXPECT_EQ(table.row(9).name, Cp("ОСТАЕТСЯ"));
}

TEST(GoodsCsv, ImportNamesLineAndFieldOfTheFirstProblem) {
  const auto error_of = [](const std::string& line) {
    return ParseGoodsCsv(kHeader + "1;A;узкий;0;0;0.00\r\n" + line).error;
  };
  EXPECT_EQ(error_of("1001;;узкий;0;0;0.00"),
            "Не удалось импортировать файл: строка 3, поле \"Код товара\": нужно число от 0 до 1000.");
  EXPECT_EQ(error_of("1;;узкий;0;0;0.00"),
            "Не удалось импортировать файл: строка 3, поле \"Код товара\": код 1 уже был в строке 2.");
  EXPECT_EQ(error_of("2;АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШ;узкий;0;0;0.00"),
            "Не удалось импортировать файл: строка 3, поле \"Наименование\": больше 24 символов.");
  EXPECT_EQ(error_of("2;日本;узкий;0;0;0.00"),
            "Не удалось импортировать файл: строка 3, поле \"Наименование\": символ, которого нет в кодировке "
            "Windows-1251.");
  EXPECT_EQ(error_of("2;;жирный;0;0;0.00"),
            "Не удалось импортировать файл: строка 3, поле \"Тип. шрифта\": нужно \"узкий\" или \"широкий\".");
  EXPECT_EQ(error_of("2;;узкий;12345678901234;0;0.00"),
            "Не удалось импортировать файл: строка 3, поле \"Штрих-код\": нужно не больше 13 цифр.");
  EXPECT_EQ(error_of("2;;узкий;12a;0;0.00"),
            "Не удалось импортировать файл: строка 3, поле \"Штрих-код\": нужно не больше 13 цифр.");
  EXPECT_EQ(error_of("2;;узкий;0;256;0.00"),
            "Не удалось импортировать файл: строка 3, поле \"Секция\": нужно число от 0 до 255.");
  EXPECT_EQ(error_of("2;;узкий;0;1;1.234"),
            "Не удалось импортировать файл: строка 3, поле \"Цена\": нужна цена в рублях с копейками через точку.");
  EXPECT_EQ(error_of("2;;узкий;0;1;"),
            "Не удалось импортировать файл: строка 3, поле \"Цена\": нужна цена в рублях с копейками через точку.");
  EXPECT_EQ(error_of("2;;узкий;0;1;999999999.01"),
            "Не удалось импортировать файл: строка 3, поле \"Цена\": больше 999999999.00.");
  EXPECT_EQ(error_of("2;;узкий;0;1"), "Не удалось импортировать файл: в строке 3 не 6 полей через \";\".");
  EXPECT_EQ(ParseGoodsCsv("1;A;узкий;0;0;0.00\r\n").error,
            "Не удалось импортировать файл: в строке 1 нет заголовка \"Код товара;Наименование;Тип. "
            "шрифта;Штрих-код;Секция;Цена\".");
}

TEST(GoodsCsv, FailedImportChangesNothing) {
  GoodsTable table;
  table.SetRow(1, {"1", Cp("СТАРОЕ"), Cp("узкий"), "0", "0", "1.00"});
  const GoodsCsvImport import = ParseGoodsCsv(kHeader + "1;НОВОЕ;узкий;0;0;0.00\r\n2;;узкий;0;999;0.00\r\n");
  EXPECT_FALSE(import.ok());
  EXPECT_TRUE(import.rows.empty());
  ApplyGoodsCsv(table, import);
  EXPECT_EQ(table.row(1).name, Cp("СТАРОЕ"));
}

}  // namespace
}  // namespace tarnis::goods
