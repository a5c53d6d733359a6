#include "link/link.h"

#include <algorithm>
#include <array>

#include "link/device_errors.h"

namespace tarnis::link {
namespace {

Answer Failed(LinkResult result, std::string message, std::vector<std::uint8_t> bytes = {}) {
  Answer answer;
  answer.status.result = result;
  answer.status.message = std::move(message);
  answer.bytes = std::move(bytes);
  return answer;
}

}  // namespace

Answer ValidateAnswer(Command command, std::vector<std::uint8_t> bytes) {
  if (bytes.empty()) return Failed(LinkResult::NoAnswer, LinkResultMessage(LinkResult::NoAnswer));
  const std::size_t expected = AnswerSize(command);
  const bool length_checked = command != Command::Status;
  if (bytes.size() < kAnswerHeaderSize || bytes[0] != kAnswerStart ||
      (length_checked && bytes[2] != bytes.size()))
    return Failed(LinkResult::BadStart, LinkResultMessage(LinkResult::BadStart), std::move(bytes));
  if (bytes[1] != AnswerCode(command))
    return Failed(LinkResult::BadCode, LinkResultMessage(LinkResult::BadCode), std::move(bytes));

  Answer answer;
  answer.header_passed = true;
  answer.whole_frame = bytes.size() == expected && TrailerMatches(bytes);
  answer.status.error_code = bytes[3];
  if (bytes[3] != 0) {
    answer.status.result = LinkResult::DeviceError;
    answer.status.message = DeviceErrorText(bytes[3]);
  } else if (bytes.size() < expected) {
    // A consistent but short answer holds no fields to decode.
    answer.status.result = LinkResult::BadStart;
    answer.status.message = LinkResultMessage(LinkResult::BadStart);
  }
  answer.bytes = std::move(bytes);
  return answer;
}

Answer Link::Exchange(Command command, std::span<const std::uint8_t> payload) {
  const auto factory_number = ParseFactoryNumber(settings_.factory_number);
  if (!factory_number) return Failed(LinkResult::BadSettings, kBadFactoryNumberMessage);

  const auto request = BuildRequest(command, *factory_number, payload);
  const int retries = command == Command::Inn ? 0 : std::clamp(settings_.retries, 0, kMaxRetries);
  for (retry_ = 0;; ++retry_) {
    Answer answer = ExchangeOnce(command, request);
    const LinkResult result = answer.status.result;
    const bool line_failure = result == LinkResult::NoAnswer || result == LinkResult::BadStart ||
                              result == LinkResult::BadCode || DamagedOnTheLine(answer.status);
    if (!line_failure || !answer.transport.opened || answer.transport.line_lost || retry_ >= retries) {
      retry_ = 0;
      return answer;
    }
  }
}

Answer Link::ExchangeOnce(Command command, std::span<const std::uint8_t> request) {
  if (observer_) observer_(TraceDirection::Sent, request);

  std::array<std::uint8_t, kFrameBufferSize> buffer{};
  const std::size_t expected = AnswerSize(command);
  last_transport_ = transport_.Exchange(settings_, request, std::span(buffer).first(expected));
  TransportResult& outcome = last_transport_;
  if (!outcome.opened) outcome.received = 0;
  outcome.received = std::min(outcome.received, expected);
  std::string reason;
  if (!outcome.opened || outcome.line_lost) {
    reason = explainer_ ? explainer_(settings_, outcome) : outcome.open_failure;
    if (!outcome.opened) outcome.open_failure = reason;
  }
  std::vector<std::uint8_t> bytes(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(outcome.received));
  if (observer_) observer_(TraceDirection::Received, bytes);
  Answer answer = ValidateAnswer(command, std::move(bytes));
  answer.transport = outcome;
  // A device's own refusal says all there is; any other failure gets the reason on a line of its own.
  if (!reason.empty() && !answer.status.ok() && answer.status.result != LinkResult::DeviceError)
    answer.status.message += "\n" + reason;
  return answer;
}

}  // namespace tarnis::link
