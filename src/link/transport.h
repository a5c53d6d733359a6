#pragma once
// How one exchange reaches the device. The program uses the serial port; the transport is an
// interface so that tools can observe or substitute the line without touching the protocol.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <utility>

#include "link/link_settings.h"

namespace tarnis::link {

// How far one exchange got. A port that did not open is kept apart from a device that did not
// answer: both fail the request the same way, but the user and the exchange log are told why.
struct TransportResult {
  bool opened = true;         // false: the port or connection could not be opened; nothing was sent
  int open_errno = 0;         // the system's reason when it did not open (0 when not known)
  std::string open_failure;   // UTF-8, the transport's own words for it; may be empty
  std::size_t received = 0;   // bytes of the answer that arrived
  bool line_lost = false;     // the line went away (hang-up, unplug, closed connection) meanwhile

  static TransportResult NotOpened(int error, std::string why = {}) {
    TransportResult result;
    result.opened = false;
    result.open_errno = error;
    result.open_failure = std::move(why);
    return result;
  }
  static TransportResult Received(std::size_t count, bool lost = false) {
    TransportResult result;
    result.received = count;
    result.line_lost = lost;
    return result;
  }
};

class Transport {
 public:
  virtual ~Transport() = default;
  // Test-opens the chosen port and closes it again.
  virtual bool CheckPort(const LinkSettings& settings) = 0;
  // Opens and configures the port, writes the request, reads up to answer.size() bytes within
  // the settings' time-outs and closes the port.
  virtual TransportResult Exchange(const LinkSettings& settings,
                                              std::span<const std::uint8_t> request,
                                              std::span<std::uint8_t> answer) = 0;
  // While held (one device operation is under way), a transport whose opening is costly may keep
  // its connection between exchanges; released, nothing is kept. A serial port is never kept.
  virtual void Hold(bool) {}
};

}  // namespace tarnis::link
