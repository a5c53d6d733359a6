#pragma once
// The goods table as a CSV text for spreadsheets: UTF-8, ";" between fields, a header row of the
// six column titles, one line per record. Fields holding ";", a quote, a line break or blanks at
// either end are quoted, quotes doubled.
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "goods/goods_table.h"

namespace tarnis::goods {

// The header and all 1001 rows; each row's code is its place in the table.
std::string GoodsCsvText(const GoodsTable& table);

// The rows a CSV text gives, keyed by code, or the first problem found, naming the line and
// the field. Every line is checked before anything is returned: code 0..1000 and not repeated,
// name of at most 24 characters once capitalised (Windows-1251 only), font word, barcode of at
// most 13 digits (empty: 0), section 0..255, price R.KK (a comma also separates) within
// 999 999 999.00. A leading byte-order mark and blank lines are skipped.
struct GoodsCsvImport {
  std::vector<std::pair<int, GoodsRow>> rows;
  std::string error;  // UTF-8; empty on success
  bool ok() const { return error.empty(); }
};
GoodsCsvImport ParseGoodsCsv(std::string_view utf8);

// Sets the imported rows; rows the text does not mention stay as they are.
void ApplyGoodsCsv(GoodsTable& table, const GoodsCsvImport& import);

}  // namespace tarnis::goods
