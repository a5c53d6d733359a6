#pragma once
// What is on each port the program offers, seen from outside. Nothing here opens a port: opening
// a tty raises and then drops DTR, which resets some attached devices. A name that stands for a
// network port is tried with a connect and a short time-out, and closed again without sending.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnis::connection {

// Where the survey reads the system; tests point these at fabricated trees.
struct SystemRoots {
  std::string sys = "/sys";
  std::string proc = "/proc";
  std::string dev = "/dev";
  std::string lock = "/var/lock";
  std::string ports_directory;  // empty: the program's ports directory
};

// Network ports: Reachable (the connect succeeded), Refused, TimedOut, Unreachable (no route, or
// the name does not resolve).
enum class PortState { Missing, NoAccess, Busy, Free, Reachable, Refused, TimedOut, Unreachable };
// "missing", "no-access", "busy", "free", "reachable", "refused", "timed-out", "unreachable".
const char* PortStateName(PortState state);

struct ProcessInfo {
  int pid = 0;
  std::string command;  // the process's command name; empty when it cannot be read
  bool operator==(const ProcessInfo&) const = default;
};

struct PortReport {
  std::string name;    // COMn
  std::string device;  // the tty the name stands for, symlinks followed, or its network port URL; empty: nothing
  bool network = false;  // device is a network port URL
  bool through_ports_directory = false;
  PortState state = PortState::Missing;
  std::optional<ProcessInfo> holder;  // busy: the process holding a lock on the tty
  std::vector<ProcessInfo> openers;   // processes that have the tty open (best effort)
  std::string description;            // adapter: maker product, serial number, vid:pid, driver
  std::string by_id;                  // the stable /dev/serial/by-id/ name
  std::string group;                  // the group owning the tty
  unsigned mode = 0;                   // the tty's permission bits
  bool no_uart = false;                // missing: a serial-core tty with no UART behind it
  bool in_group = false;              // whether this user belongs to that group
};

// How long the survey waits for a network port's connect.
inline constexpr int kNetworkProbeTimeoutMs = 500;

// True for the states a device may be tried on: a free tty or a reachable network port.
bool Usable(PortState state);

// Every offered name, COM1 to COM100 in order.
std::vector<PortReport> SurveyPorts(const SystemRoots& roots = {});
// The given names only, in the given order; names that are not COM names are left out.
std::vector<PortReport> SurveyNames(const std::vector<std::string>& names, const SystemRoots& roots = {});
PortReport SurveyPort(std::string_view name, const SystemRoots& roots = {});
// A name whose path was fixed earlier (see LinkSettings::port_path), surveyed at that path.
PortReport SurveyFixedPort(std::string_view name, const std::string& path, const SystemRoots& roots = {});

// Why a port that would not open failed, for the line under "Не удалось открыть порт...": the
// survey's reason, or a guess when the system shows nothing wrong. path: what the name stands
// for, nothing when it stands for no device.
std::string OpenFailureReason(std::string_view name, const std::optional<std::string>& path,
                              const SystemRoots& roots = {});

// Why the port cannot be used, in the user's words; empty for a free port.
std::string FailureReason(const PortReport& report);
// The state as the port list shows it: "свободен", "занят", "нет доступа", "нет устройства";
// for network ports "доступен", "отклонено", "нет ответа", "недоступен".
std::string StateWord(PortState state);

}  // namespace tarnis::connection
