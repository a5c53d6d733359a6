#pragma once
// The frame every request and answer travels in:
//   request  17 02 <factory number, 4> <command> <length> <payload> 19 <checksum, 2>
//   answer   18 <command - 0x20> <length> <error> <payload> <3 trailing bytes>
// Numbers are little-endian; frames go out as they are, with no escaping.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace tarnis::link {

constexpr std::uint8_t kRequestStart = 0x17;
constexpr std::uint8_t kRequestSecond = 0x02;
constexpr std::uint8_t kAnswerStart = 0x18;  // STX_SLAVE
constexpr std::uint8_t kEndByte = 0x19;
constexpr std::uint8_t kAnswerCodeOffset = 0x20;
constexpr std::size_t kRequestHeaderSize = 8;
constexpr std::size_t kAnswerHeaderSize = 4;
constexpr std::size_t kFrameBufferSize = 128;

enum class Command : std::uint8_t {
  Parameter = 0x70,
  Blank = 0x66,
  Inn = 0x6E,
  Goods = 0x74,
  Status = 0x75,
};

// Payload bytes between the request header and the end byte.
std::size_t RequestPayloadSize(Command command);
// Whole request: header, payload, end byte, checksum.
std::size_t RequestSize(Command command);
// The fixed number of answer bytes the host reads for a command.
std::size_t AnswerSize(Command command);
constexpr std::uint8_t AnswerCode(Command command) {
  return static_cast<std::uint8_t>(static_cast<std::uint8_t>(command) - kAnswerCodeOffset);
}

// Plain 16-bit sum of the bytes, each taken as 0..255.
std::uint16_t FrameChecksum(std::span<const std::uint8_t> bytes);

// True when the frame ends in the end byte and the checksum of everything before its checksum,
// as every frame we send does.
bool TrailerMatches(std::span<const std::uint8_t> frame);

// The request frame for a command; the payload must be RequestPayloadSize(command) long.
std::vector<std::uint8_t> BuildRequest(Command command, std::int32_t factory_number,
                                       std::span<const std::uint8_t> payload);

// Little-endian helpers over frame bytes; the caller keeps offsets within the frame.
void PutLittleEndian(std::span<std::uint8_t> frame, std::size_t offset, std::uint64_t value, std::size_t width);
std::uint64_t GetLittleEndian(std::span<const std::uint8_t> frame, std::size_t offset, std::size_t width);

}  // namespace tarnis::link
