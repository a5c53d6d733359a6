#include "platform/tcp_socket.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tarnis {
namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

ConnectOutcome OutcomeOf(int error) {
  switch (error) {
    case ECONNREFUSED: return ConnectOutcome::Refused;
    case ETIMEDOUT: return ConnectOutcome::TimedOut;
    case ENETUNREACH:
    case EHOSTUNREACH:
    case ENETDOWN:
    case EHOSTDOWN: return ConnectOutcome::Unreachable;
    default: return ConnectOutcome::Failed;
  }
}

// One non-blocking connect to one address, waited for until the deadline; the descriptor on
// success, -1 with errno set otherwise.
int ConnectOne(const addrinfo& address, Clock::time_point deadline) {
  const int fd = ::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, address.ai_protocol);
  if (fd < 0) return -1;
  if (::connect(fd, address.ai_addr, address.ai_addrlen) == 0) return fd;
  if (errno != EINPROGRESS) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
  }
  pollfd pfd{fd, POLLOUT, 0};
  int ready = 0;
  do {
    ready = ::poll(&pfd, 1, MillisecondsUntil(deadline));
  } while (ready < 0 && errno == EINTR);
  int error = ETIMEDOUT;
  if (ready > 0) {
    socklen_t size = sizeof error;
    if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0) error = errno;
  }
  if (ready > 0 && error == 0) return fd;
  ::close(fd);
  errno = error;
  return -1;
}

}  // namespace

TcpSocket::~TcpSocket() { Close(); }

ConnectOutcome TcpSocket::Connect(const std::string& host, int port, int timeout_ms) {
  Close();
  closed_ = false;
  connect_errno_ = 0;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV;
  addrinfo* addresses = nullptr;
  if (::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &addresses) != 0 || !addresses) {
    connect_errno_ = EHOSTUNREACH;
    return ConnectOutcome::UnknownHost;
  }
  int error = ETIMEDOUT;
  for (const addrinfo* address = addresses; address && fd_ < 0 && Clock::now() < deadline; address = address->ai_next) {
    fd_ = ConnectOne(*address, deadline);
    if (fd_ < 0) error = errno;
  }
  ::freeaddrinfo(addresses);
  if (fd_ < 0) {
    connect_errno_ = error;
    return OutcomeOf(error);
  }
  const int on = 1;
  ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  return ConnectOutcome::Connected;
}

bool TcpSocket::Write(std::span<const std::uint8_t> bytes, int timeout_ms) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  std::size_t written = 0;
  while (fd_ >= 0 && !closed_ && written < bytes.size()) {
    const ssize_t n = ::send(fd_, bytes.data() + written, bytes.size() - written, MSG_NOSIGNAL);
    if (n > 0) {
      written += static_cast<std::size_t>(n);
    } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
      pollfd pfd{fd_, POLLOUT, 0};
      if (errno == EAGAIN && ::poll(&pfd, 1, MillisecondsUntil(deadline)) <= 0) return false;
    } else {
      closed_ = true;
      return false;
    }
  }
  return written == bytes.size();
}

std::size_t TcpSocket::Receive(std::span<std::uint8_t> buffer, int wait_ms) {
  if (fd_ < 0 || closed_ || buffer.empty()) return 0;
  pollfd pfd{fd_, POLLIN, 0};
  const int ready = ::poll(&pfd, 1, wait_ms);
  if (ready <= 0) return 0;  // the wait ended (or a signal cut it short: the caller waits again)
  const ssize_t n = ::recv(fd_, buffer.data(), buffer.size(), 0);
  // Acknowledged at once: a sender that holds small segments until the last is acknowledged (Nagle)
  // would otherwise wait for the delayed acknowledgement with every byte of a paced answer. The
  // kernel drops the flag again by itself, so it is set after every read.
  const int on = 1;
  ::setsockopt(fd_, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
  if (n > 0) return static_cast<std::size_t>(n);
  if (n < 0 && (errno == EAGAIN || errno == EINTR)) return 0;
  closed_ = true;  // 0: the far end closed; an error: the connection is gone
  return 0;
}

void TcpSocket::Close() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
}

}  // namespace tarnis
