#include "connection/port_failure.h"

#include <cerrno>
#include <system_error>

#include "link/serial_transport.h"

namespace tarnis::connection {
namespace {

// The survey saw nothing wrong (the port changed since, or the lock is one it cannot see): the
// error number decides.
std::string ReasonFromErrno(const PortReport& report, int error) {
  const std::string& device = report.device.empty() ? report.name : report.device;
  switch (error) {
    case EBUSY:
    case EWOULDBLOCK:
      return "Порт " + device + " занят другой программой.";
    case EACCES:
    case EPERM:
      return "Нет прав на чтение и запись " + device + ".";
    case ENOENT:
    case ENODEV:
    case ENXIO: {
      PortReport missing = report;
      missing.state = PortState::Missing;
      return FailureReason(missing);
    }
    case EIO:
      return "Порт " + device + " не открывается: за ним нет устройства или адаптер отключён.";
    default:
      break;
  }
  std::string reason = "Порт " + device + " не открывается";
  if (error != 0) reason += ": " + std::generic_category().message(error);
  return reason + ".";
}

}  // namespace

std::string PortFailureReason(const link::LinkSettings& settings, const link::TransportResult& outcome,
                              const SystemRoots& roots) {
  if (!outcome.open_failure.empty()) return outcome.open_failure;
  if (outcome.opened) return outcome.line_lost ? kLineLostReason : std::string();
  const auto path = link::SerialTransport::PortPath(settings);
  const PortReport report = path ? SurveyFixedPort(settings.port_name, *path, roots) : SurveyPort(settings.port_name, roots);
  if (std::string reason = FailureReason(report); !reason.empty()) return reason;
  return ReasonFromErrno(report, outcome.open_errno);
}

void ExplainPortFailures(link::Link& link, const SystemRoots& roots) {
  link.SetFailureExplainer([roots](const link::LinkSettings& settings, const link::TransportResult& outcome) {
    return PortFailureReason(settings, outcome, roots);
  });
}

}  // namespace tarnis::connection
