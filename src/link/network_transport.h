#pragma once
// Exchanges with a serial port on another machine, named by a "tcp://" or "rfc2217://" URL, with
// the serial transport's time-outs. A connection per exchange, as the serial port is opened for
// each; while the link is held by one operation, the connection is kept for its exchanges (a
// server such as ser2net opens and closes the far tty with every connection, which costs more
// than the exchange) and closed when the operation ends. On a kept connection what arrived
// before the request is dropped, as the serial port drops stale input; a connection found
// closed is made again. A host that refuses or does not answer fails the exchange as a port that
// did not open, with the reason in the user's words.
#include <memory>
#include <string>

#include "link/transport.h"
#include "platform/port_names.h"
#include "platform/tcp_socket.h"

namespace tarnis::link {

class NetworkTransport final : public Transport {
 public:
  NetworkTransport();
  ~NetworkTransport() override;
  bool CheckPort(const LinkSettings& settings) override;
  TransportResult Exchange(const LinkSettings& settings, std::span<const std::uint8_t> request,
                           std::span<std::uint8_t> answer) override;
  // The same to a given address (the settings' port is not looked at).
  TransportResult ExchangeWith(const NetworkPortAddress& address, const LinkSettings& settings,
                               std::span<const std::uint8_t> request, std::span<std::uint8_t> answer);
  void Hold(bool held) override;

 private:
  struct Connection;
  TransportResult ExchangeOn(Connection& connection, const NetworkPortAddress& address, const LinkSettings& settings,
                             std::span<const std::uint8_t> request, std::span<std::uint8_t> answer);
  std::unique_ptr<Connection> kept_;
  bool held_ = false;
};

// Why a connect failed: "соединение отклонено HOST:PORT", "нет ответа от узла за 2,5 с"...
std::string ConnectFailureText(ConnectOutcome outcome, const NetworkPortAddress& address, int timeout_ms);

// Milliseconds as seconds the way the program writes them: 2500 → "2,5", 1000 → "1".
std::string SecondsText(int milliseconds);

}  // namespace tarnis::link
