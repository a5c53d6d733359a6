#pragma once
// The goods table as a CSV text for spreadsheets: a header row of the six column titles, one line
// per record. Written as asked (by default UTF-8, ";", CRLF); read in any of the shapes
// csv_records.h accepts, the columns in any order and any letter case.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "goods/csv_records.h"
#include "goods/goods_table.h"

namespace tarnis::goods {

struct CsvFormat {
  CsvEncoding encoding = CsvEncoding::Utf8;
  char separator = ';';
  bool byte_order_mark = false;  // UTF-8 only
};
// What common spreadsheets open with Cyrillic intact.
inline constexpr CsvFormat kSpreadsheetCsvFormat{CsvEncoding::Utf8, ';', true};

// The header and all 1001 rows; each row's code is its place in the table.
std::string GoodsCsvText(const GoodsTable& table, const CsvFormat& format = {});

// The rows a CSV file gives, keyed by code, or the first problem found, naming the line and the
// column. Every line is checked before anything is returned: code 0..1000 and not repeated, name
// of at most 24 characters once capitalised (Windows-1251 only), font word in any letter case,
// barcode a number the goods file holds (empty: 0), section 0..255, price in roubles with a point
// or a comma and at most two digits of kopecks, within 999 999 999.00. Blank lines are skipped;
// columns the header does not name are ignored.
struct GoodsCsvImport {
  std::vector<std::pair<int, GoodsRow>> rows;
  std::string error;  // UTF-8; empty on success
  // Names the device will hold otherwise, each "строка 3, столбец 2 \"Наименование\": Ё будет
  // записана как Е"; such rows are imported as they are.
  std::vector<std::string> warnings;
  bool ok() const { return error.empty(); }
};
GoodsCsvImport ParseGoodsCsv(std::string_view bytes);

// Sets the imported rows; rows the text does not mention stay as they are.
void ApplyGoodsCsv(GoodsTable& table, const GoodsCsvImport& import);

}  // namespace tarnis::goods
