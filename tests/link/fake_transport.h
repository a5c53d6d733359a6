#pragma once
// A transport that answers every exchange with prepared bytes and keeps what was sent.
#include <algorithm>
#include <cerrno>
#include <vector>

#include "link/transport.h"

namespace tarnis::test {

class FakeTransport : public link::Transport {
 public:
  std::vector<std::uint8_t> answer;  // cut to what the link reads
  bool port_opens = true;
  int open_errno = ENOENT;  // why it does not open
  bool line_lost = false;   // the line goes away after the answer's bytes
  std::vector<std::vector<std::uint8_t>> requests;

  bool CheckPort(const link::LinkSettings&) override { return port_opens; }
  link::TransportResult Exchange(const link::LinkSettings&, std::span<const std::uint8_t> request,
                                 std::span<std::uint8_t> buffer) override {
    requests.emplace_back(request.begin(), request.end());
    if (!port_opens) return link::TransportResult::NotOpened(open_errno);
    const std::size_t count = std::min(buffer.size(), answer.size());
    std::copy_n(answer.begin(), count, buffer.begin());
    return link::TransportResult::Received(count, line_lost);
  }
};

}  // namespace tarnis::test
