#pragma once
// A serial port opened for one exchange: exclusive, raw 8N1 at a chosen speed, with the line
// settings found at open put back when it closes after the exchange.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <termios.h>

namespace tarnis {

struct ReadTimeouts {
  int inter_byte_ms = 0;  // longest gap after a byte; 0 or less: no gap limit
  int total_ms = 0;       // whole read; 0 or less: no limit
};

// The speeds the settings dialog offers.
bool IsSupportedBaudRate(int baud);

class SerialPort {
 public:
  SerialPort() = default;
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;
  ~SerialPort();

  // Opens the device for reading and writing, refusing when another program holds it. Asks the
  // driver for low latency where it has the knob (USB adapters otherwise hold each answer up to
  // their latency timer); the previous flags come back at close.
  bool Open(const std::string& path);
  // The whole line, whatever an earlier program left: 8 data bits, no parity, one stop bit at baud,
  // and raw: no input or output processing, no echo, no signal characters, no hardware (CRTSCTS) or
  // software (XON/XOFF) flow control; CLOCAL and CREAD set; VMIN and VTIME 0, so that reads return
  // what has arrived. Then drops input that arrived before.
  bool Configure(int baud);
  bool IsOpen() const { return fd_ >= 0; }
  // Why the last Open failed: errno of the open, or EBUSY when another program holds the port.
  int open_error() const { return open_error_; }
  // Writes everything within timeout_ms (a line held by flow control may never drain).
  bool Write(std::span<const std::uint8_t> bytes, int timeout_ms = 1000);
  // Reads until expected bytes have arrived, the gap after a byte exceeds the inter-byte time-out,
  // or the total time-out has elapsed; returns how many bytes arrived. Returns at once when the
  // line is lost.
  std::size_t Read(std::span<std::uint8_t> buffer, ReadTimeouts timeouts);
  // The tty hung up or went away (adapter unplugged, the other end closed): nothing more will come.
  bool line_lost() const { return line_lost_; }
  // Puts the kept settings back, discards anything unsent and closes without waiting.
  void Close();

 private:
  int fd_ = -1;
  std::optional<termios> kept_;
  std::optional<int> kept_serial_flags_;  // set when low latency was switched on at open
  bool line_lost_ = false;
  int open_error_ = 0;
};

}  // namespace tarnis
