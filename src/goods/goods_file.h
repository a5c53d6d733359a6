#pragma once
// The goods file (*.base): 1001 records of 40 bytes in row order, no header, little-endian.
//   0  2  code, unsigned
//   2 25  font flag "0"/"1", then the name in Windows-1251, zero-padded (24 characters: no zero)
//  27  8  barcode, signed
//  35  1  section
//  36  4  price in kopecks, signed
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "goods/goods_table.h"

namespace tarnis::goods {

constexpr std::size_t kGoodsFileRecordSize = 40;
constexpr std::size_t kGoodsFileSize = kGoodsFileRecordSize * kGoodsRecordCount;  // 40 040
constexpr std::uint64_t kGoodsFilePriceMaxKopecks = 2'147'483'647;
constexpr std::uint64_t kGoodsFileBarcodeMax = 9'223'372'036'854'775'807;  // signed 64 bits

using GoodsRows = std::array<GoodsRow, kGoodsRecordCount>;

// The file image of a table, or (bytes empty) the UTF-8 reason it cannot be stored, naming the
// row and the field: a cell that is not a number or a price beyond the file's 32 bits.
struct GoodsFileImage {
  std::vector<std::uint8_t> bytes;
  std::string error;
};
GoodsFileImage EncodeGoodsFile(const GoodsTable& table);

// The rows a file image describes, every cell set; nothing unless the whole image is sound:
// exactly 40 040 bytes, every font flag "0" or "1", no negative barcode or price.
std::optional<GoodsRows> DecodeGoodsFile(std::span<const std::uint8_t> bytes);

}  // namespace tarnis::goods
