// The answer to a read of blank 3: stored only from a whole Ok answer, into the form the answer
// names when that is 1..8, its programmed flag untouched; every other form stays as it was.
#include "constructor/blank_transfer.h"
#include "fuzz_check.h"
#include "fuzzed_answer.h"
#include "ui/silent_user_interface.h"

using namespace tarnis;

namespace {

constructor::BlankFormTable StartTable() {
  constructor::BlankFormTable table;
  for (int form = 1; form <= constructor::kFormCount; ++form)
    *table.Form(form) = {static_cast<std::uint8_t>(form % 2), static_cast<std::uint8_t>(form % 7),
                         static_cast<std::uint8_t>(form), static_cast<std::uint8_t>(form % 4)};
  return table;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzedAnswer answer(link::Command::Blank, data, size);
  ui::SilentUserInterface ui;
  constructor::BlankFormTable table = StartTable();
  constructor::BlankFormTable expected = table;
  int shown = 0;
  const auto outcome = constructor::ReadSelectedBlank(answer.link(), ui, table, 3,
                                                      [&](int form, const link::BlankFields&) { shown = form; });

  const auto bytes = answer.arrived();
  const bool ok = bytes.size() == link::AnswerSize(link::Command::Blank) && answer.HeaderPasses() && bytes[3] == 0;
  if (ok && bytes[4] >= 1 && bytes[4] <= constructor::kFormCount) {
    constructor::BlankFormEntry& entry = *expected.Form(bytes[4]);
    entry.variant = bytes[5];
    entry.requisite = bytes[6];
    entry.typeSk = bytes[7];
    FUZZ_CHECK(outcome == constructor::TransferOutcome::Done);
    FUZZ_CHECK(shown == bytes[4]);
  } else {
    FUZZ_CHECK(outcome == constructor::TransferOutcome::Failed);
    FUZZ_CHECK(shown == 0);
  }
  FUZZ_CHECK(table == expected);

  // The same answer through the bare command, in both modes.
  for (const link::Mode mode : {link::Mode::Read, link::Mode::Write}) {
    fuzz::FuzzedAnswer again(link::Command::Blank, data, size);
    const link::BlankFields sent{3, 1, 2, 3};
    const link::BlankReply reply = link::ExchangeBlank(again.link(), mode, sent);
    again.CheckReply(reply);
    const bool decoded = reply.ok() && mode == link::Mode::Read;
    FUZZ_CHECK(reply.fields.number == (decoded ? bytes[4] : sent.number));
    FUZZ_CHECK(reply.fields.variant == (decoded ? bytes[5] : sent.variant));
    FUZZ_CHECK(reply.fields.requisite == (decoded ? bytes[6] : sent.requisite));
    FUZZ_CHECK(reply.fields.type_sk == (decoded ? bytes[7] : sent.type_sk));
  }
  return 0;
}
