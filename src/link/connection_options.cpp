#include "link/connection_options.h"

#include <charconv>

#include "platform/port_names.h"
#include "platform/serial_port.h"

namespace tarnis::link {

std::optional<LinkSettings> ParseConnectionOptions(const ConnectionOptionTexts& texts, std::string* error) {
  const auto refuse = [error](const std::string& text) {
    *error = text;
    return std::nullopt;
  };
  LinkSettings settings;
  if (!PortNumber(texts.port)) return refuse("--port: \"" + texts.port + "\" — не имя порта от COM1 до COM100.");
  settings.port_name = texts.port;
  const char* const baud_end = texts.baud.data() + texts.baud.size();
  const auto [baud_stop, baud_error] = std::from_chars(texts.baud.data(), baud_end, settings.baud_rate);
  if (texts.baud.empty() || baud_error != std::errc() || baud_stop != baud_end || !IsSupportedBaudRate(settings.baud_rate))
    return refuse("--baud: \"" + texts.baud + "\" — не скорость из 2400, 4800, 9600, 19200, 38400, 57600, 115200.");
  if (!ParseFactoryNumber(texts.factory)) return refuse(std::string("--factory: ") + kBadFactoryNumberMessage);
  settings.factory_number = texts.factory;
  const std::size_t comma = texts.timeouts.find(',');
  const auto gap = comma == std::string::npos ? std::nullopt : ParseInterByteTimeoutMs(texts.timeouts.substr(0, comma));
  const auto total = comma == std::string::npos ? std::nullopt : ParseTimeoutMs(texts.timeouts.substr(comma + 1));
  if (!gap || !total)
    return refuse("--timeouts: \"" + texts.timeouts +
                  "\" — не два тайм-аута в мс через запятую: между байтами от 0 до 600000 (0 — без предела) "
                  "и общий от 1 до 600000, например 250,2500.");
  settings.inter_byte_timeout_ms = *gap;
  settings.total_timeout_ms = *total;
  settings.settings_applied = true;
  return settings;
}

}  // namespace tarnis::link
