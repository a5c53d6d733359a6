#pragma once
// Exchanges with a serial port on another machine, named by a "tcp://" or "rfc2217://" URL: one
// connection per exchange, as the serial transport opens the port for each, with the same
// time-outs. A host that refuses or does not answer fails the exchange as a port that did not
// open, with the reason in the user's words.
#include <string>

#include "link/transport.h"
#include "platform/port_names.h"
#include "platform/tcp_socket.h"

namespace tarnis::link {

class NetworkTransport final : public Transport {
 public:
  bool CheckPort(const LinkSettings& settings) override;
  TransportResult Exchange(const LinkSettings& settings, std::span<const std::uint8_t> request,
                           std::span<std::uint8_t> answer) override;
  // The same to a given address (the settings' port is not looked at).
  static TransportResult ExchangeWith(const NetworkPortAddress& address, const LinkSettings& settings,
                                      std::span<const std::uint8_t> request, std::span<std::uint8_t> answer);
};

// Why a connect failed: "соединение отклонено HOST:PORT", "нет ответа от узла за 2,5 с"...
std::string ConnectFailureText(ConnectOutcome outcome, const NetworkPortAddress& address, int timeout_ms);

// Milliseconds as seconds the way the program writes them: 2500 → "2,5", 1000 → "1".
std::string SecondsText(int milliseconds);

}  // namespace tarnis::link
