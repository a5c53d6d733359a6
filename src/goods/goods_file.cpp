#include "goods/goods_file.h"

#include <algorithm>
#include <limits>

namespace tarnis::goods {
namespace {

constexpr std::size_t kCodeOffset = 0;
constexpr std::size_t kNameOffset = 2;
constexpr std::size_t kNameFieldSize = 25;
constexpr std::size_t kBarcodeOffset = 27;
constexpr std::size_t kSectionOffset = 35;
constexpr std::size_t kPriceOffset = 36;

void PutLittleEndian(std::span<std::uint8_t> record, std::size_t offset, std::uint64_t value, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) record[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint64_t GetLittleEndian(std::span<const std::uint8_t> record, std::size_t offset, std::size_t width) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < width; ++i) value |= std::uint64_t{record[offset + i]} << (8 * i);
  return value;
}

// An empty cell counts as 0; nothing for one that is not a number up to max.
std::optional<std::uint64_t> NumberOrZero(const std::string& cell, std::uint64_t max) {
  return cell.empty() ? std::optional<std::uint64_t>(0) : DecimalCell(cell, max);
}

std::string RowError(int row, GoodsColumn column, const std::string& what) {
  return "Не удалось сохранить файл: в строке " + std::to_string(row) + " поле \"" + GoodsColumnTitle(column) +
         "\" " + what + "...";
}

}  // namespace

GoodsFileImage EncodeGoodsFile(const GoodsTable& table) {
  GoodsFileImage image;
  std::vector<std::uint8_t> bytes(kGoodsFileSize, 0);
  for (int code = 0; code < kGoodsRecordCount; ++code) {
    const GoodsRow& row = table.row(code);
    const int grid_row = code + 1;
    const auto number = NumberOrZero(row.code, std::numeric_limits<std::uint16_t>::max());
    if (!number) return {{}, RowError(grid_row, GoodsColumn::Code, "не является числом от 0 до 65535")};
    const auto barcode = NumberOrZero(row.barcode, kGoodsFileBarcodeMax);
    if (!barcode) return {{}, RowError(grid_row, GoodsColumn::Barcode, "не является числом")};
    const auto section = NumberOrZero(row.section, kSectionMax);
    if (!section) return {{}, RowError(grid_row, GoodsColumn::Section, "не является числом от 0 до 255")};
    const auto price = row.price.empty() ? std::optional<std::uint64_t>(0) : PriceKopecks(row.price);
    if (!price) return {{}, RowError(grid_row, GoodsColumn::Price, "не является ценой")};
    if (*price > kGoodsFilePriceMaxKopecks)
      return {{}, RowError(grid_row, GoodsColumn::Price, "больше 21474836.47")};

    const std::span<std::uint8_t> record =
        std::span(bytes).subspan(static_cast<std::size_t>(code) * kGoodsFileRecordSize, kGoodsFileRecordSize);
    PutLittleEndian(record, kCodeOffset, *number, 2);
    record[kNameOffset] = row.font == WideFontWord() ? '1' : '0';
    const std::size_t name_length = std::min(row.name.size(), kGoodsNameMaxLength);
    std::copy_n(row.name.begin(), name_length, record.begin() + kNameOffset + 1);
    PutLittleEndian(record, kBarcodeOffset, *barcode, 8);
    record[kSectionOffset] = static_cast<std::uint8_t>(*section);
    PutLittleEndian(record, kPriceOffset, *price, 4);
  }
  image.bytes = std::move(bytes);
  return image;
}

std::optional<GoodsRows> DecodeGoodsFile(std::span<const std::uint8_t> bytes) {
  if (bytes.size() != kGoodsFileSize) return std::nullopt;
  GoodsRows rows;
  for (std::size_t code = 0; code < rows.size(); ++code) {
    const auto record = bytes.subspan(code * kGoodsFileRecordSize, kGoodsFileRecordSize);
    const std::uint8_t flag = record[kNameOffset];
    const auto barcode = static_cast<std::int64_t>(GetLittleEndian(record, kBarcodeOffset, 8));
    const auto price = static_cast<std::int32_t>(GetLittleEndian(record, kPriceOffset, 4));
    if ((flag != '0' && flag != '1') || barcode < 0 || price < 0) return std::nullopt;

    const auto name_begin = record.begin() + kNameOffset + 1;
    const auto name_end = std::find(name_begin, record.begin() + kNameOffset + kNameFieldSize, 0);
    GoodsRow& row = rows[code];
    row.code = std::to_string(GetLittleEndian(record, kCodeOffset, 2));
    row.name.assign(name_begin, name_end);
    row.font = flag == '1' ? WideFontWord() : NarrowFontWord();
    row.barcode = std::to_string(barcode);
    row.section = std::to_string(record[kSectionOffset]);
    row.price = PriceText(static_cast<std::uint64_t>(price));
  }
  return rows;
}

}  // namespace tarnis::goods
