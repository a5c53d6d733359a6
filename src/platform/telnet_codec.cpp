#include "platform/telnet_codec.h"

namespace tarnis::telnet {
namespace {

constexpr std::uint8_t kParityNone = 1;
constexpr std::uint8_t kOneStopBit = 1;
constexpr std::uint8_t kNoFlowControl = 1;
constexpr std::uint8_t kPurgeReceived = 1;

void AppendCommand(std::vector<std::uint8_t>& out, std::uint8_t verb, std::uint8_t option) {
  out.insert(out.end(), {kIac, verb, option});
}

void AppendComPortCommand(std::vector<std::uint8_t>& out, std::uint8_t command,
                          std::span<const std::uint8_t> value) {
  out.insert(out.end(), {kIac, kSb, kComPortOption, command});
  AppendEscaped(out, value);
  out.insert(out.end(), {kIac, kSe});
}

// Options this client takes part in: BINARY and SUPPRESS-GO-AHEAD both ways, and the COM port
// option on its own side.
bool AcceptsFromServer(std::uint8_t option) { return option == kBinary || option == kSuppressGoAhead; }
bool AcceptsForItself(std::uint8_t option) {
  return option == kBinary || option == kSuppressGoAhead || option == kComPortOption;
}

}  // namespace

std::vector<std::uint8_t> ComPortOpening(int baud) {
  std::vector<std::uint8_t> out;
  AppendCommand(out, kWill, kBinary);
  AppendCommand(out, kDo, kBinary);
  AppendCommand(out, kWill, kSuppressGoAhead);
  AppendCommand(out, kDo, kSuppressGoAhead);
  AppendCommand(out, kWill, kComPortOption);
  const std::uint8_t data_size = 8, parity = kParityNone, stop = kOneStopBit, control = kNoFlowControl,
                     purge = kPurgeReceived;
  AppendComPortCommand(out, kSetDataSize, std::span(&data_size, 1));
  AppendComPortCommand(out, kSetParity, std::span(&parity, 1));
  AppendComPortCommand(out, kSetStopSize, std::span(&stop, 1));
  AppendComPortCommand(out, kSetControl, std::span(&control, 1));
  AppendComPortCommand(out, kPurgeData, std::span(&purge, 1));
  const std::vector<std::uint8_t> speed = ComPortSpeed(baud);
  out.insert(out.end(), speed.begin(), speed.end());
  return out;
}

std::vector<std::uint8_t> ComPortSpeed(int baud) {
  std::vector<std::uint8_t> out;
  const auto value = static_cast<std::uint32_t>(baud);
  const std::uint8_t big_endian[4] = {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
                                      static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
  AppendComPortCommand(out, kSetBaudRate, big_endian);
  return out;
}

void AppendEscaped(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> data) {
  for (const std::uint8_t byte : data) {
    out.push_back(byte);
    if (byte == kIac) out.push_back(kIac);
  }
}

void Decoder::Feed(std::span<const std::uint8_t> in, std::vector<std::uint8_t>& data,
                   std::vector<std::uint8_t>& replies) {
  for (const std::uint8_t byte : in) {
    switch (state_) {
      case State::Data:
        if (byte == kIac) state_ = State::Command;
        else data.push_back(byte);
        break;
      case State::Command:
        state_ = State::Data;
        if (byte == kIac) {
          data.push_back(kIac);
        } else if (byte == kWill || byte == kWont || byte == kDo || byte == kDont) {
          verb_ = byte;
          state_ = State::Option;
        } else if (byte == kSb) {
          subnegotiation_.clear();
          state_ = State::Subnegotiation;
        }  // NOP, GA, a stray SE and the like carry nothing for us
        break;
      case State::Option:
        Negotiate(verb_, byte, replies);
        state_ = State::Data;
        break;
      case State::Subnegotiation:
        if (byte == kIac) state_ = State::SubnegotiationIac;
        else if (subnegotiation_.size() < kSubnegotiationLimit) subnegotiation_.push_back(byte);
        break;
      case State::SubnegotiationIac:
        if (byte == kSe) {
          EndSubnegotiation();
          state_ = State::Data;
        } else {
          // IAC IAC inside is a 255 of the value; anything else ends a malformed one as well.
          if (byte == kIac && subnegotiation_.size() < kSubnegotiationLimit) subnegotiation_.push_back(byte);
          state_ = byte == kIac ? State::Subnegotiation : State::Data;
        }
        break;
    }
  }
}

void Decoder::Negotiate(std::uint8_t verb, std::uint8_t option, std::vector<std::uint8_t>& replies) {
  // Requests for what the opening already offered need no answer; WONT and DONT only confirm.
  if (verb == kWont || verb == kDont) return;
  const bool server_side = verb == kWill;
  const bool accepted = server_side ? AcceptsFromServer(option) : AcceptsForItself(option);
  if (accepted || answered_[option]) return;
  answered_[option] = true;
  AppendCommand(replies, server_side ? kDont : kWont, option);
}

void Decoder::EndSubnegotiation() {
  const auto& s = subnegotiation_;
  if (s.size() == 6 && s[0] == kComPortOption && s[1] == kServerReply + kSetBaudRate)
    acknowledged_baud_ = (std::uint32_t{s[2]} << 24) | (std::uint32_t{s[3]} << 16) | (std::uint32_t{s[4]} << 8) | s[5];
}

}  // namespace tarnis::telnet
