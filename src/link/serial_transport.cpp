#include "link/serial_transport.h"

#include "platform/port_names.h"
#include "platform/serial_port.h"

namespace tarnis::link {

std::optional<std::string> SerialTransport::PortPath(const LinkSettings& settings) {
  if (settings.port_path) {
    if (settings.port_path->empty()) return std::nullopt;
    return settings.port_path;
  }
  return ResolvePortName(settings.port_name);
}

bool SerialTransport::CheckPort(const LinkSettings& settings) {
  const auto path = PortPath(settings);
  SerialPort port;
  return path && port.Open(*path);
}

std::optional<std::size_t> SerialTransport::Exchange(const LinkSettings& settings,
                                                     std::span<const std::uint8_t> request,
                                                     std::span<std::uint8_t> answer) {
  const auto path = PortPath(settings);
  SerialPort port;
  if (!path || !port.Open(*path) || !port.Configure(settings.baud_rate)) return std::nullopt;
  // A request that did not go out gets no answer: waiting for one would only cost the time-out.
  if (!port.Write(request)) return 0;
  return port.Read(answer, ReadTimeouts{settings.inter_byte_timeout_ms, settings.total_timeout_ms});
}

}  // namespace tarnis::link
