#include "goods/goods_csv.h"

#include "link/device_charset.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>

#include "goods/goods_file.h"
#include "goods/goods_item_entry.h"
#include "platform/cp1251_codec.h"

namespace tarnis::goods {
namespace {

constexpr std::array<GoodsColumn, kGoodsColumnCount> kColumns = {GoodsColumn::Code,    GoodsColumn::Name,
                                                                  GoodsColumn::Font,    GoodsColumn::Barcode,
                                                                  GoodsColumn::Section, GoodsColumn::Price};

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string ImportError(const std::string& what) { return "Не удалось импортировать файл: " + what + "."; }

// A UTF-8 text capitalised, for comparing words whatever their letter case.
std::optional<std::string> Capitalised(std::string_view utf8) {
  const auto cp1251 = Utf8ToCp1251(Trimmed(utf8));
  if (!cp1251) return std::nullopt;
  return Cp1251ToUpper(*cp1251);
}

std::string HeaderLine(char separator) {
  std::string header;
  for (const GoodsColumn column : kColumns) {
    if (column != GoodsColumn::Code) header += separator;
    header += GoodsColumnTitle(column);
  }
  return header;
}

// Where each goods column stands in the file, by the header's titles.
struct HeaderColumns {
  std::array<std::size_t, kGoodsColumnCount> position{};
  std::size_t field_count = 0;
  char separator = ';';
  int matched = 0;
  std::string error;
};

HeaderColumns ReadHeader(const CsvRecord& header, char separator) {
  HeaderColumns columns;
  columns.separator = separator;
  columns.field_count = header.fields.size();
  std::array<std::optional<std::size_t>, kGoodsColumnCount> found;
  for (std::size_t i = 0; i < header.fields.size(); ++i) {
    const auto title = Capitalised(header.fields[i]);
    for (const GoodsColumn column : kColumns) {
      auto& place = found[static_cast<std::size_t>(column)];
      if (!title || *title != Capitalised(GoodsColumnTitle(column))) continue;
      if (place && columns.error.empty())
        columns.error = ImportError(CsvPlace(header.line, static_cast<int>(i) + 1) + ": столбец \"" +
                                    GoodsColumnTitle(column) + "\" уже есть в столбце " + std::to_string(*place + 1));
      place = i;
      ++columns.matched;
    }
  }
  for (const GoodsColumn column : kColumns) {
    const auto& place = found[static_cast<std::size_t>(column)];
    if (!place && columns.error.empty())
      columns.error = ImportError("в строке 1 нет столбца \"" + std::string(GoodsColumnTitle(column)) + "\"");
    columns.position[static_cast<std::size_t>(column)] = place.value_or(0);
  }
  return columns;
}

// The separator whose split of the first line names the most goods columns.
HeaderColumns DetectHeader(std::string_view text) {
  HeaderColumns best;
  for (const char separator : kCsvSeparators) {
    const CsvRecords first = SplitCsvRecords(text, separator, 1);
    if (!first.error.empty() || first.records.empty()) continue;
    HeaderColumns columns = ReadHeader(first.records.front(), separator);
    if (columns.matched > best.matched) best = std::move(columns);
  }
  if (best.matched == 0) best.error = ImportError("в строке 1 нет заголовка \"" + HeaderLine(';') + "\"");
  return best;
}

bool IsBlank(const CsvRecord& record) {
  return std::all_of(record.fields.begin(), record.fields.end(),
                     [](const std::string& field) { return Trimmed(field).empty(); });
}

// The price as typed in a spreadsheet: blanks between digit groups dropped, a comma as the point.
std::string PriceWithPoint(std::string_view typed) {
  std::string price;
  for (std::size_t i = 0; i < typed.size(); ++i) {
    const char c = typed[i];
    if (c == ' ' || c == '\t') continue;
    if (typed.substr(i).starts_with("\xC2\xA0")) {  // no-break space
      ++i;
      continue;
    }
    price += c == ',' ? '.' : c;
  }
  return price;
}

// One record's row, or the first problem with it.
struct ParsedRow {
  int code = 0;
  GoodsRow row;
  std::string error;
  std::string warning;  // a name the device will hold otherwise
};

ParsedRow ParseRow(const CsvRecord& record, const HeaderColumns& columns) {
  ParsedRow parsed;
  const auto field = [&](GoodsColumn column) -> const std::string& {
    return record.fields[columns.position[static_cast<std::size_t>(column)]];
  };
  // "строка 3, столбец 2 \"Наименование\": what"
  const auto at = [&](GoodsColumn column, const std::string& what) {
    const int place = static_cast<int>(columns.position[static_cast<std::size_t>(column)]) + 1;
    return CsvPlace(record.line, place) + " \"" + GoodsColumnTitle(column) + "\": " + what;
  };
  const auto fail = [&](GoodsColumn column, const std::string& what) {
    parsed.error = ImportError(at(column, what));
    return parsed;
  };

  const auto code = DecimalCell(Trimmed(field(GoodsColumn::Code)), kLastGoodsCode);
  if (!code) return fail(GoodsColumn::Code, "нужно число от 0 до 1000");
  parsed.code = static_cast<int>(*code);
  parsed.row.code = std::to_string(*code);

  const auto name = Utf8ToCp1251(field(GoodsColumn::Name));
  if (!name) return fail(GoodsColumn::Name, "символ, которого нет в кодировке Windows-1251");
  // A NUL would end the name in the record; any other control character would reach a terminal.
  if (std::any_of(name->begin(), name->end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; }))
    return fail(GoodsColumn::Name, "управляющий символ");
  parsed.row.name = Cp1251ToUpper(*name);
  if (parsed.row.name.size() > kGoodsNameMaxLength) return fail(GoodsColumn::Name, "больше 24 символов");
  if (const std::string held = link::HeldDifferentlyNotice(parsed.row.name); !held.empty())
    parsed.warning = at(GoodsColumn::Name, held);

