#include "goods/goods_row.h"

#include <array>

#include "link/device_charset.h"
#include "platform/cp1251_codec.h"

namespace tarnis::goods {
namespace {

std::string Cp1251Literal(std::string_view utf8) { return Utf8ToCp1251(utf8).value_or(std::string()); }

constexpr char kNarrowFlag = '0';
constexpr char kWideFlag = '1';

}  // namespace

std::string& GoodsRow::cell(GoodsColumn column) {
  return const_cast<std::string&>(static_cast<const GoodsRow&>(*this).cell(column));
}

const std::string& GoodsRow::cell(GoodsColumn column) const {
  switch (column) {
    case GoodsColumn::Code: return code;
    case GoodsColumn::Name: return name;
    case GoodsColumn::Font: return font;
    case GoodsColumn::Barcode: return barcode;
    case GoodsColumn::Section: return section;
    case GoodsColumn::Price: return price;
  }
  return code;
}

const char* GoodsColumnTitle(GoodsColumn column) {
  static constexpr std::array<const char*, kGoodsColumnCount> kTitles = {
      "Код товара", "Наименование", "Тип. шрифта", "Штрих-код", "Секция", "Цена"};
  return kTitles[static_cast<std::size_t>(column)];
}

const std::string& NarrowFontWord() {
  static const std::string word = Cp1251Literal("узкий");
  return word;
}

const std::string& WideFontWord() {
  static const std::string word = Cp1251Literal("широкий");
  return word;
}

GoodsRow EmptyGoodsRow(int code) {
  return {std::to_string(code), "", NarrowFontWord(), "0", "0", "0.00"};
}

std::string PriceText(std::uint64_t kopecks) {
  const unsigned cents = static_cast<unsigned>(kopecks % 100);
  std::string text = std::to_string(kopecks / 100) + ".";
  text += static_cast<char>('0' + cents / 10);
  text += static_cast<char>('0' + cents % 10);
  return text;
}

std::optional<std::uint64_t> DecimalCell(std::string_view cell, std::uint64_t max) {
  if (cell.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : cell) {
    if (c < '0' || c > '9') return std::nullopt;
    const unsigned digit = static_cast<unsigned>(c - '0');
    if (value > (max - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

std::optional<std::uint64_t> PriceKopecks(std::string_view cell) {
  const std::size_t point = cell.find('.');
  const std::string_view roubles = cell.substr(0, point);
  std::string kopecks = point == std::string_view::npos ? "" : std::string(cell.substr(point + 1));
  if (roubles.empty() && kopecks.empty()) return std::nullopt;
  if (kopecks.size() > 2) return std::nullopt;
  kopecks.resize(2, '0');
  constexpr std::uint64_t kMax = ~std::uint64_t{0};
  const auto whole = roubles.empty() ? std::optional<std::uint64_t>(0) : DecimalCell(roubles, kMax / 100);
  const auto part = DecimalCell(kopecks, 99);
  if (!whole || !part) return std::nullopt;
  return *whole * 100 + *part;
}

GoodsRow RowFromDeviceRecord(int code, const link::GoodsFields& record) {
  const std::string decoded = link::FromDeviceText(record.name);
  GoodsRow row;
  row.code = std::to_string(code);
  row.name = decoded.empty() ? "" : decoded.substr(1);
  row.font = !decoded.empty() && decoded.front() == kWideFlag ? WideFontWord() : NarrowFontWord();
  row.barcode = record.barcode;
  row.section = std::to_string(record.section);
  row.price = PriceText(record.price);
  return row;
}

DeviceRecordFromRow DeviceRecordOf(const GoodsRow& row) {
  const bool digits = !row.barcode.empty() && row.barcode.find_first_not_of("0123456789") == std::string::npos;
  if (digits && !DecimalCell(row.barcode, kDeviceBarcodeMax)) return {std::nullopt, GoodsColumn::Barcode};
  const auto section = DecimalCell(row.section, kSectionMax);
  if (!section) return {std::nullopt, GoodsColumn::Section};
  const auto price = PriceKopecks(row.price);
  if (!price || *price > kDevicePriceMaxKopecks) return {std::nullopt, GoodsColumn::Price};
  link::GoodsFields record;
  const char flag = row.font == WideFontWord() ? kWideFlag : kNarrowFlag;
  record.name = link::ToDeviceText(flag + row.name.substr(0, kGoodsNameMaxLength));
  record.barcode = row.barcode;
  record.section = static_cast<std::uint8_t>(*section);
  record.price = *price;
  return {record, GoodsColumn::Code};
}

}  // namespace tarnis::goods
