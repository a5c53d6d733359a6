#include "link/frame.h"

#include <algorithm>
#include <cassert>

namespace tarnis::link {

std::size_t RequestPayloadSize(Command command) {
  switch (command) {
    case Command::Parameter: return 29;
    case Command::Blank: return 5;
    case Command::Inn: return 14;
    case Command::Goods: return 40;
    case Command::Status: return 0;
  }
  return 0;
}

std::size_t RequestSize(Command command) { return RequestPayloadSize(command) + 11; }

std::size_t AnswerSize(Command command) {
  switch (command) {
    case Command::Parameter: return 36;
    case Command::Blank: return 11;
    case Command::Inn: return 7;
    case Command::Goods: return 46;
    case Command::Status: return 31;
  }
  return 0;
}

bool TrailerMatches(std::span<const std::uint8_t> frame) {
  if (frame.size() < 3) return false;
  const std::size_t end = frame.size() - 3;
  return frame[end] == kEndByte && GetLittleEndian(frame, end + 1, 2) == FrameChecksum(frame.first(end + 1));
}

std::uint16_t FrameChecksum(std::span<const std::uint8_t> bytes) {
  std::uint32_t sum = 0;
  for (const std::uint8_t b : bytes) sum += b;
  return static_cast<std::uint16_t>(sum & 0xFFFF);
}

void PutLittleEndian(std::span<std::uint8_t> frame, std::size_t offset, std::uint64_t value, std::size_t width) {
  for (std::size_t i = 0; i < width && offset + i < frame.size(); ++i)
    frame[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint64_t GetLittleEndian(std::span<const std::uint8_t> frame, std::size_t offset, std::size_t width) {
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < width && offset + i < frame.size(); ++i)
    value |= static_cast<std::uint64_t>(frame[offset + i]) << (8 * i);
  return value;
}

std::vector<std::uint8_t> BuildRequest(Command command, std::int32_t factory_number,
                                       std::span<const std::uint8_t> payload) {
  assert(payload.size() == RequestPayloadSize(command));
  const std::size_t size = RequestSize(command);
  std::vector<std::uint8_t> frame(size, 0);
  frame[0] = kRequestStart;
  frame[1] = kRequestSecond;
  PutLittleEndian(frame, 2, static_cast<std::uint32_t>(factory_number), 4);
  frame[6] = static_cast<std::uint8_t>(command);
  frame[7] = static_cast<std::uint8_t>(size);
  std::copy_n(payload.begin(), std::min(payload.size(), size - kRequestHeaderSize - 3),
              frame.begin() + kRequestHeaderSize);
  const std::size_t end = size - 3;
  frame[end] = kEndByte;
  PutLittleEndian(frame, end + 1, FrameChecksum(std::span(frame).first(end + 1)), 2);
  return frame;
}

}  // namespace tarnis::link
