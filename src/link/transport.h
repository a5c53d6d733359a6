#pragma once
// How one exchange reaches the device. The program uses the serial port; the transport is an
// interface so that tools can observe or substitute the line without touching the protocol.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "link/link_settings.h"

namespace tarnis::link {

class Transport {
 public:
  virtual ~Transport() = default;
  // Test-opens the chosen port and closes it again.
  virtual bool CheckPort(const LinkSettings& settings) = 0;
  // Opens and configures the port, writes the request, reads up to answer.size() bytes within
  // the settings' time-outs and closes the port. Nothing when the port could not be opened.
  virtual std::optional<std::size_t> Exchange(const LinkSettings& settings,
                                              std::span<const std::uint8_t> request,
                                              std::span<std::uint8_t> answer) = 0;
};

}  // namespace tarnis::link
