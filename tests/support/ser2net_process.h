#pragma once
// A real ser2net on 127.0.0.1 serving one tty on port(), as raw TCP or as telnet with the COM
// port option, from a config the test writes. One accepter per tty: ser2net opens the tty for
// each connection, and a connection to a second accepter of the same tty while the first is
// still closing finds it in use. Tests skip when ser2net is
// not installed (scripts/setup.sh installs it).
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <spawn.h>
#include <string>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "quiet_spawn.h"

#include "platform/tcp_socket.h"

extern char** environ;

namespace tarnis::test {

class Ser2netProcess {
 public:
  // The ser2net program, or empty when it is not installed.
  static std::string Program() {
    for (const char* path : {"/usr/sbin/ser2net", "/usr/bin/ser2net", "/usr/local/sbin/ser2net"})
      if (::access(path, X_OK) == 0) return path;
    return {};
  }

  // A TCP port on 127.0.0.1 that nothing listens on right now.
  static int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0)
      port = ntohs(address.sin_port);
    ::close(fd);
    return port;
  }

  // Serves tty (set to line_speed until a client sets another) and waits until the port listens.
  // chardelay: ser2net's default wait of about two characters, at least 1 ms (it has been seen
  // to reach its 20 ms cap), before it passes what the tty sent on; off, it passes it at once.
  Ser2netProcess(const std::string& tty, bool rfc2217, int line_speed = 115200, bool chardelay = false)
      : rfc2217_(rfc2217), port_(FreePort()) {
    const std::string program = Program();
    if (program.empty()) return;
    char folder[] = "/tmp/tarnis-ser2net-XXXXXX";
    if (!::mkdtemp(folder)) return;
    config_folder_ = folder;
    const std::string config = config_folder_ + "/ser2net.yaml";
    const std::string line = tty + "," + std::to_string(line_speed) + "n81,local";
    std::ofstream(config) << "connection: &port\n  accepter: " << (rfc2217 ? "telnet(rfc2217)," : "")
                          << "tcp,127.0.0.1," << port_ << "\n  connector: serialdev," << line << "\n"
                          << "  options:\n    chardelay: " << (chardelay ? "true" : "false") << "\n";
    pid_ = SpawnQuietly({program, "-n", "-d", "-c", config, "-P", config_folder_ + "/pid"}, {1, 2});
    for (int i = 0; i < 500 && pid_ > 0 && !Listening(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  Ser2netProcess(const Ser2netProcess&) = delete;
  Ser2netProcess& operator=(const Ser2netProcess&) = delete;
  ~Ser2netProcess() {
    Stop();
    if (!config_folder_.empty()) std::filesystem::remove_all(config_folder_);
  }

  bool Listening() const { return Accepts(port_); }
  bool running() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  int port() const { return port_; }
  std::string Url() const { return (rfc2217_ ? "rfc2217://127.0.0.1:" : "tcp://127.0.0.1:") + std::to_string(port_); }

  static bool Accepts(int port) {
    TcpSocket socket;
    return socket.Connect("127.0.0.1", port, 100) == ConnectOutcome::Connected;
  }

  void Stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
  }

 private:
  bool rfc2217_;
  int port_;
  std::string config_folder_;
  pid_t pid_ = -1;
};

}  // namespace tarnis::test
