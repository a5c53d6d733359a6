#include "connection/port_survey.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <grp.h>
#include <set>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

#include "connection/adapter_description.h"
#include "connection/process_table.h"
#include "platform/port_names.h"
#include "platform/tcp_socket.h"

namespace tarnis::connection {
namespace fs = std::filesystem;
namespace {

std::string GroupName(gid_t gid) {
  if (const group* entry = ::getgrgid(gid)) return entry->gr_name;
  return std::to_string(gid);
}

bool UserInGroup(gid_t gid) {
  if (::getegid() == gid || ::getgid() == gid) return true;
  const int count = ::getgroups(0, nullptr);
  if (count <= 0) return false;
  std::vector<gid_t> groups(static_cast<std::size_t>(count));
  const int read = ::getgroups(count, groups.data());
  for (int i = 0; i < read; ++i)
    if (groups[static_cast<std::size_t>(i)] == gid) return true;
  return false;
}

// Resolves the name and fills what needs no process table: device, state missing or no-access,
// group, description and stable name.
PortReport Resolve(std::string_view name, const std::optional<std::string>& entry, const SystemRoots& roots,
                   const std::string& ports_directory, const std::map<std::string, std::string>& stable_names) {
  PortReport report;
  report.name = std::string(name);
  if (!entry) return report;
  if (IsNetworkPortUrl(*entry)) {
    report.device = *entry;
    report.network = true;
    report.through_ports_directory = *entry != name;
    return report;
  }
  report.through_ports_directory = fs::path(*entry).parent_path() == fs::path(ports_directory);
  std::error_code ec;
  const fs::path device = fs::canonical(*entry, ec);
  if (ec) {
    // A directory entry whose tty has gone still shows where it led.
    const fs::path target = fs::read_symlink(*entry, ec);
    report.device = ec ? *entry : target.string();
    return report;
  }
  report.device = device.string();
  struct stat info {};
  if (::stat(report.device.c_str(), &info) != 0) return report;
  report.group = GroupName(info.st_gid);
  report.in_group = UserInGroup(info.st_gid);
  report.mode = info.st_mode & 07777;
  report.description = AdapterDescription(roots.sys, device.filename().string());
  if (const auto stable = stable_names.find(report.device); stable != stable_names.end()) report.by_id = stable->second;
  // Such a tty opens, takes settings and swallows every byte: nothing can answer on it.
  report.no_uart = UartAbsent(roots.sys, device.filename().string());
  if (report.no_uart) return report;
  report.state = ::access(report.device.c_str(), R_OK | W_OK) == 0 ? PortState::Free : PortState::NoAccess;
  return report;
}

PortState ConnectState(const std::string& url) {
  const auto address = ParseNetworkPortUrl(url);
  if (!address) return PortState::Missing;
  TcpSocket socket;
  switch (socket.Connect(address->host, address->port, kNetworkProbeTimeoutMs)) {
    case ConnectOutcome::Connected: return PortState::Reachable;
    case ConnectOutcome::Refused: return PortState::Refused;
    case ConnectOutcome::TimedOut: return PortState::TimedOut;
    default: return PortState::Unreachable;
  }
}

// All at once: a host that does not answer costs one time-out, not one per name.
void ProbeNetworkPorts(std::vector<PortReport>& reports) {
  std::vector<std::jthread> probes;
  for (PortReport& report : reports)
    if (report.network) probes.emplace_back([&report] { report.state = ConnectState(report.device); });
}

void FindHolders(std::vector<PortReport>& reports, ProcessTable& processes) {
  std::set<std::string> devices;
  for (PortReport& report : reports) {
    if (report.state == PortState::Missing || report.network) continue;
    devices.insert(report.device);
    struct stat info {};
    if (::stat(report.device.c_str(), &info) != 0) continue;
    report.holder = processes.LockHolder(info.st_dev, info.st_ino, fs::path(report.device).filename().string());
    // No access wins: the user has to mend that first, and cannot open the port either way.
    if (report.holder && report.state == PortState::Free) report.state = PortState::Busy;
  }
  processes.ReadOpeners(devices);
  for (PortReport& report : reports)
    if (report.state != PortState::Missing && !report.network) report.openers = processes.Openers(report.device);
}

std::string NodeModeReason(const PortReport& report) {
  char mode[8];
  std::snprintf(mode, sizeof mode, "%04o", report.mode);
  return "Нет прав на " + report.device + ": права узла " + mode + " (группа " + report.group +
         ") не дают группе чтения и записи. Отдать порт группе dialout: правило udev KERNEL==\"" +
         fs::path(report.device).filename().string() +
         "\", GROUP=\"dialout\", MODE=\"0660\" в /etc/udev/rules.d/50-serial-dialout.rules, затем sudo udevadm "
         "trigger и sudo usermod -aG dialout $USER.";
}

std::string PortsDirectoryOf(const SystemRoots& roots) {
  return roots.ports_directory.empty() ? PortsDirectory() : roots.ports_directory;
}

}  // namespace

const char* PortStateName(PortState state) {
  switch (state) {
    case PortState::Missing: return "missing";
    case PortState::NoAccess: return "no-access";
    case PortState::Busy: return "busy";
    case PortState::Free: return "free";
    case PortState::Reachable: return "reachable";
    case PortState::Refused: return "refused";
    case PortState::TimedOut: return "timed-out";
    case PortState::Unreachable: return "unreachable";
  }
  return "missing";
}

bool Usable(PortState state) { return state == PortState::Free || state == PortState::Reachable; }

std::vector<PortReport> SurveyNames(const std::vector<std::string>& names, const SystemRoots& roots) {
  const std::string ports_directory = PortsDirectoryOf(roots);
  const auto stable_names = StableNames(roots.dev);
  std::vector<PortReport> reports;
  for (const std::string& name : names)
    if (IsPortNameOrUrl(name))
      reports.push_back(
          Resolve(name, ResolvePortNameIn(name, ports_directory, roots.dev), roots, ports_directory, stable_names));
  ProcessTable processes(roots.proc, roots.lock);
  FindHolders(reports, processes);
  ProbeNetworkPorts(reports);
  return reports;
}

PortReport SurveyFixedPort(std::string_view name, const std::string& path, const SystemRoots& roots) {
  std::vector<PortReport> reports{Resolve(name, path, roots, PortsDirectoryOf(roots), StableNames(roots.dev))};
  ProcessTable processes(roots.proc, roots.lock);
  FindHolders(reports, processes);
  ProbeNetworkPorts(reports);
  return std::move(reports.front());
}

std::string OpenFailureReason(std::string_view name, const std::optional<std::string>& path,
                              const SystemRoots& roots) {
  const PortReport report = path ? SurveyFixedPort(name, *path, roots) : SurveyPort(name, roots);
  if (std::string reason = FailureReason(report); !reason.empty()) return reason;
  return "Порт " + report.device +
         " не открывается: его держит другая программа в монопольном режиме или за ним нет устройства.";
}

std::vector<PortReport> SurveyPorts(const SystemRoots& roots) {
  std::vector<std::string> names;
  for (int n = kFirstPortNumber; n <= kLastPortNumber; ++n) names.push_back("COM" + std::to_string(n));
  return SurveyNames(names, roots);
}

PortReport SurveyPort(std::string_view name, const SystemRoots& roots) {
  auto reports = SurveyNames({std::string(name)}, roots);
  if (!reports.empty()) return std::move(reports.front());
  PortReport nothing;
  nothing.name = std::string(name);
  return nothing;
}

std::string StateWord(PortState state) {
  switch (state) {
    case PortState::Missing: return "нет устройства";
    case PortState::NoAccess: return "нет доступа";
    case PortState::Busy: return "занят";
    case PortState::Free: return "свободен";
    case PortState::Reachable: return "доступен";
    case PortState::Refused: return "отклонено";
    case PortState::TimedOut: return "нет ответа";
    case PortState::Unreachable: return "недоступен";
  }
  return {};
}

std::string FailureReason(const PortReport& report) {
  switch (report.state) {
    case PortState::Free:
    case PortState::Reachable: return {};
    case PortState::Refused: return "Узел " + report.device + " отклонил соединение: там не слушают этот порт.";
    case PortState::TimedOut:
      return "Узел " + report.device + " не ответил за " + std::to_string(kNetworkProbeTimeoutMs) + " мс.";
    case PortState::Unreachable: return "Узел " + report.device + " недоступен или его имя не найдено.";
    case PortState::Missing:
      if (report.no_uart) return "UART отсутствует";
      if (report.device.empty()) return "Имени " + report.name + " не сопоставлено никакое устройство.";
      return "Устройство " + report.device + " не найдено: адаптер не подключен или порт назван иначе.";
    case PortState::Busy: {
      std::string who = "другой программой";
      if (report.holder)
        who = (report.holder->command.empty() ? std::string("процессом") : "программой " + report.holder->command) +
              " (PID " + std::to_string(report.holder->pid) + ")";
      return "Порт " + report.device + " занят " + who + ".";
    }
    case PortState::NoAccess:
      // Joining the group helps only when its bits give reading and writing (root:root 0600 and
      // root:tty 0620 do not): then the node's mode is what to change.
      if ((report.mode & 060) != 060) return NodeModeReason(report);
      if (report.in_group)
        return "Нет прав на чтение и запись " + report.device + " (группа " + report.group + ").";
      return "Нет прав на " + report.device + ": нужна группа " + report.group + " (sudo usermod -aG " + report.group +
             " $USER, затем войти в систему заново).";
  }
  return {};
}

}  // namespace tarnis::connection
