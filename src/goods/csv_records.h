#pragma once
// CSV as spreadsheets and accounting programs write it: UTF-8 (with or without a byte-order mark),
// UTF-16 with its byte-order mark, or Windows-1251, ";", "," or tab between fields, fields in double quotes holding separators,
// line breaks and doubled quotes, lines ended by CRLF or LF.
#include <string>
#include <string_view>
#include <vector>

namespace tarnis::goods {

enum class CsvEncoding { Utf8, Cp1251 };

// The separators a file may use, in the order they are tried.
inline constexpr char kCsvSeparators[] = {';', ',', '\t'};

struct CsvRecord {
  int line = 0;  // where the record starts, counted from 1
  std::vector<std::string> fields;
};

struct CsvRecords {
  std::vector<CsvRecord> records;
  // UTF-8; empty on success. Names the line and the column (counted from 1) of a quote left
  // open or of text after a closing quote.
  std::string error;
};

// The file's text as UTF-8: without its byte-order mark when it has one (UTF-16 by its mark);
// decoded from Windows-1251 when the bytes are not well-formed UTF-8.
std::string CsvTextAsUtf8(std::string_view bytes);

// At most max_records records (0: all). A quote opens a quoted field only at the start of a
// field; elsewhere it is an ordinary character.
CsvRecords SplitCsvRecords(std::string_view text, char separator, std::size_t max_records = 0);

// The field as a CSV line holds it: quoted, quotes doubled, when it holds the separator, a quote,
// a line break or blanks at either end.
std::string CsvField(std::string_view field, char separator);

// "строка L, столбец C" — how import messages name a place in the file.
std::string CsvPlace(int line, int column);

}  // namespace tarnis::goods
