#include "link/serial_transport.h"

#include <cerrno>

#include "link/network_transport.h"
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
  if (path && IsNetworkPortUrl(*path)) return network_.CheckPort(settings);
  SerialPort port;
  return path && port.Open(*path);
}

TransportResult SerialTransport::Exchange(const LinkSettings& settings, std::span<const std::uint8_t> request,
                                          std::span<std::uint8_t> answer) {
  const auto path = PortPath(settings);
  if (!path) return TransportResult::NotOpened(ENOENT);
  if (const auto address = ParseNetworkPortUrl(*path))
    return network_.ExchangeWith(*address, settings, request, answer);
  SerialPort port;
  if (!port.Open(*path)) return TransportResult::NotOpened(port.open_error());
  if (!port.Configure(settings.baud_rate)) return TransportResult::NotOpened(errno);
  // A request that did not go out gets no answer: waiting for one would only cost the time-out.
  if (!port.Write(request)) return TransportResult::Received(0, port.line_lost());
  const std::size_t received =
      port.Read(answer, ReadTimeouts{settings.inter_byte_timeout_ms, settings.total_timeout_ms});
  return TransportResult::Received(received, port.line_lost());
}

}  // namespace tarnis::link
