#include "fuzzed_answer.h"

#include <algorithm>

#include "fuzz_check.h"

namespace tarnis::fuzz {

FuzzedAnswer::FuzzedAnswer(link::Command command, const std::uint8_t* data, std::size_t size)
    : command_(command), arrived_(data, data + std::min(size, link::AnswerSize(command))) {
  transport_.answer = std::vector<std::uint8_t>(data, data + size);
  link_.settings().factory_number = std::string(1, '1');
}

bool FuzzedAnswer::HeaderPasses() const {
  const auto& b = arrived_;
  const bool length_checked = command_ != link::Command::Status;
  return b.size() >= link::kAnswerHeaderSize && b[0] == link::kAnswerStart &&
         (!length_checked || b[2] == b.size()) && b[1] == link::AnswerCode(command_);
}

link::LinkResult FuzzedAnswer::ExpectedResult() const {
  if (arrived_.empty()) return link::LinkResult::NoAnswer;
  if (!HeaderPasses()) {
    const bool start_passes = arrived_.size() >= link::kAnswerHeaderSize && arrived_[0] == link::kAnswerStart &&
                              (command_ == link::Command::Status || arrived_[2] == arrived_.size());
    return start_passes ? link::LinkResult::BadCode : link::LinkResult::BadStart;
  }
  if (arrived_[3] != 0) return link::LinkResult::DeviceError;
  // Only a whole answer holds the fields the command decodes.
  return arrived_.size() == link::AnswerSize(command_) ? link::LinkResult::Ok : link::LinkResult::BadStart;
}

void FuzzedAnswer::CheckReply(const link::CommandResult& reply) const {
  FUZZ_CHECK(transport_.requests.size() == 1);
  FUZZ_CHECK(transport_.requests[0].size() == link::RequestSize(command_));
  FUZZ_CHECK(reply.result == ExpectedResult());
  FUZZ_CHECK(reply.ok() == reply.message.empty());
  FUZZ_CHECK(reply.error_code == (HeaderPasses() ? arrived_[3] : 0));
}

}  // namespace tarnis::fuzz
