#pragma once
// The outcome of every device operation, with the message the user is shown on failure.
#include <cstdint>
#include <string>

namespace tarnis::link {

enum class LinkResult : int {
  Ok = 0,
  NoAnswer = 1,
  BadStart = 2,
  BadCode = 3,
  DeviceError = 5,
  // Refused before anything was sent: the link settings cannot address the device.
  BadSettings = 6,
};

// The fixed message of each non-Ok result other than DeviceError.
const char* LinkResultMessage(LinkResult result);

struct CommandResult {
  LinkResult result = LinkResult::Ok;
  std::uint8_t error_code = 0;  // the device's error byte, once the answer passed the header checks
  std::string message;          // UTF-8; empty on Ok

  bool ok() const { return result == LinkResult::Ok; }
};

}  // namespace tarnis::link