  const auto font = Capitalised(field(GoodsColumn::Font));
  if (font == Cp1251ToUpper(NarrowFontWord())) parsed.row.font = NarrowFontWord();
  else if (font == Cp1251ToUpper(WideFontWord())) parsed.row.font = WideFontWord();
  else return fail(GoodsColumn::Font, "нужно \"узкий\" или \"широкий\"");

  const std::string_view barcode = Trimmed(field(GoodsColumn::Barcode));
  const auto barcode_number = barcode.empty() ? std::optional<std::uint64_t>(0)
                                              : DecimalCell(barcode, kGoodsFileBarcodeMax);
  if (!barcode_number) return fail(GoodsColumn::Barcode, "нужно число от 0 до " + std::to_string(kGoodsFileBarcodeMax));
  parsed.row.barcode = std::to_string(*barcode_number);

  const auto section = DecimalCell(Trimmed(field(GoodsColumn::Section)), kSectionMax);
  if (!section) return fail(GoodsColumn::Section, "нужно число от 0 до 255");
  parsed.row.section = std::to_string(*section);

  const std::string price = PriceWithPoint(field(GoodsColumn::Price));
  const std::size_t point = price.find('.');
  const PriceEntry entry = NormalisePriceEntry(price);
  if (price.empty() || (point != std::string::npos && price.size() - point - 1 > 2) ||
      entry.status == PriceEntry::Status::NotANumber)
    return fail(GoodsColumn::Price, "нужна цена в рублях с копейками через точку или запятую");
  if (entry.status == PriceEntry::Status::TooLarge) return fail(GoodsColumn::Price, "больше 999999999.00");
  parsed.row.price = PriceText(entry.kopecks);
  return parsed;
}

// A record may carry empty fields past the header's last column (a trailing separator).
bool HasHeaderShape(const CsvRecord& record, const HeaderColumns& columns) {
  if (record.fields.size() < columns.field_count) return false;
  return std::all_of(record.fields.begin() + static_cast<std::ptrdiff_t>(columns.field_count), record.fields.end(),
                     [](const std::string& field) { return Trimmed(field).empty(); });
}

std::string SeparatorName(char separator) { return separator == '\t' ? "табуляцию" : std::string("\"") + separator + "\""; }

}  // namespace

std::string GoodsCsvText(const GoodsTable& table, const CsvFormat& format) {
  const char separator = format.separator;
  std::string text = format.encoding == CsvEncoding::Utf8 && format.byte_order_mark ? "\xEF\xBB\xBF" : "";
  const auto append = [&](std::string_view cp1251) {
    text += CsvField(format.encoding == CsvEncoding::Utf8 ? Cp1251ToUtf8(cp1251) : std::string(cp1251), separator);
  };
  for (const GoodsColumn column : kColumns) {
    if (column != GoodsColumn::Code) text += separator;
    append(*Utf8ToCp1251(GoodsColumnTitle(column)));
  }
  text += "\r\n";
  for (int code = 0; code < kGoodsRecordCount; ++code) {
    const GoodsRow& row = table.row(code);
    text += std::to_string(code);
    for (const GoodsColumn column : kColumns) {
      if (column == GoodsColumn::Code) continue;
      text += separator;
      append(row.cell(column));
    }
    text += "\r\n";
  }
  return text;
}

GoodsCsvImport ParseGoodsCsv(std::string_view bytes) {
  const std::string text = CsvTextAsUtf8(bytes);
  GoodsCsvImport import;
  const HeaderColumns columns = DetectHeader(text);
  if (!columns.error.empty()) {
    import.error = columns.error;
    return import;
  }
  CsvRecords split = SplitCsvRecords(text, columns.separator);
  if (!split.error.empty()) {
    import.error = std::move(split.error);
    return import;
  }
  std::map<int, int> line_of_code;
  for (std::size_t i = 1; i < split.records.size(); ++i) {
    const CsvRecord& record = split.records[i];
    if (IsBlank(record)) continue;
    ParsedRow parsed;
    if (!HasHeaderShape(record, columns)) {
      parsed.error = ImportError("в строке " + std::to_string(record.line) + " полей " +
                                 std::to_string(record.fields.size()) + " через " + SeparatorName(columns.separator) +
                                 ", а в заголовке " + std::to_string(columns.field_count));
    } else {
      parsed = ParseRow(record, columns);
    }
    if (parsed.error.empty()) {
      const auto [earlier, fresh] = line_of_code.emplace(parsed.code, record.line);
      if (!fresh)
        parsed.error = ImportError(CsvPlace(record.line, static_cast<int>(columns.position[0]) + 1) +
                                   " \"Код товара\": код " + std::to_string(parsed.code) + " уже был в строке " +
                                   std::to_string(earlier->second));
    }
    if (!parsed.error.empty()) {
      import.rows.clear();
      import.error = std::move(parsed.error);
      return import;
    }
    if (!parsed.warning.empty()) import.warnings.push_back(std::move(parsed.warning));
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
