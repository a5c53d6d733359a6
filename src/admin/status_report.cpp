#include "admin/status_report.h"

namespace tarnis::admin {

std::string OperatingModeText(std::uint8_t mode) {
  switch (mode) {
    case 0: return "Автоном.";
    case 1: return "Off-line";
    case 2: return "On-line";
    default: return "";
  }
}

std::string SubmodeText(std::uint8_t submode) {
  switch (submode) {
    case 0: return "Реж. П";
    case 1: return "Реж. Р";
    case 2: return "Реж. А";
    default: return "";
  }
}

std::string BatteryText(std::uint8_t battery) {
  switch (battery) {
    case 0: return "Норма";
    case 1: return "АБР";
    case 2: return "АРП";
    case 3: return "АБР+АРП";
    default: return "";
  }
}

std::string FlashText(std::uint8_t flash) { return flash == 0 ? "Норма" : "Ошибка"; }

std::string DocumentStateText(std::uint8_t state) { return state == 0 ? "Завершен" : "Не завершен"; }

std::string TwoDigits(unsigned value) {
  const auto text = std::to_string(value);
  return text.size() == 1 ? "0" + text : text;
}

StatusReport FormatStatusReport(const link::StatusFields& fields) {
  const std::uint8_t mode = fields.mode >> 4;
  const std::uint8_t submode = fields.mode & 0x0F;
  StatusReport report;
  report.time = TwoDigits(fields.hours) + ":" + TwoDigits(fields.minutes);
  report.date = TwoDigits(fields.day) + "/" + TwoDigits(fields.month) + "/" + TwoDigits(fields.year);
  report.mode_number = std::to_string(mode);
  report.mode_text = OperatingModeText(mode);
  report.submode_number = std::to_string(submode);
  report.submode_text = SubmodeText(submode);
  report.flash_number = std::to_string(fields.flash);
  report.flash_text = FlashText(fields.flash);
  report.battery_number = std::to_string(fields.battery);
  report.battery_text = BatteryText(fields.battery);
  report.document_number = std::to_string(fields.document_number);
  report.document_state_text = DocumentStateText(fields.document_state);
  report.factory_number = std::to_string(static_cast<std::int32_t>(fields.factory_number));
  report.inn = std::to_string(fields.inn);
  return report;
}

StatusOutcome RequestStatusReport(link::Link& link) {
  StatusOutcome outcome;
  outcome.reply = link::RequestStatus(link);
  if (outcome.reply.ok()) outcome.report = FormatStatusReport(outcome.reply.fields);
  return outcome;
}

}  // namespace tarnis::admin
