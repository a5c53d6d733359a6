#pragma once
// The device status as the status page shows it: every field already formatted, all empty
// when the request failed.
#include <cstdint>
#include <string>

#include "link/commands.h"

namespace tarnis::admin {

// The fourteen display fields of the status page (UTF-8), named after what they show.
struct StatusReport {
  std::string time;                 // "Время КМ :"  hh:mm
  std::string date;                 // "Дата КМ :"   dd/mm/yy
  std::string mode_number;          // "Режим работы :"
  std::string mode_text;
  std::string submode_number;       // "Подрежим :"
  std::string submode_text;
  std::string flash_number;         // "Флеш память :"
  std::string flash_text;
  std::string battery_number;       // "Батарейка :"
  std::string battery_text;
  std::string document_number;      // "№ текущего документа :"
  std::string document_state_text;  // "Состояние текущего документа :"
  std::string factory_number;       // "Заводской номер КМ :"
  std::string inn;                  // "ИНН :"

  bool operator==(const StatusReport&) const = default;
};

// What the page tells the user, followed directly by the link's message, when the request fails.
inline constexpr const char* kStatusReadFailed = "Не удалось прочитать параметр.";

// Texts of the status codes; a code outside its table gives an empty text.
std::string OperatingModeText(std::uint8_t mode);      // high four bits of the mode byte
std::string SubmodeText(std::uint8_t submode);         // low four bits
std::string BatteryText(std::uint8_t battery);
std::string FlashText(std::uint8_t flash);
std::string DocumentStateText(std::uint8_t state);
// A clock part in decimal with a leading "0" when it has one digit (9 → "09", 100 → "100").
std::string TwoDigits(unsigned value);

StatusReport FormatStatusReport(const link::StatusFields& fields);

// Asks the device for its status. On failure the report stays empty and reply carries the
// result and the link's message.
struct StatusOutcome {
  link::StatusReply reply;
  StatusReport report;
};
StatusOutcome RequestStatusReport(link::Link& link);

}  // namespace tarnis::admin
