#include "goods/goods_csv.h"

#include <array>
#include <map>

#include "goods/goods_file.h"
#include "goods/goods_item_entry.h"
#include "platform/cp1251_codec.h"

namespace tarnis::goods {
namespace {

constexpr char kSeparator = ';';
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string Quoted(std::string_view field) {
  const bool plain = field.find_first_of(";\"\r\n") == std::string_view::npos &&
                     (field.empty() || (field.front() != ' ' && field.back() != ' '));
  if (plain) return std::string(field);
  std::string quoted = "\"";
  for (const char c : field) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

struct CsvRecord {
  int line = 0;  // where the record starts, counted from 1
  std::vector<std::string> fields;
};

// Splits the text into records; quoted fields may hold separators, quotes and line breaks.
std::vector<CsvRecord> SplitRecords(std::string_view text) {
  std::vector<CsvRecord> records;
  CsvRecord record{1, {""}};
  int line = 1;
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    std::string& field = record.fields.back();
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        if (c == '\n') ++line;
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == kSeparator) {
      record.fields.emplace_back();
    } else if (c == '\n' || c == '\r') {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      records.push_back(std::move(record));
      record = {++line, {""}};
    } else {
      field += c;
    }
  }
  records.push_back(std::move(record));
  return records;
}

bool IsBlank(const CsvRecord& record) { return record.fields.size() == 1 && Trimmed(record.fields[0]).empty(); }

std::string FieldError(int line, GoodsColumn column, const std::string& what) {
  return "Не удалось импортировать файл: строка " + std::to_string(line) + ", поле \"" + GoodsColumnTitle(column) +
         "\": " + what + ".";
}

// One record's row, or the first problem with it.
struct ParsedRow {
  int code = 0;
  GoodsRow row;
  std::string error;
};

ParsedRow ParseRow(const CsvRecord& record) {
  ParsedRow parsed;
  const int line = record.line;
  const auto field = [&](GoodsColumn column) -> const std::string& {
    return record.fields[static_cast<std::size_t>(column)];
  };
  const auto fail = [&](GoodsColumn column, const std::string& what) {
    parsed.error = FieldError(line, column, what);
    return parsed;
  };

  const auto code = DecimalCell(Trimmed(field(GoodsColumn::Code)), kLastGoodsCode);
  if (!code) return fail(GoodsColumn::Code, "нужно число от 0 до 1000");
  parsed.code = static_cast<int>(*code);
  parsed.row.code = std::to_string(*code);

  const auto name = Utf8ToCp1251(field(GoodsColumn::Name));
  if (!name) return fail(GoodsColumn::Name, "символ, которого нет в кодировке Windows-1251");
  parsed.row.name = Cp1251ToUpper(*name);
  if (parsed.row.name.size() > kGoodsNameMaxLength) return fail(GoodsColumn::Name, "больше 24 символов");

  const auto font = Utf8ToCp1251(Trimmed(field(GoodsColumn::Font)));
  if (font != NarrowFontWord() && font != WideFontWord())
    return fail(GoodsColumn::Font, "нужно \"узкий\" или \"широкий\"");
  parsed.row.font = *font;

  const std::string_view barcode = Trimmed(field(GoodsColumn::Barcode));
  if (barcode.size() > kBarcodeMaxDigits || (!barcode.empty() && !DecimalCell(barcode, ~std::uint64_t{0})))
    return fail(GoodsColumn::Barcode, "нужно не больше 13 цифр");
  parsed.row.barcode = barcode.empty() ? "0" : std::to_string(*DecimalCell(barcode, ~std::uint64_t{0}));

  const auto section = DecimalCell(Trimmed(field(GoodsColumn::Section)), kSectionMax);
  if (!section) return fail(GoodsColumn::Section, "нужно число от 0 до 255");
  parsed.row.section = std::to_string(*section);

  std::string price(Trimmed(field(GoodsColumn::Price)));
  if (const std::size_t comma = price.find(','); comma != std::string::npos) price[comma] = '.';
  const std::size_t point = price.find('.');
  const PriceEntry entry = NormalisePriceEntry(price);
  if (price.empty() || (point != std::string::npos && price.size() - point - 1 > 2) ||
      entry.status == PriceEntry::Status::NotANumber)
    return fail(GoodsColumn::Price, "нужна цена в рублях с копейками через точку");
  if (entry.status == PriceEntry::Status::TooLarge) return fail(GoodsColumn::Price, "больше 999999999.00");
  parsed.row.price = PriceText(entry.kopecks);
  return parsed;
}

std::string HeaderLine() {
  std::string header;
  for (int column = 0; column < kGoodsColumnCount; ++column) {
    if (column > 0) header += kSeparator;
    header += GoodsColumnTitle(static_cast<GoodsColumn>(column));
  }
  return header;
}

std::string JoinedFields(const CsvRecord& record) {
  std::string joined;
  for (std::size_t i = 0; i < record.fields.size(); ++i) {
    if (i > 0) joined += kSeparator;
    joined += Trimmed(record.fields[i]);
  }
  return joined;
}

}  // namespace

std::string GoodsCsvText(const GoodsTable& table) {
  std::string text = HeaderLine() + "\r\n";
  for (int code = 0; code < kGoodsRecordCount; ++code) {
    const GoodsRow& row = table.row(code);
    text += std::to_string(code);
    for (const GoodsColumn column :
         {GoodsColumn::Name, GoodsColumn::Font, GoodsColumn::Barcode, GoodsColumn::Section, GoodsColumn::Price}) {
      text += kSeparator;
      text += Quoted(Cp1251ToUtf8(row.cell(column)));
    }
    text += "\r\n";
  }
  return text;
}

GoodsCsvImport ParseGoodsCsv(std::string_view utf8) {
  if (utf8.starts_with(kByteOrderMark)) utf8.remove_prefix(kByteOrderMark.size());
  const std::vector<CsvRecord> records = SplitRecords(utf8);
  GoodsCsvImport import;
  if (JoinedFields(records.front()) != HeaderLine()) {
    import.error = "Не удалось импортировать файл: в строке 1 нет заголовка \"" + HeaderLine() + "\".";
    return import;
  }
  std::map<int, int> line_of_code;
  for (std::size_t i = 1; i < records.size(); ++i) {
    const CsvRecord& record = records[i];
    if (IsBlank(record)) continue;
    if (record.fields.size() != static_cast<std::size_t>(kGoodsColumnCount)) {
      import.rows.clear();
      import.error = "Не удалось импортировать файл: в строке " + std::to_string(record.line) +
                     " не 6 полей через \";\".";
      return import;
    }
    ParsedRow parsed = ParseRow(record);
    if (parsed.error.empty()) {
      const auto [earlier, fresh] = line_of_code.emplace(parsed.code, record.line);
      if (!fresh)
        parsed.error = FieldError(record.line, GoodsColumn::Code,
                                  "код " + std::to_string(parsed.code) + " уже был в строке " +
                                      std::to_string(earlier->second));
    }
    if (!parsed.error.empty()) {
      import.rows.clear();
      import.error = std::move(parsed.error);
      return import;
    }
    import.rows.emplace_back(parsed.code, std::move(parsed.row));
  }
  return import;
}

void ApplyGoodsCsv(GoodsTable& table, const GoodsCsvImport& import) {
  if (!import.ok()) return;
  GoodsRows rows;
  for (int code = 0; code < kGoodsRecordCount; ++code) rows[static_cast<std::size_t>(code)] = table.row(code);
  for (const auto& [code, row] : import.rows) rows[static_cast<std::size_t>(code)] = row;
  table.Assign(rows);
}

}  // namespace tarnis::goods
