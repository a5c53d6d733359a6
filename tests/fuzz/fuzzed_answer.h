#pragma once
// The fuzz input as the device's answer to one fixed request: the link reads at most the
// command's answer size of it, exactly as from a serial line.
#include <cstdint>
#include <span>
#include <vector>

#include "fake_transport.h"
#include "link/link.h"

namespace tarnis::fuzz {

class FuzzedAnswer {
 public:
  FuzzedAnswer(link::Command command, const std::uint8_t* data, std::size_t size);

  link::Link& link() { return link_; }
  // The bytes the link may see: the input cut to the command's answer size.
  std::span<const std::uint8_t> arrived() const { return arrived_; }
  // True when the answer passed the start, length and code checks, so its error byte counts.
  bool HeaderPasses() const;
  // Checks the reply against the protocol's order of checks: one request sent, the result the
  // first failing check gives, the device error code once the header passed, a message exactly
  // when the result is not Ok.
  void CheckReply(const link::CommandResult& reply) const;

 private:
  link::LinkResult ExpectedResult() const;

  link::Command command_;
  std::vector<std::uint8_t> arrived_;
  test::FakeTransport transport_;
  link::Link link_{transport_};
};

}  // namespace tarnis::fuzz
