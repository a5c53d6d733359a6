#pragma once
// An emulated КМ-07 on a real pseudo-terminal for end-to-end tests: a private ports directory,
// the emulator registered there under a COM name, and a link already set up to reach it.
#include <string>

#include "emulator/km07_device.h"
#include "emulator/pty_server.h"
#include "link/link.h"
#include "link/serial_transport.h"

namespace tarnis::test {

class EmulatedDevice {
 public:
  // Time-outs short enough for a fast suite, long enough for a loaded machine.
  static constexpr int kInterByteTimeoutMs = 50;
  static constexpr int kTotalTimeoutMs = 500;

  // Fixtures alive at the same time share one private ports directory: give each its own name.
  explicit EmulatedDevice(const std::string& port_name = "COM1", std::uint32_t factory_number = 1);
  EmulatedDevice(const EmulatedDevice&) = delete;
  EmulatedDevice& operator=(const EmulatedDevice&) = delete;
  ~EmulatedDevice();

  // Set to the device's port, 115200 baud, the short time-outs and its factory number.
  link::Link& link() { return link_; }
  const std::string& ports_directory() const { return ports_directory_; }
  emulator::PtyServer& server() { return server_; }

  // Runs f(emulator::Km07Device&) while the device answers nothing; returns what f returns.
  template <class F>
  auto WithDevice(F f) {
    return server_.WithDevice(std::move(f));
  }

 private:
  std::string ports_directory_;
  emulator::PtyServer server_;
  link::SerialTransport transport_;
  link::Link link_{transport_};
};

}  // namespace tarnis::test
