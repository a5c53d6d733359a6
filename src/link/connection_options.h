#pragma once
// The connection as command lines give it (--port, --baud, --factory, --timeouts), checked as the
// connection settings dialog checks its fields. tarnisctl and the desktop program share it.
#include <optional>
#include <string>

#include "link/link_settings.h"

namespace tarnis::link {

// The option texts; the defaults are those of the connection settings dialog.
struct ConnectionOptionTexts {
  std::string port = "COM1";
  std::string baud = "115200";
  std::string factory = "1";
  std::string timeouts = "250,2500";  // the inter-byte and the total time-out in ms
};

// Applied settings for the texts, or nothing with the option and what is wrong with it in error
// (in Russian, as the user reads it).
std::optional<LinkSettings> ParseConnectionOptions(const ConnectionOptionTexts& texts, std::string* error);

}  // namespace tarnis::link
