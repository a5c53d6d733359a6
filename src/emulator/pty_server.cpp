#include "emulator/pty_server.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

#include "platform/port_names.h"

namespace tarnis::emulator {
namespace {

using Clock = std::chrono::steady_clock;

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

bool Fail(std::string* error, const std::string& what) {
  if (error) *error = what + ": " + std::strerror(errno);
  return false;
}

// Time one byte takes on the wire: a start bit, 8 data bits and a stop bit.
Clock::duration ByteTime(int baud_rate) {
  return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(10.0 / baud_rate));
}

// The speed the client set on its side of the pseudo-terminal, which the master reports.
int ClientSpeed(int master_fd) {
  termios settings{};
  if (::tcgetattr(master_fd, &settings) != 0) return 0;
  switch (::cfgetospeed(&settings)) {
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    default: return 0;
  }
}

}  // namespace

PtyServer::PtyServer(Km07Device device) : device_(std::move(device)) {}

PtyServer::~PtyServer() { Stop(); }

bool PtyServer::Start(const std::string& port_name, std::string* error) {
  Stop();
  stopping_ = false;
  master_fd_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_fd_ < 0) return Fail(error, "posix_openpt");
  char name[128];
  if (::grantpt(master_fd_) != 0 || ::unlockpt(master_fd_) != 0 || ::ptsname_r(master_fd_, name, sizeof name) != 0) {
    Fail(error, "pseudo-terminal");
    Stop();
    return false;
  }
  slave_path_ = name;
  // The server keeps a slave open for its whole life: without one the master sees a hang-up
  // between the host's exchanges, and the line settings would fall back at every close.
  slave_fd_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios raw{};
  if (slave_fd_ < 0 || ::tcgetattr(slave_fd_, &raw) != 0) {
    Fail(error, slave_path_);
    Stop();
    return false;
  }
  ::cfmakeraw(&raw);
  ::cfsetspeed(&raw, B115200);
  ::tcsetattr(slave_fd_, TCSANOW, &raw);
  ::fcntl(master_fd_, F_SETFL, ::fcntl(master_fd_, F_GETFL) | O_NONBLOCK);
  if (::pipe2(wake_fds_, O_CLOEXEC | O_NONBLOCK) != 0) {
    Fail(error, "pipe");
    Stop();
    return false;
  }
  std::string register_error;
  if (!RegisterPort(port_name, slave_path_, &register_error)) {
    if (error) *error = register_error;
    Stop();
    return false;
  }
  port_name_ = port_name;
  thread_ = std::thread([this] { Serve(); });
  return true;
}

void PtyServer::Stop() {
  stopping_ = true;
  if (wake_fds_[1] >= 0) {
    const char wake = 1;
    [[maybe_unused]] const auto written = ::write(wake_fds_[1], &wake, 1);
  }
  if (thread_.joinable()) thread_.join();
  if (!port_name_.empty()) UnregisterPort(port_name_, slave_path_);
  port_name_.clear();
  CloseFd(wake_fds_[0]);
  CloseFd(wake_fds_[1]);
  CloseFd(slave_fd_);
  CloseFd(master_fd_);
}

void PtyServer::Serve() {
  // Answer pacing sleeps to absolute times a few tens of microseconds apart.
  ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
  std::vector<std::uint8_t> pending;
  Clock::time_point first_byte{}, last_byte{};
  std::uint8_t chunk[256];
  while (!stopping_) {
    int wait_ms = -1;
    if (!pending.empty()) {
      const auto left = std::chrono::ceil<std::chrono::milliseconds>(last_byte + kJunkGap - Clock::now());
      wait_ms = static_cast<int>(std::max<std::int64_t>(0, left.count()));
    }
    pollfd fds[2] = {{master_fd_, POLLIN, 0}, {wake_fds_[0], POLLIN, 0}};
    const int ready = ::poll(fds, 2, wait_ms);
    if (stopping_) break;
    if (ready < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (!(fds[0].revents & POLLIN)) {
      if (!pending.empty() && Clock::now() - last_byte >= kJunkGap) pending.clear();
      // A hang-up without data cannot last while our own slave is open; do not spin on it.
      if (fds[0].revents & (POLLHUP | POLLERR)) std::this_thread::sleep_for(std::chrono::milliseconds(5));
      continue;
    }
    const ssize_t n = ::read(master_fd_, chunk, sizeof chunk);
    if (n < 0 && errno != EAGAIN && errno != EINTR) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (n <= 0) continue;
    const auto now = Clock::now();
    if (!pending.empty() && now - last_byte >= kJunkGap) pending.clear();
    if (pending.empty()) first_byte = now;
    last_byte = now;
    pending.insert(pending.end(), chunk, chunk + n);

    while (true) {
      const auto length = Km07Device::RequestLength(pending);
      if (!length || pending.size() < *length) break;
      const std::vector<std::uint8_t> request(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(*length));
      pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(*length));
      std::vector<std::uint8_t> answer;
      int baud_rate = 0;
      std::optional<Km07Device::AnswerPause> pause;
      {
        std::lock_guard lock(device_mutex_);
        const int line_speed = device_.faults().line_speed;
        // At another speed a real device hears noise: it keeps silent, and its state is untouched.
        if (line_speed > 0 && ClientSpeed(master_fd_) != line_speed) {
          first_byte = Clock::now();
          continue;
        }
        answer = device_.Answer(request);
        baud_rate = device_.faults().baud_rate;
        pause = device_.pause();
      }
      // A device on a real line hears the last request byte only after the whole frame's wire time.
      const auto wire_start = baud_rate > 0 ? first_byte + ByteTime(baud_rate) * static_cast<int>(request.size())
                                            : first_byte;
      if (pause) {
        const auto split = answer.begin() + static_cast<std::ptrdiff_t>(pause->after);
        Send({answer.begin(), split}, baud_rate, wire_start);
        std::this_thread::sleep_for(pause->duration);
        Send({split, answer.end()}, baud_rate, Clock::now());
      } else {
        Send(answer, baud_rate, wire_start);
      }
      first_byte = Clock::now();
    }
  }
}

void PtyServer::Send(const std::vector<std::uint8_t>& answer, int baud_rate, Clock::time_point wire_start) {
  std::size_t sent = 0;
  const auto byte_time = baud_rate > 0 ? ByteTime(baud_rate) : Clock::duration::zero();
  while (sent < answer.size() && !stopping_) {
    std::size_t due = answer.size();
    if (baud_rate > 0) {
      // Each byte leaves when its ten bits have passed; bytes already late go together.
      std::this_thread::sleep_until(wire_start + byte_time * static_cast<int>(sent + 1));
      due = std::min(answer.size(), static_cast<std::size_t>((Clock::now() - wire_start) / byte_time));
      due = std::max(due, sent + 1);
    }
    const ssize_t n = ::write(master_fd_, answer.data() + sent, due - sent);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
    } else if (n < 0 && errno == EAGAIN) {
      pollfd out{master_fd_, POLLOUT, 0};
      ::poll(&out, 1, 10);
    } else if (!(n < 0 && errno == EINTR)) {
      return;
    }
  }
}

}  // namespace tarnis::emulator
