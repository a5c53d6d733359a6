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
  telnet::Decoder& decoder() { return decoder_; }

 private:
  static constexpr int kReplyTimeoutMs = 100;
  TcpSocket& socket_;
  bool telnet_;
  telnet::Decoder decoder_;
};

}  // namespace

struct NetworkTransport::Connection {
  explicit Connection(bool telnet) : receiver(socket, telnet) {}
  std::string key;  // protocol and endpoint
  TcpSocket socket;
  Receiver receiver;
  int baud = 0;  // the far line's speed once set through the COM port option
};

namespace {

// Sets the far line's speed (with the whole opening on a new connection) and waits for the
// server's word that it is set: a request sent before that could reach the device at the old one.
TransportResult SetLine(TcpSocket& socket, Receiver& receiver, const NetworkPortAddress& address,
                        const LinkSettings& settings, bool opening) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(settings.total_timeout_ms);
  receiver.decoder().ForgetAcknowledgedBaud();
  const auto commands = opening ? telnet::ComPortOpening(settings.baud_rate) : telnet::ComPortSpeed(settings.baud_rate);
  if (!socket.Write(commands, settings.total_timeout_ms))
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

// Drops what arrived since the last exchange; false when the connection has ended meanwhile.
bool DropStaleInput(Receiver& receiver) {
  std::vector<std::uint8_t> stale;
  constexpr int kChunksAtMost = 64;
  for (int i = 0; i < kChunksAtMost; ++i) {
    const std::size_t before = stale.size();
    if (!receiver.Receive(stale, 0)) return false;
    if (stale.size() == before) break;
  }
  return true;
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

NetworkTransport::NetworkTransport() = default;
NetworkTransport::~NetworkTransport() = default;

void NetworkTransport::Hold(bool held) {
  held_ = held;
  if (!held) kept_.reset();
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
  const bool telnet = address.protocol == NetworkPortAddress::Protocol::Rfc2217;
  const std::string key = (telnet ? "rfc2217://" : "tcp://") + address.Endpoint();
  if (kept_ && (kept_->key != key || !DropStaleInput(kept_->receiver))) kept_.reset();
  if (!kept_) {
    auto connection = std::make_unique<Connection>(telnet);
    connection->key = key;
    const ConnectOutcome connected = connection->socket.Connect(address.host, address.port, settings.total_timeout_ms);
    if (connected != ConnectOutcome::Connected)
      return TransportResult::NotOpened(connection->socket.connect_errno(),
                                        ConnectFailureText(connected, address, settings.total_timeout_ms));
    kept_ = std::move(connection);
  }
  const TransportResult result = ExchangeOn(*kept_, address, settings, request, answer);
  if (!held_ || !result.opened || result.line_lost) kept_.reset();
  return result;
}

TransportResult NetworkTransport::ExchangeOn(Connection& connection, const NetworkPortAddress& address,
                                             const LinkSettings& settings, std::span<const std::uint8_t> request,
                                             std::span<std::uint8_t> answer) {
  TcpSocket& socket = connection.socket;
  Receiver& receiver = connection.receiver;
  const bool telnet = address.protocol == NetworkPortAddress::Protocol::Rfc2217;
  if (telnet && connection.baud != settings.baud_rate) {
    TransportResult set = SetLine(socket, receiver, address, settings, connection.baud == 0);
    if (!set.opened) return set;
    connection.baud = settings.baud_rate;
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
