#pragma once
#include "link/network_transport.h"
#include "link/transport.h"

namespace tarnis::link {

// One open-configure-write-read-close cycle of the serial port per exchange; the port is never
// held between exchanges, so other programs may use it in between. A name that stands for a
// network port URL goes through the network transport, one connection per exchange likewise.
class SerialTransport final : public Transport {
 public:
  // The path the exchange opens: the one fixed at Apply, else what the name resolves to now.
  static std::optional<std::string> PortPath(const LinkSettings& settings);

  bool CheckPort(const LinkSettings& settings) override;
  TransportResult Exchange(const LinkSettings& settings, std::span<const std::uint8_t> request,
                           std::span<std::uint8_t> answer) override;
  void Hold(bool held) override { network_.Hold(held); }

 private:
  NetworkTransport network_;
};

}  // namespace tarnis::link
