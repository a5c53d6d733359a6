// The answer to the taxpayer-number request: classified in the protocol's order, never Ok
// unless the whole answer arrived.
#include "fuzz_check.h"
#include "fuzzed_answer.h"
#include "link/commands.h"

using namespace tarnis;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::FuzzedAnswer answer(link::Command::Inn, data, size);
  const link::CommandResult reply = link::ProgramInn(answer.link(), {123, 26, 12, 9, 2, "7707083893"});
  answer.CheckReply(reply);
  FUZZ_CHECK(!reply.ok() || answer.arrived().size() == link::AnswerSize(link::Command::Inn));
  return 0;
}
