#include <gtest/gtest.h>

#include "goods/goods_csv.h"
#include "platform/cp1251_codec.h"

namespace tarnis::goods {
namespace {

std::string Cp(const char* utf8) { return *Utf8ToCp1251(utf8); }

// Always in quotes, as some programs write every text field.
std::string Quoted(const std::string& field) {
  std::string quoted = "\"";
  for (const char c : field) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

// UTF-16 with its byte-order mark, as spreadsheets save "Unicode text"; the test texts stay
// within the basic plane.
std::string Utf16(const std::string& utf8, bool little_endian) {
  std::string out = little_endian ? "\xFF\xFE" : "\xFE\xFF";
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    char16_t unit = lead;
    if (lead >= 0xE0) {
      unit = static_cast<char16_t>((lead & 0x0F) << 12 | (utf8[i + 1] & 0x3F) << 6 | (utf8[i + 2] & 0x3F));
      i += 3;
    } else if (lead >= 0xC0) {
      unit = static_cast<char16_t>((lead & 0x1F) << 6 | (utf8[i + 1] & 0x3F));
      i += 2;
    } else {
      ++i;
    }
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    out += little_endian ? std::string{low, high} : std::string{high, low};
  }
  return out;
}

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
                           "8;\"МНОГО; СТРОК\";узкий;  42 ;0;12\n"
                           "10;ёлка;узкий;0;0;1\n";
  const GoodsCsvImport import = ParseGoodsCsv(text);
  ASSERT_TRUE(import.ok()) << import.error;
  ASSERT_EQ(import.rows.size(), 3u);
  EXPECT_EQ(import.rows[2].second.name, Cp("ЁЛКА")) << "imported as it is, with a warning";
  EXPECT_EQ(import.warnings, std::vector<std::string>{"строка 5, столбец 2 \"Наименование\": Ё будет записана как Е"});
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

TEST(GoodsCsv, ImportNamesLineAndColumnOfTheFirstProblem) {
  const auto error_of = [](const std::string& line) {
    return ParseGoodsCsv(kHeader + "1;A;узкий;0;0;0.00\r\n" + line).error;
  };
  const std::string failed = "Не удалось импортировать файл: ";
  EXPECT_EQ(error_of("1001;;узкий;0;0;0.00"), failed + "строка 3, столбец 1 \"Код товара\": нужно число от 0 до 1000.");
  EXPECT_EQ(error_of("1;;узкий;0;0;0.00"), failed + "строка 3, столбец 1 \"Код товара\": код 1 уже был в строке 2.");
  EXPECT_EQ(error_of("2;АБВГДЕЖЗИЙКЛМНОПРСТУФХЦЧШ;узкий;0;0;0.00"),
            failed + "строка 3, столбец 2 \"Наименование\": больше 24 символов.");
  EXPECT_EQ(error_of("2;日本;узкий;0;0;0.00"),
            failed + "строка 3, столбец 2 \"Наименование\": символ, которого нет в кодировке Windows-1251.");
  EXPECT_EQ(error_of("2;;жирный;0;0;0.00"),
            failed + "строка 3, столбец 3 \"Тип. шрифта\": нужно \"узкий\" или \"широкий\".");
  EXPECT_EQ(error_of("2;;узкий;9223372036854775808;0;0.00"),
            failed + "строка 3, столбец 4 \"Штрих-код\": нужно число от 0 до 9223372036854775807.");
  EXPECT_EQ(error_of("2;;узкий;4,60123E+12;0;0.00"),
            failed + "строка 3, столбец 4 \"Штрих-код\": нужно число от 0 до 9223372036854775807.");
  EXPECT_EQ(error_of("2;;узкий;12a;0;0.00"),
            failed + "строка 3, столбец 4 \"Штрих-код\": нужно число от 0 до 9223372036854775807.");
  EXPECT_EQ(error_of("2;;узкий;0;256;0.00"), failed + "строка 3, столбец 5 \"Секция\": нужно число от 0 до 255.");
  for (const char* price : {"1.234", "", "1.2,3", "12р"})
    EXPECT_EQ(error_of(std::string("2;;узкий;0;1;") + price),
              failed + "строка 3, столбец 6 \"Цена\": нужна цена в рублях с копейками через точку или запятую.")
        << price;
  EXPECT_EQ(error_of("2;;узкий;0;1;999999999.01"), failed + "строка 3, столбец 6 \"Цена\": больше 999999999.00.");
  EXPECT_EQ(error_of("2;;узкий;0;1"), failed + "в строке 3 полей 5 через \";\", а в заголовке 6.");
  // A control character would cut the name short or reach a terminal: refused, even spelt overlong.
  for (const std::string& name : {std::string("AB\0CD", 5), std::string("AB\x1B[2J"), std::string("A\x7F"),
                                  std::string("A\tB"), std::string("\"МНОГО\nСТРОК\"")})
    EXPECT_EQ(error_of("2;" + name + ";узкий;0;0;0.00"),
              failed + "строка 3, столбец 2 \"Наименование\": управляющий символ.") << name;
  // "C0 80" is no UTF-8 (only the shortest form is): such a file is no UTF-8 file at all.
  for (const char* overlong : {"AB\xC0\x80" "CD", "\xE0\x80\x80", "\xF0\x80\x80\x80", "\xED\xA0\x80"})
    EXPECT_FALSE(IsUtf8(overlong) || Utf8ToCp1251(overlong)) << overlong;
  EXPECT_NE(error_of("2;AB\xC0\x80" "CD;узкий;0;0;0.00"), "");
  // A UTF-16 unit without its pair is no character a name can hold.
  const std::string lone_surrogate = std::string("\x00\xD8", 2);
  EXPECT_EQ(ParseGoodsCsv(Utf16(kHeader + "2;", true) + lone_surrogate + Utf16(";узкий;0;0;0.00", true).substr(2)).error,
            failed + "строка 2, столбец 2 \"Наименование\": символ, которого нет в кодировке Windows-1251.");
  // Quotes: one left open is named where it opens; text after a closing quote where it stands.
  EXPECT_EQ(error_of("2;\"ХЛЕБ;узкий;0;0;0.00\r\n3;;узкий;0;0;0.00\r\n"),
            failed + "строка 3, столбец 2: кавычка не закрыта.");
  EXPECT_EQ(error_of("2;;узкий;0;0;0.00\r\n3;\"ХЛЕБ\" БЕЛЫЙ;узкий;0;0;0.00"),
            failed + "строка 4, столбец 2: текст после закрывающей кавычки.");
  // The header: each column once, all six present; a line of none of them is no header.
  EXPECT_EQ(ParseGoodsCsv("1;A;узкий;0;0;0.00\r\n").error,
            failed + "в строке 1 нет заголовка \"Код товара;Наименование;Тип. шрифта;Штрих-код;Секция;Цена\".");
  EXPECT_EQ(ParseGoodsCsv("Код товара,Наименование,Тип. шрифта,Штрих-код,Цена\n").error,
            failed + "в строке 1 нет столбца \"Секция\".");
  EXPECT_EQ(ParseGoodsCsv("Код товара\tНаименование\tТип. шрифта\tШтрих-код\tСекция\tЦена\tцена\n").error,
            failed + "строка 1, столбец 7: столбец \"Цена\" уже есть в столбце 6.");
}

// The same table as spreadsheets and accounting programs hand it over.
TEST(GoodsCsv, EveryEncodingAndSeparatorGivesTheSameRows) {
  const std::vector<std::vector<std::string>> lines = {
      {"цена", "ШТРИХ-КОД", "Код товара", "Тип. шрифта", "наименование", "Секция", "Примечание"},
      {"89,90", "4601234567890", "3", "Широкий", "Молоко, 1л", "2", "свежее"},
      {"1 234.5", "123456789012345", "4", "узкий", "ХЛЕБ \"БЕЛЫЙ\"", "0", ""},
      {"0", "", "1000", "УЗКИЙ", "", "255", "x"}};
  const auto csv = [&](char separator, const char* line_end) {
    std::string text;
    for (const auto& fields : lines) {
      for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) text += separator;
        const bool quote = fields[i].find_first_of(",;\"") != std::string::npos || i == 4;
        text += quote ? Quoted(fields[i]) : fields[i];
      }
      text += line_end;
    }
    return text + line_end;  // a blank last line
  };
  const std::vector<std::pair<int, GoodsRow>> expected = {
      {3, {"3", Cp("МОЛОКО, 1Л"), Cp("широкий"), "4601234567890", "2", "89.90"}},
      {4, {"4", Cp("ХЛЕБ \"БЕЛЫЙ\""), Cp("узкий"), "123456789012345", "0", "1234.50"}},
      {1000, {"1000", "", Cp("узкий"), "0", "255", "0.00"}}};
  for (const char separator : {';', ',', '\t'}) {
    for (const char* line_end : {"\r\n", "\n"}) {
      const std::string utf8 = csv(separator, line_end);
      for (const std::string& file : {utf8, "\xEF\xBB\xBF" + utf8, *Utf8ToCp1251(utf8), Utf16(utf8, true),
                                      Utf16(utf8, false)}) {
        const GoodsCsvImport import = ParseGoodsCsv(file);
        ASSERT_TRUE(import.ok()) << import.error;
        EXPECT_EQ(import.rows, expected) << int{separator};
      }
    }
  }
}

