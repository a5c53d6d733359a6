#pragma once
// The link settings: which port, how fast, how long to wait, and which device to address.
// They live in memory only; every run of the program starts with no port chosen.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnis::link {

constexpr std::size_t kFactoryNumberMaxLength = 15;
constexpr int kDefaultInterByteTimeoutMs = 250;
constexpr int kDefaultTotalTimeoutMs = 2500;
constexpr int kDefaultBaudRate = 115200;

struct LinkSettings {
  std::string port_name;              // "COM1".."COM100"; empty until applied
  int baud_rate = 0;
  int inter_byte_timeout_ms = 0;
  int total_timeout_ms = 0;
  std::string factory_number = "0";   // decimal text, sent as a signed 32-bit number
  bool settings_applied = false;
  // What the name stood for when the settings were applied (empty: nothing). Fixed then, so that
  // a ports-directory entry that vanishes never lets the name fall back to another device.
  // Unset: the name is resolved at every exchange.
  std::optional<std::string> port_path = std::nullopt;
  // How often a request that got no answer, or an answer the link rejects, is sent again before
  // the failure is reported: 0..kMaxRetries. A device error is an answer and is not repeated,
  // unless it says the request itself arrived damaged (errors 20, 21, 22).
  int retries = 0;
};

constexpr int kMaxRetries = 5;

// A factory number text of at most 15 characters holding a signed 32-bit decimal number
// (an optional sign, then digits); nothing for anything else.
std::optional<std::int32_t> ParseFactoryNumber(std::string_view text);
// A decimal total time-out in milliseconds of at least 1 and at most 600000 (0 would wait for
// ever); nothing for anything else.
std::optional<int> ParseTimeoutMs(std::string_view text);
// A decimal inter-byte time-out in milliseconds from 0 (no limit on the gap between bytes) to
// 600000; nothing for anything else.
std::optional<int> ParseInterByteTimeoutMs(std::string_view text);

// What the user is told when the factory number cannot be sent.
extern const char* const kBadFactoryNumberMessage;

}  // namespace tarnis::link
