#pragma once
// A TCP connection to a network serial port, made for one exchange: connect within a time limit,
// write within a time limit, and receive what has arrived within a wait.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tarnis {

enum class ConnectOutcome {
  Connected,
  Refused,       // the host answered that nothing listens there
  TimedOut,      // no answer from the host within the time limit
  Unreachable,   // no route to the host or network
  UnknownHost,   // the name does not resolve
  Failed,        // any other reason; see the errno
};

class TcpSocket {
 public:
  TcpSocket() = default;
  TcpSocket(const TcpSocket&) = delete;
  TcpSocket& operator=(const TcpSocket&) = delete;
  ~TcpSocket();

  // Tries every address the host resolves to until one connects or the time limit has passed.
  // Small writes go out at once (no Nagle delay): a request is one write.
  ConnectOutcome Connect(const std::string& host, int port, int timeout_ms);
  int connect_errno() const { return connect_errno_; }
  bool IsOpen() const { return fd_ >= 0; }

  // Writes everything within timeout_ms.
  bool Write(std::span<const std::uint8_t> bytes, int timeout_ms);
  // Waits up to wait_ms (negative: no limit) for bytes and reads what has arrived into buffer.
  // Returns the count; 0 when the wait ended with nothing. The connection's end or an error sets
  // closed() and returns 0.
  std::size_t Receive(std::span<std::uint8_t> buffer, int wait_ms);
  bool closed() const { return closed_; }
  void Close();

 private:
  int fd_ = -1;
  int connect_errno_ = 0;
  bool closed_ = false;
};

}  // namespace tarnis
