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

  // Opens the device for reading and writing, refusing when another program holds it.
  bool Open(const std::string& path);
  // 8 data bits, no parity, one stop bit at baud, and raw: no input or output processing (no
  // CR/LF mapping, no stripping or marking), no echo, no signal characters, no XON/XOFF flow
  // control; CLOCAL and CREAD set; VMIN and VTIME 0, so that reads return what has arrived.
  // Then drops input that arrived before. Hardware flow control and the rest stay as found.
  bool Configure(int baud);
  bool IsOpen() const { return fd_ >= 0; }
  bool Write(std::span<const std::uint8_t> bytes);
  // Reads until expected bytes have arrived, the gap after a byte exceeds the inter-byte time-out,
  // or the total time-out has elapsed; returns how many bytes arrived.
  std::size_t Read(std::span<std::uint8_t> buffer, ReadTimeouts timeouts);
  // Puts the kept settings back, discards anything unsent and closes without waiting.
  void Close();

 private:
  int fd_ = -1;
  std::optional<termios> kept_;
};

}  // namespace tarnis
