#include "link/network_transport.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <optional>
#include <vector>

#include "platform/telnet_codec.h"

namespace tarnis::link {
namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

std::optional<NetworkPortAddress> AddressOf(const LinkSettings& settings) {
  if (settings.port_path) return ParseNetworkPortUrl(*settings.port_path);
  return ParseNetworkPortUrl(settings.port_name);
}

// What the server sends, with the telnet commands taken out when the protocol has them, and
// their answers sent back at once.
class Receiver {
 public:
  Receiver(TcpSocket& socket, bool telnet) : socket_(socket), telnet_(telnet) {}

  // Appends to data what arrives within wait_ms; false when the connection has ended.
  bool Receive(std::vector<std::uint8_t>& data, int wait_ms) {
    std::uint8_t chunk[512];
    const std::size_t count = socket_.Receive(chunk, wait_ms);
    if (!telnet_) {
      data.insert(data.end(), chunk, chunk + count);
    } else if (count > 0) {
      std::vector<std::uint8_t> replies;
      decoder_.Feed(std::span(chunk, count), data, replies);
      if (!replies.empty()) socket_.Write(replies, kReplyTimeoutMs);
    }
    return !socket_.closed();
  }
  const telnet::Decoder& decoder() const { return decoder_; }

 private:
  static constexpr int kReplyTimeoutMs = 100;
  TcpSocket& socket_;
  bool telnet_;
  telnet::Decoder decoder_;
};

// Sets the far line and waits for the server's word that the speed is set: a request sent
// before that could reach the device at the old speed.
TransportResult SetLine(TcpSocket& socket, Receiver& receiver, const NetworkPortAddress& address,
                        const LinkSettings& settings) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(settings.total_timeout_ms);
  if (!socket.Write(telnet::ComPortOpening(settings.baud_rate), settings.total_timeout_ms))
    return TransportResult::NotOpened(EPIPE, "узел закрыл соединение " + address.Endpoint());
  std::vector<std::uint8_t> stale;  // input of the far line before the request is not the answer
  while (!receiver.decoder().acknowledged_baud()) {
    const int left = MillisecondsUntil(deadline);
    if (left == 0) return TransportResult::NotOpened(ETIMEDOUT, "узел не подтвердил скорость за " + SecondsText(settings.total_timeout_ms) + " с");
    if (!receiver.Receive(stale, left))
      return TransportResult::NotOpened(ECONNRESET, "узел закрыл соединение " + address.Endpoint());
  }
  if (*receiver.decoder().acknowledged_baud() != static_cast<std::uint32_t>(settings.baud_rate))
    return TransportResult::NotOpened(EINVAL, "узел " + address.Endpoint() + " не установил скорость " +
                                                  std::to_string(settings.baud_rate));
  return TransportResult::Received(0);
}

}  // namespace

std::string SecondsText(int milliseconds) {
  std::string text = std::to_string(milliseconds / 1000);
  std::string fraction = std::to_string(1000 + milliseconds % 1000).substr(1);
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  return fraction.empty() ? text : text + "," + fraction;
}

std::string ConnectFailureText(ConnectOutcome outcome, const NetworkPortAddress& address, int timeout_ms) {
  switch (outcome) {
    case ConnectOutcome::Connected: return {};
    case ConnectOutcome::Refused: return "соединение отклонено " + address.Endpoint();
    case ConnectOutcome::TimedOut: return "нет ответа от узла за " + SecondsText(timeout_ms) + " с";
    case ConnectOutcome::Unreachable: return "узел недоступен " + address.Endpoint();
    case ConnectOutcome::UnknownHost: return "узел не найден: " + address.host;
    case ConnectOutcome::Failed: break;
  }
  return "не удалось соединиться с " + address.Endpoint();
}

bool NetworkTransport::CheckPort(const LinkSettings& settings) {
  const auto address = AddressOf(settings);
  TcpSocket socket;
  return address && socket.Connect(address->host, address->port, settings.total_timeout_ms) == ConnectOutcome::Connected;
}

TransportResult NetworkTransport::Exchange(const LinkSettings& settings, std::span<const std::uint8_t> request,
                                           std::span<std::uint8_t> answer) {
  const auto address = AddressOf(settings);
  if (!address) return TransportResult::NotOpened(EINVAL);
  return ExchangeWith(*address, settings, request, answer);
}

TransportResult NetworkTransport::ExchangeWith(const NetworkPortAddress& address, const LinkSettings& settings,
                                               std::span<const std::uint8_t> request, std::span<std::uint8_t> answer) {
  TcpSocket socket;
  const ConnectOutcome connected = socket.Connect(address.host, address.port, settings.total_timeout_ms);
  if (connected != ConnectOutcome::Connected)
    return TransportResult::NotOpened(socket.connect_errno(),
                                      ConnectFailureText(connected, address, settings.total_timeout_ms));
  const bool telnet = address.protocol == NetworkPortAddress::Protocol::Rfc2217;
  Receiver receiver(socket, telnet);
  if (telnet) {
    if (TransportResult set = SetLine(socket, receiver, address, settings); !set.opened) return set;
  }
  std::vector<std::uint8_t> frame;
  if (telnet) telnet::AppendEscaped(frame, request);
  else frame.assign(request.begin(), request.end());
  // A request that did not go out gets no answer: waiting for one would only cost the time-out.
  if (!socket.Write(frame, settings.total_timeout_ms)) return TransportResult::Received(0, socket.closed());

  const auto total_deadline = Clock::now() + std::chrono::milliseconds(settings.total_timeout_ms);
  std::optional<Clock::time_point> gap_deadline;
  std::vector<std::uint8_t> data;
  bool open = true;
  while (open && data.size() < answer.size()) {
    Clock::time_point deadline = total_deadline;
    if (gap_deadline && *gap_deadline < deadline) deadline = *gap_deadline;
    if (Clock::now() >= deadline) break;
    const std::size_t before = data.size();
    open = receiver.Receive(data, MillisecondsUntil(deadline));
    if (data.size() > before && settings.inter_byte_timeout_ms > 0)
      gap_deadline = Clock::now() + std::chrono::milliseconds(settings.inter_byte_timeout_ms);
  }
  const std::size_t received = std::min(data.size(), answer.size());
  std::copy_n(data.begin(), received, answer.begin());
  return TransportResult::Received(received, !open);
}

}  // namespace tarnis::link
