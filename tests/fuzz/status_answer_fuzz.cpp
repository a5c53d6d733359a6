// The answer to the status request: any length byte is taken, but fields come only from a whole
// Ok answer and each from its own bytes.
#include "fuzz_check.h"
#include "fuzzed_answer.h"
#include "link/commands.h"

using namespace tarnis;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzedAnswer answer(link::Command::Status, data, size);
  const link::StatusReply reply = link::RequestStatus(answer.link());
  answer.CheckReply(reply);
  const auto b = answer.arrived();
  const auto& f = reply.fields;
  if (!reply.ok()) {
    const link::StatusFields none;
    FUZZ_CHECK(f.mode == none.mode && f.document_number == none.document_number && f.inn == none.inn &&
               f.factory_number == none.factory_number && f.minutes == none.minutes);
    return 0;
  }
  FUZZ_CHECK(b.size() == link::AnswerSize(link::Command::Status));
  FUZZ_CHECK(f.mode == b[4] && f.flash == b[5] && f.group == b[6] && f.battery == b[7]);
  FUZZ_CHECK(f.document_number == (b[8] | b[9] << 8) && f.document_state == b[10]);
  FUZZ_CHECK(f.day == b[11] && f.month == b[12] && f.year == b[13] && f.hours == b[14] && f.minutes == b[15]);
  FUZZ_CHECK(f.factory_number == link::GetLittleEndian(b, 16, 4) && f.inn == link::GetLittleEndian(b, 22, 6));
  return 0;
}
