// The answer to a read of one goods record: the row is filled only from a whole Ok answer and
// holds exactly the record's bytes; on any failure it is left blank, and no other row moves.
#include <algorithm>
#include <string>

#include "fuzz_check.h"
#include "fuzzed_answer.h"
#include "goods/goods_transfer.h"
#include "link/commands.h"
#include "ui/silent_user_interface.h"

using namespace tarnis;

namespace {

constexpr int kCode = 17;

std::uint64_t LittleEndian(std::span<const std::uint8_t> bytes, std::size_t offset, std::size_t width) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < width; ++i) value |= std::uint64_t{bytes[offset + i]} << (8 * i);
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzedAnswer answer(link::Command::Goods, data, size);
  ui::SilentUserInterface ui;
  static const goods::GoodsTable start = [] {
    goods::GoodsTable filled;
    for (const int code : {kCode - 1, kCode, kCode + 1})
      filled.SetRow(code, {std::to_string(code), "0OLD", goods::WideFontWord(), "42", "3", "1.50"});
    return filled;
  }();
  goods::GoodsTable table = start;
  goods::GoodsTable expected = start;

  goods::GoodsScope scope;
  scope.kind = goods::GoodsScope::Kind::Selected;
  scope.selected_code = kCode;
  const auto result = goods::ReadGoods(answer.link(), ui, table, scope);

  const auto bytes = answer.arrived();
  const bool ok = bytes.size() == link::AnswerSize(link::Command::Goods) && answer.HeaderPasses() && bytes[3] == 0;
  if (ok) {
    const auto name = bytes.subspan(6, link::kDeviceTextSize);
    link::GoodsFields fields;
    fields.name.assign(name.begin(), std::find(name.begin(), name.end(), std::uint8_t{0}));
    fields.barcode = std::to_string(LittleEndian(bytes, 31, 6));
    fields.price = LittleEndian(bytes, 37, 5);
    fields.section = bytes[42];
    expected.SetRow(kCode, goods::RowFromDeviceRecord(kCode, fields));
    FUZZ_CHECK(result.outcome == goods::TransferOutcome::Done);
  } else {
    expected.SetRow(kCode, {"", "", goods::NarrowFontWord(), "", "", ""});
    FUZZ_CHECK(result.outcome == goods::TransferOutcome::Failed);
  }
  for (int code = 0; code < goods::kGoodsRecordCount; ++code) FUZZ_CHECK(table.row(code) == expected.row(code));

  fuzz::FuzzedAnswer again(link::Command::Goods, data, size);
  const link::GoodsFields sent{"0abc", "5", 1, 2};
  const link::GoodsReply reply = link::ExchangeGoods(again.link(), link::Mode::Write, kCode, sent);
  again.CheckReply(reply);
  FUZZ_CHECK(reply.fields.name == sent.name && reply.fields.barcode == sent.barcode &&
             reply.fields.section == sent.section && reply.fields.price == sent.price);
  return 0;
}
