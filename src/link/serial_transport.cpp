#include "link/serial_transport.h"

#include "platform/port_names.h"
#include "platform/serial_port.h"

namespace tarnis::link {

bool SerialTransport::CheckPort(const LinkSettings& settings) {
  const auto path = ResolvePortName(settings.port_name);
  SerialPort port;
  return path && port.Open(*path);
}

std::optional<std::size_t> SerialTransport::Exchange(const LinkSettings& settings,
                                                     std::span<const std::uint8_t> request,
                                                     std::span<std::uint8_t> answer) {
  const auto path = ResolvePortName(settings.port_name);
  SerialPort port;
  if (!path || !port.Open(*path) || !port.Configure(settings.baud_rate)) return std::nullopt;
  port.Write(request);  // a failed write shows as silence
  return port.Read(answer, ReadTimeouts{settings.inter_byte_timeout_ms, settings.total_timeout_ms});
}

}  // namespace tarnis::link
