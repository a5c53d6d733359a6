#pragma once
// One row of the goods table: six text cells, held as Windows-1251 bytes exactly as the page shows
// them, and the conversions between a row and the device's goods record.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/commands.h"

namespace tarnis::goods {

constexpr int kGoodsRecordCount = 1001;  // codes 0..1000, also the device addresses
constexpr int kLastGoodsCode = kGoodsRecordCount - 1;
constexpr std::size_t kGoodsNameMaxLength = 24;
// The device record keeps the barcode in 48 bits.
constexpr std::uint64_t kDeviceBarcodeMax = (std::uint64_t{1} << 48) - 1;
constexpr int kSectionMax = 255;
// What the item editor and CSV import accept: 999 999 999.00 roubles.
constexpr std::uint64_t kPriceLimitKopecks = 99'999'999'900;
// The device record keeps the price in 40 bits.
constexpr std::uint64_t kDevicePriceMaxKopecks = (std::uint64_t{1} << 40) - 1;

enum class GoodsColumn { Code, Name, Font, Barcode, Section, Price };
constexpr int kGoodsColumnCount = 6;

struct GoodsRow {
  std::string code;
  std::string name;
  std::string font;  // the narrow or wide font word
  std::string barcode;
  std::string section;
  std::string price;  // R.KK

  std::string& cell(GoodsColumn column);
  const std::string& cell(GoodsColumn column) const;
  bool operator==(const GoodsRow&) const = default;
};

// The column headings, UTF-8: "Код товара", "Наименование", ...
const char* GoodsColumnTitle(GoodsColumn column);

// The font cell's two words, Windows-1251.
const std::string& NarrowFontWord();
const std::string& WideFontWord();

// code, "", narrow, "0", "0", "0.00": what a fresh or reset table holds.
GoodsRow EmptyGoodsRow(int code);

// Kopecks as roubles, a point and two digits of kopecks: 5 → "0.05", 12345 → "123.45".
std::string PriceText(std::uint64_t kopecks);

// A price cell back to kopecks: the rouble digits (possibly none), then an optional point and
// up to two digits of kopecks ("123.45" → 12345, ".50" → 50, "12" → 1200). Nothing for an
// empty cell, any other character or a value beyond 64 bits.
std::optional<std::uint64_t> PriceKopecks(std::string_view cell);

// A cell of decimal digits only, at most max; nothing otherwise (empty included).
std::optional<std::uint64_t> DecimalCell(std::string_view cell, std::uint64_t max);

// A row filled from a record the device sent (its name field in the device character set).
GoodsRow RowFromDeviceRecord(int code, const link::GoodsFields& record);

// The record a row describes, its name field converted for the device; or the column that
// cannot be sent (a barcode of digits above kDeviceBarcodeMax, which the device would keep as a
// different number; a section that is not a number 0..255; a price that is not a price).
struct DeviceRecordFromRow {
  std::optional<link::GoodsFields> record;
  GoodsColumn bad_column = GoodsColumn::Code;
};
DeviceRecordFromRow DeviceRecordOf(const GoodsRow& row);

}  // namespace tarnis::goods