TEST(GoodsCsv, ExportInEachFormatReadsBack) {
  GoodsTable table;
  table.SetRow(7, {"7", Cp("МОЛОКО, 1Л \"ЦЕЛЬНОЕ\""), Cp("широкий"), "9223372036854775807", "3", "89.90"});
  const std::string spreadsheet = GoodsCsvText(table, kSpreadsheetCsvFormat);
  EXPECT_TRUE(spreadsheet.starts_with("\xEF\xBB\xBF" + kHeader));
  const std::string cp1251 = GoodsCsvText(table, {CsvEncoding::Cp1251, ',', false});
  EXPECT_TRUE(cp1251.starts_with(Cp("Код товара,Наименование,Тип. шрифта,Штрих-код,Секция,Цена\r\n")));
  EXPECT_NE(cp1251.find(Cp("7,\"МОЛОКО, 1Л \"\"ЦЕЛЬНОЕ\"\"\",широкий,9223372036854775807,3,89.90\r\n")),
            std::string::npos);
  const std::string tabs = GoodsCsvText(table, {CsvEncoding::Utf8, '\t', false});
  EXPECT_NE(tabs.find("7\t\"МОЛОКО, 1Л \"\"ЦЕЛЬНОЕ\"\"\"\tширокий\t"), std::string::npos);
  for (const std::string& text : {spreadsheet, cp1251, tabs}) {
    const GoodsCsvImport import = ParseGoodsCsv(text);
    ASSERT_TRUE(import.ok()) << import.error;
    EXPECT_EQ(import.rows[7].second, table.row(7));
  }
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
