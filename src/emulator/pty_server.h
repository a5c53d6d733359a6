#pragma once
// Runs a Km07Device on a pseudo-terminal registered in the ports directory under a COM name,
// so the program, tarnisctl and the tests reach it exactly as they reach a real serial port.
#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>

#include "emulator/km07_device.h"

namespace tarnis::emulator {

class PtyServer {
 public:
  // Bytes of an unfinished request followed by this much silence are junk and are dropped.
  static constexpr std::chrono::milliseconds kJunkGap{50};

  explicit PtyServer(Km07Device device = Km07Device());
  PtyServer(const PtyServer&) = delete;
  PtyServer& operator=(const PtyServer&) = delete;
  ~PtyServer();

  // Opens the pseudo-terminal, registers its slave as port_name and starts answering in a
  // background thread. False with a reason when any step fails.
  bool Start(const std::string& port_name, std::string* error = nullptr);
  // Ends the thread, unregisters the port and closes the pseudo-terminal. Safe to call twice.
  void Stop();

  const std::string& slave_path() const { return slave_path_; }
  const std::string& port_name() const { return port_name_; }

  // Runs f on the device while no request is being answered.
  template <class F>
  auto WithDevice(F f) {
    std::lock_guard lock(device_mutex_);
    return f(device_);
  }

 private:
  void Serve();
  void Send(const std::vector<std::uint8_t>& answer, int baud_rate,
            std::chrono::steady_clock::time_point wire_start);

  Km07Device device_;
  std::mutex device_mutex_;
  std::string port_name_;
  std::string slave_path_;
  int master_fd_ = -1;
  int slave_fd_ = -1;
  int wake_fds_[2] = {-1, -1};  // Stop writes to [1] to end the poll in Serve
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace tarnis::emulator
