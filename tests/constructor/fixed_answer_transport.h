#pragma once
// A transport that answers every blank request with one chosen answer, for answers the emulated
// device never gives (a blank number other than the one asked for).
#include <algorithm>
#include <array>
#include <vector>

#include "link/frame.h"
#include "link/transport.h"

namespace tarnis::test {

class FixedBlankAnswerTransport : public link::Transport {
 public:
  // The answer to a blank read: number, variant, requisite, extra line.
  explicit FixedBlankAnswerTransport(std::array<std::uint8_t, 4> fields)
      : answer_{link::kAnswerStart, link::AnswerCode(link::Command::Blank), 11, 0, fields[0], fields[1], fields[2],
                fields[3], 0, 0, 0} {}

  bool CheckPort(const link::LinkSettings&) override { return true; }
  link::TransportResult Exchange(const link::LinkSettings&, std::span<const std::uint8_t> request,
                                 std::span<std::uint8_t> answer) override {
    requests.emplace_back(request.begin(), request.end());
    const std::size_t size = std::min(answer.size(), answer_.size());
    std::copy_n(answer_.begin(), size, answer.begin());
    return link::TransportResult::Received(size);
  }

  std::vector<std::vector<std::uint8_t>> requests;

 private:
  std::vector<std::uint8_t> answer_;
};

}  // namespace tarnis::test
