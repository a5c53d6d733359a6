#pragma once
// The client side of telnet with the COM port control option (RFC 2217): what opens a
// connection to a network serial port with the line settings, data bytes with IAC doubled, and
// a decoder that takes the data out of what the server sends and answers its option requests.
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tarnis::telnet {

inline constexpr std::uint8_t kIac = 255;
inline constexpr std::uint8_t kDont = 254;
inline constexpr std::uint8_t kDo = 253;
inline constexpr std::uint8_t kWont = 252;
inline constexpr std::uint8_t kWill = 251;
inline constexpr std::uint8_t kSb = 250;
inline constexpr std::uint8_t kSe = 240;
inline constexpr std::uint8_t kBinary = 0;
inline constexpr std::uint8_t kSuppressGoAhead = 3;
inline constexpr std::uint8_t kComPortOption = 44;
// COM port commands as the client sends them; the server's answers add 100.
inline constexpr std::uint8_t kSetBaudRate = 1;
inline constexpr std::uint8_t kSetDataSize = 2;
inline constexpr std::uint8_t kSetParity = 3;
inline constexpr std::uint8_t kSetStopSize = 4;
inline constexpr std::uint8_t kSetControl = 5;
inline constexpr std::uint8_t kPurgeData = 12;
inline constexpr std::uint8_t kServerReply = 100;

// The opening of a connection: binary both ways, no go-ahead, the COM port option; then the line
// raw 8N1 at baud without flow control, and the far end's unread input dropped (as a local port
// drops input that came before the request). The baud rate goes last, so that its answer, which
// the server sends after it has set the line, tells that the settings before it are in place too.
std::vector<std::uint8_t> ComPortOpening(int baud);

// A new speed on a connection already opened.
std::vector<std::uint8_t> ComPortSpeed(int baud);

// Data bytes as they go on the connection: every 255 doubled.
void AppendEscaped(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> data);

class Decoder {
 public:
  // Takes what the server sent: appends the data bytes to data, and to replies what must go back
  // (the answers to option requests). Commands may be split across calls.
  void Feed(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& data, std::vector<std::uint8_t>& replies);
  // The speed the server reported after setting it; nothing until it has.
  std::optional<std::uint32_t> acknowledged_baud() const { return acknowledged_baud_; }
  // Before asking for another speed: only the answer to that request counts.
  void ForgetAcknowledgedBaud() { acknowledged_baud_.reset(); }

 private:
  enum class State { Data, Command, Option, Subnegotiation, SubnegotiationIac };
  void Negotiate(std::uint8_t verb, std::uint8_t option, std::vector<std::uint8_t>& replies);
  void EndSubnegotiation();

  static constexpr std::size_t kSubnegotiationLimit = 64;
  State state_ = State::Data;
  std::uint8_t verb_ = 0;
  std::vector<std::uint8_t> subnegotiation_;
  std::bitset<256> answered_;  // options already answered, so that no request is answered twice
  std::optional<std::uint32_t> acknowledged_baud_;
};

}  // namespace tarnis::telnet
