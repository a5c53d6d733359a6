#include "platform/serial_port.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace tarnis {
namespace {

using Clock = std::chrono::steady_clock;

std::optional<speed_t> SpeedConstant(int baud) {
  switch (baud) {
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return std::nullopt;
  }
}

int MillisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

// The errors of a tty whose hardware or other end has gone.
bool IsLineLost(int error) { return error == EIO || error == ENODEV || error == ENXIO || error == EPIPE; }

}  // namespace

bool IsSupportedBaudRate(int baud) { return SpeedConstant(baud).has_value(); }

SerialPort::~SerialPort() { Close(); }

bool SerialPort::Open(const std::string& path) {
  Close();
  open_error_ = 0;
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    open_error_ = errno;
    return false;
  }
  // Two locks: TIOCEXCL keeps other programs from opening the tty, flock covers programs that
  // run as root (which TIOCEXCL does not stop) and honour the usual advisory lock.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ioctl(fd, TIOCEXCL) != 0) {
    open_error_ = errno == EWOULDBLOCK ? EBUSY : errno;
    ::close(fd);
    return false;
  }
  termios current{};
  if (::tcgetattr(fd, &current) == 0) kept_ = current;
  // Drivers without the knob (pseudo-terminals among them) refuse TIOCGSERIAL; that is fine.
  serial_struct serial{};
  if (::ioctl(fd, TIOCGSERIAL, &serial) == 0 && !(serial.flags & ASYNC_LOW_LATENCY)) {
    const int previous = serial.flags;
    serial.flags |= ASYNC_LOW_LATENCY;
    if (::ioctl(fd, TIOCSSERIAL, &serial) == 0) kept_serial_flags_ = previous;
  }
  fd_ = fd;
  line_lost_ = false;
  return true;
}

bool SerialPort::Configure(int baud) {
  const auto speed = SpeedConstant(baud);
  if (fd_ < 0 || !speed || !kept_) return false;
  // Every flag is set here, none taken from what the port held: a terminal program set to hardware
  // handshake leaves CRTSCTS on, and a UART then sends nothing while CTS is low.
  termios settings = *kept_;
  settings.c_iflag = 0;
  settings.c_oflag = 0;
  settings.c_lflag = 0;
  settings.c_cflag = CS8 | CREAD | CLOCAL;
  settings.c_cc[VMIN] = 0;
  settings.c_cc[VTIME] = 0;
  if (::cfsetispeed(&settings, *speed) != 0 || ::cfsetospeed(&settings, *speed) != 0) return false;
  if (::tcsetattr(fd_, TCSANOW, &settings) != 0) return false;
  // Bytes that arrived while nobody listened (the late rest of an answer that timed out) would
  // be taken for the start of the next answer.
  ::tcflush(fd_, TCIFLUSH);
  return true;
}

bool SerialPort::Write(std::span<const std::uint8_t> bytes, int timeout_ms) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  std::size_t written = 0;
  while (fd_ >= 0 && !line_lost_ && written < bytes.size()) {
    const ssize_t n = ::write(fd_, bytes.data() + written, bytes.size() - written);
    if (n > 0) {
      written += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EAGAIN) {
      pollfd pfd{fd_, POLLOUT, 0};
      if (::poll(&pfd, 1, MillisecondsUntil(deadline)) <= 0) return false;
      if (pfd.revents & (POLLHUP | POLLERR)) line_lost_ = true;
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      if (n < 0 && IsLineLost(errno)) line_lost_ = true;
      return false;
    }
  }
  return written == bytes.size();
}

std::size_t SerialPort::Read(std::span<std::uint8_t> buffer, ReadTimeouts timeouts) {
  if (fd_ < 0 || line_lost_) return 0;
  const auto start = Clock::now();
  const bool has_total = timeouts.total_ms > 0;
  const auto total_deadline = start + std::chrono::milliseconds(timeouts.total_ms);
  std::optional<Clock::time_point> gap_deadline;
  std::size_t received = 0;
  while (received < buffer.size()) {
    std::optional<Clock::time_point> deadline;
    if (has_total) deadline = total_deadline;
    if (gap_deadline && (!deadline || *gap_deadline < *deadline)) deadline = gap_deadline;
    const int wait_ms = deadline ? MillisecondsUntil(*deadline) : -1;
    pollfd pfd{fd_, POLLIN, 0};
    const int ready = ::poll(&pfd, 1, wait_ms);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) break;  // a deadline passed
    if (!(pfd.revents & POLLIN)) {  // hang-up or error with nothing to read
      line_lost_ = true;
      break;
    }
    const ssize_t n = ::read(fd_, buffer.data() + received, buffer.size() - received);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (n <= 0) {
      // A tty reads 0 only after a hang-up (VMIN and VTIME are 0 but poll said there was data).
      if (n == 0 || IsLineLost(errno)) line_lost_ = true;
      break;
    }
    received += static_cast<std::size_t>(n);
    if (timeouts.inter_byte_ms > 0)
      gap_deadline = Clock::now() + std::chrono::milliseconds(timeouts.inter_byte_ms);
  }
  return received;
}

void SerialPort::Close() {
  if (fd_ < 0) return;
  ::tcflush(fd_, TCIOFLUSH);
  if (kept_) ::tcsetattr(fd_, TCSANOW, &*kept_);
  if (serial_struct serial{}; kept_serial_flags_ && ::ioctl(fd_, TIOCGSERIAL, &serial) == 0) {
    serial.flags = *kept_serial_flags_;
    ::ioctl(fd_, TIOCSSERIAL, &serial);
  }
  kept_serial_flags_.reset();
  ::ioctl(fd_, TIOCNXCL);
  ::close(fd_);
  fd_ = -1;
  kept_.reset();
}

}  // namespace tarnis
