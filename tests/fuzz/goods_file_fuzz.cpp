// A goods file image: refused unless sound; once taken, saved again to the same bytes, except the
// bytes behind a name's terminating zero, which the file does not carry.
#include <algorithm>
#include <vector>

#include "fuzz_check.h"
#include "goods/goods_file.h"

using namespace tarnis;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  const auto rows = goods::DecodeGoodsFile(bytes);
  if (!rows) return 0;
  FUZZ_CHECK(size == goods::kGoodsFileSize);

  goods::GoodsTable table;
  table.Assign(*rows);
  const goods::GoodsFileImage saved = goods::EncodeGoodsFile(table);
  FUZZ_CHECK(saved.error.empty());

  std::vector<std::uint8_t> expected(bytes.begin(), bytes.end());
  for (std::size_t record = 0; record < goods::kGoodsRecordCount; ++record) {
    const auto name = expected.begin() + static_cast<std::ptrdiff_t>(record * goods::kGoodsFileRecordSize + 3);
    std::fill(std::find(name, name + 24, 0), name + 24, 0);
  }
  FUZZ_CHECK(saved.bytes == expected);
  return 0;
}
