// A CSV text: refused with a reason, or taken; what was taken, exported and imported again gives
// the same table, and the export is then a fixed point.
#include <set>
#include <string_view>

#include "fuzz_check.h"
#include "goods/goods_csv.h"

using namespace tarnis;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const goods::GoodsCsvImport import = goods::ParseGoodsCsv(text);
  if (!import.ok()) {
    FUZZ_CHECK(import.rows.empty());
    return 0;
  }
  std::set<int> codes;
  for (const auto& [code, row] : import.rows) {
    FUZZ_CHECK(code >= 0 && code < goods::kGoodsRecordCount);
    FUZZ_CHECK(codes.insert(code).second);
  }

  goods::GoodsTable table;
  goods::ApplyGoodsCsv(table, import);
  const std::string exported = goods::GoodsCsvText(table);
  const goods::GoodsCsvImport again = goods::ParseGoodsCsv(exported);
  FUZZ_CHECK(again.ok());
  FUZZ_CHECK(again.rows.size() == static_cast<std::size_t>(goods::kGoodsRecordCount));
  goods::GoodsTable reloaded;
  goods::ApplyGoodsCsv(reloaded, again);
  for (int code = 0; code < goods::kGoodsRecordCount; ++code) FUZZ_CHECK(reloaded.row(code) == table.row(code));
  FUZZ_CHECK(goods::GoodsCsvText(reloaded) == exported);
  return 0;
}
