#pragma once
// Why a device command failed on its port before an answer could come, in the survey's words:
// the line under "Нет ответа или не удалось открыть порт." in prompts, tarnisctl and the log.
#include <string>

#include "connection/port_survey.h"
#include "link/link.h"

namespace tarnis::connection {

// The line after a hang-up: the tty went away under an open port.
inline constexpr const char* kLineLostReason = "Линия потеряна: адаптер отключён.";

// A port that did not open: what the survey shows wrong with it (busy by whom, no access,
// nothing there), else what the system's error number says. A lost line: kLineLostReason. The
// transport's own words win when it gave some (a connection it could not make).
std::string PortFailureReason(const link::LinkSettings& settings, const link::TransportResult& outcome,
                              const SystemRoots& roots = {});

// Makes the link tell these reasons.
void ExplainPortFailures(link::Link& link, const SystemRoots& roots = {});

}  // namespace tarnis::connection
