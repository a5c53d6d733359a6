#include "goods/csv_records.h"

#include "platform/cp1251_codec.h"

namespace tarnis::goods {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";

// UTF-16 after its byte-order mark ("Unicode text" from spreadsheets). A unit without its pair
// becomes U+FFFD, which no goods field takes, so the import names it; an odd last byte is dropped.
std::string Utf16ToUtf8(std::string_view bytes, bool little_endian) {
  const auto unit = [&](std::size_t i) -> char32_t {
    const auto first = static_cast<unsigned char>(bytes[i]), second = static_cast<unsigned char>(bytes[i + 1]);
    return little_endian ? (second << 8 | first) : (first << 8 | second);
  };
  std::string out;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    char32_t cp = unit(i);
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
      i += 2;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

std::string ImportError(const std::string& what) { return "Не удалось импортировать файл: " + what + "."; }

}  // namespace

std::string CsvTextAsUtf8(std::string_view bytes) {
  if (bytes.starts_with(kByteOrderMark)) return std::string(bytes.substr(kByteOrderMark.size()));
  if (bytes.starts_with(kUtf16LittleEndianMark)) return Utf16ToUtf8(bytes.substr(2), true);
  if (bytes.starts_with(kUtf16BigEndianMark)) return Utf16ToUtf8(bytes.substr(2), false);
  if (IsUtf8(bytes)) return std::string(bytes);
  return Cp1251ToUtf8(bytes);
}

CsvRecords SplitCsvRecords(std::string_view text, char separator, std::size_t max_records) {
  CsvRecords result;
  CsvRecord record{1, {""}};
  int line = 1;
  int quote_line = 0;  // the line of the open quote, while inside a quoted field
  bool closed = false;  // the current field's closing quote has been seen
  const auto column = [&] { return static_cast<int>(record.fields.size()); };
  const auto end_record = [&] {
    result.records.push_back(std::move(record));
    record = {line, {""}};
    return max_records != 0 && result.records.size() == max_records;
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    std::string& field = record.fields.back();
    if (quote_line != 0) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quote_line = 0;
        closed = true;
      } else {
        if (c == '\n') ++line;
        field += c;
      }
    } else if (c == separator) {
      record.fields.emplace_back();
      closed = false;
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      ++line;
      closed = false;
      if (end_record()) return result;
    } else if (closed && c != ' ' && c != '\t') {
      result.records.clear();
      result.error = ImportError(CsvPlace(line, column()) + ": текст после закрывающей кавычки");
      return result;
    } else if (c == '"' && field.find_first_not_of(" \t") == std::string::npos) {
      field.clear();
      quote_line = line;
    } else if (!closed) {
      field += c;
    }
  }
  if (quote_line != 0) {
    result.records.clear();
    result.error = ImportError(CsvPlace(quote_line, column()) + ": кавычка не закрыта");
    return result;
  }
  result.records.push_back(std::move(record));
  return result;
}

std::string CsvField(std::string_view field, char separator) {
  const bool plain = field.find_first_of("\"\r\n") == std::string_view::npos &&
                     field.find(separator) == std::string_view::npos &&
                     (field.empty() || (field.front() != ' ' && field.back() != ' '));
  if (plain) return std::string(field);
  std::string quoted = "\"";
  for (const char c : field) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string CsvPlace(int line, int column) {
  return "строка " + std::to_string(line) + ", столбец " + std::to_string(column);
}

}  // namespace tarnis::goods
