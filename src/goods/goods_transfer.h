#pragma once
// The goods page's device operations: reading and writing one record, a range or all of them, and
// erasing the device's base. Each holds the link for its whole run, reports through the
// UserInterface and never throws; a run of many records shows the wait window and the progress
// bar and asks after each failure whether to go on.
#include <string>
#include <vector>

#include "goods/goods_scope.h"
#include "goods/goods_table.h"
#include "link/link.h"
#include "ui/user_interface.h"

namespace tarnis::goods {

enum class TransferOutcome {
  Done,     // ran to its end and said so
  Stopped,  // the user answered No to a failure; no closing notice
  Failed,   // a single-record exchange failed; the user was told
  Refused,  // nothing sent: a range error, a row that cannot be sent, or erasing not confirmed
  Busy,     // another device operation holds the link; nothing sent, nothing shown
};

struct TransferResult {
  TransferOutcome outcome = TransferOutcome::Done;
  RangeField focus = RangeField::None;  // after a range error: the field to focus
};

// Selected: blanks the row, then fills it from the device, or leaves it blank on failure.
// Range/All: each row from the device in ascending order; a failure the user goes on from leaves
// the row as an empty record.
TransferResult ReadGoods(link::Link& link, ui::UserInterface& ui, GoodsTable& table, const GoodsScope& scope);

// Sends the rows of the scope; a row whose section or price cannot be sent is a failure of that
// record, named by its row and field, and nothing is sent for it. Each record written is marked on
// the device, each failed one not written. Changed sends the records edited or not written
// ("Изменений нет." when there are none) and closes with "Записано изменений: N.". A run the user
// stops leaves the records not reached not written and says how far it got. With written, the
// codes the device took, in order.
TransferResult WriteGoods(link::Link& link, ui::UserInterface& ui, GoodsTable& table, const GoodsScope& scope,
                          std::vector<int>* written = nullptr);

// Reads back the records of codes without a prompt; the codes whose read failed or whose record
// differs from what the row describes. A busy link counts every code as failed.
std::vector<int> VerifyGoods(link::Link& link, const GoodsTable& table, const std::vector<int>& codes);

// After a confirmation, writes an empty record to every code 0..1000. The table is not touched.
TransferOutcome EraseDeviceGoods(link::Link& link, ui::UserInterface& ui);

// The wait-window step texts and the closing notices, for the callers that show them.
inline constexpr const char* kReadingGoodsStep = "Выгрузка товаров...";
inline constexpr const char* kWritingGoodsStep = "Загрузка товаров...";

}  // namespace tarnis::goods
