#include "console_user_interface.h"

#include <unistd.h>

namespace tarnis::ctl {

std::string ProgressLine(const std::string& section, int step, int total, const std::string& time_left) {
  std::string line = section.empty() ? std::string() : section + " ";
  line += std::to_string(step) + "/" + std::to_string(total) + " запросов, " +
          std::to_string(ui::ProgressPosition(step, total)) + " %";
  if (!time_left.empty()) line += ", " + time_left;
  return line;
}

bool StandardErrorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace tarnis::ctl
