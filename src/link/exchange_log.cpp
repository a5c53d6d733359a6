#include "link/exchange_log.h"

#include <cstdio>
#include <ctime>

#include "link/device_errors.h"

namespace tarnis::link {
namespace {

constexpr std::size_t kCommandOffset = 6;

std::string Mode(std::uint8_t mode, const char* what) { return std::string(mode == 0 ? "запись " : "чтение ") + what; }

std::string LocalTime(std::chrono::system_clock::time_point time) {
  const auto since_epoch = time.time_since_epoch();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(since_epoch).count() % 1000;
  std::tm local{};
  ::localtime_r(&seconds, &local);
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(millis < 0 ? 0 : millis));
  return text;
}

std::string ResultText(const CommandResult& status) {
  switch (status.result) {
    case LinkResult::Ok:
      return "успешно";
    case LinkResult::DeviceError:
      return "ошибка КМ " + std::to_string(status.error_code) + ":" + status.message;
    default:
      return status.message;
  }
}

}  // namespace

std::string HexBytes(std::span<const std::uint8_t> bytes) {
  std::string text;
  text.reserve(bytes.size() * 3);
  char hex[4];
  for (const std::uint8_t byte : bytes) {
    std::snprintf(hex, sizeof hex, text.empty() ? "%02X" : " %02X", byte);
    text += hex;
  }
  return text;
}

std::string DescribeRequest(std::span<const std::uint8_t> request) {
  if (request.size() <= kCommandOffset) return "неполный запрос";
  const auto payload = request.subspan(std::min(request.size(), kRequestHeaderSize));
  const auto code = request[kCommandOffset];
  const auto at = [&](std::size_t i) -> std::uint8_t { return i < payload.size() ? payload[i] : 0; };
  switch (static_cast<Command>(code)) {
    case Command::Parameter:
      return Mode(at(0), "параметра ") + std::to_string(at(1)) + "." + std::to_string(at(2)) + "." +
             std::to_string(at(3));
    case Command::Blank:
      return Mode(at(0), "бланка ") + std::to_string(at(1));
    case Command::Inn:
      return "программирование ИНН";
    case Command::Goods:
      return Mode(at(0), "товара ") + std::to_string(at(1) | (at(2) << 8));
    case Command::Status:
      return "запрос состояния";
  }
  char text[24];
  std::snprintf(text, sizeof text, "команда 0x%02X", code);
  return text;
}

bool TrailerMismatch(Command command, std::span<const std::uint8_t> answer) {
  if (answer.size() != AnswerSize(command) || answer.size() < kAnswerHeaderSize + 3) return false;
  return !TrailerMatches(answer);
}

std::string FormatExchange(const ExchangeRecord& record) {
  // Words first, so that the lines read in a column however long their frames are.
  const std::string where =
      LocalTime(record.time) + "  " + record.port_name + " " + std::to_string(record.baud_rate) + "  ";
  if (!record.note.empty()) return where + record.note;
  std::string line = where + DescribeRequest(record.request);
  if (record.retry > 0) line += ", повтор " + std::to_string(record.retry);
  if (!record.port_opened) {
    line += "  порт не открылся";
    if (!record.open_failure.empty()) line += ": " + record.open_failure;
  } else if (record.request.size() > kCommandOffset) {
    const auto command = static_cast<Command>(record.request[kCommandOffset]);
    line += "  " + ResultText(ValidateAnswer(command, record.answer).status);
    if (TrailerMismatch(command, record.answer)) line += std::string(" (") + kTrailerMismatchNote + ")";
  }
  if (record.line_lost)
    line += " (линия потеряна, получено " + std::to_string(record.answer.size()) + " байт)";
  char duration[32];
  std::snprintf(duration, sizeof duration, "  %.2f мс",
                std::chrono::duration<double, std::milli>(record.duration).count());
  return line + duration + "  > " + HexBytes(record.request) + "  < " +
         (record.answer.empty() ? std::string("—") : HexBytes(record.answer));
}

void ExchangeLog::Attach(Link& link) {
  link.SetTraceObserver([this, &link](TraceDirection direction, std::span<const std::uint8_t> bytes) {
    Observe(link.settings(), direction, bytes, link.last_transport(), link.retry());
  });
  link.SetNoteObserver([this, &link](const std::string& text) { AddNote(link.settings(), text); });
}

void ExchangeLog::AddNote(const LinkSettings& settings, const std::string& text) {
  ExchangeRecord record;
  record.time = std::chrono::system_clock::now();
  record.port_name = settings.port_name;
  record.baud_rate = settings.baud_rate;
  record.note = text;
  Push(std::move(record));
}

void ExchangeLog::Push(ExchangeRecord record) {
  if (capacity_ == 0) return;
  if (records_.size() == capacity_) records_.pop_front();
  records_.push_back(std::move(record));
  if (listener_) listener_(records_.back());
}

void ExchangeLog::Observe(const LinkSettings& settings, TraceDirection direction, std::span<const std::uint8_t> bytes,
                          const TransportResult& transport, int retry) {
  if (direction == TraceDirection::Sent) {
    pending_.retry = retry;
    pending_.time = std::chrono::system_clock::now();
    pending_start_ = std::chrono::steady_clock::now();
    pending_.port_name = settings.port_name;
    pending_.baud_rate = settings.baud_rate;
    pending_.request.assign(bytes.begin(), bytes.end());
    pending_.answer.clear();
    pending_.note.clear();  // the ring may hand over a note's record
    has_pending_ = true;
    return;
  }
  if (!has_pending_) return;  // an answer without its request: nothing to pair it with
  has_pending_ = false;
  pending_.answer.assign(bytes.begin(), bytes.end());
  pending_.duration = std::chrono::steady_clock::now() - pending_start_;
  pending_.port_opened = transport.opened;
  pending_.open_failure = transport.open_failure;
  pending_.line_lost = transport.line_lost;
  if (capacity_ == 0) return;
  // The oldest record's buffers, once the ring is full, carry the next request: no allocation.
  ExchangeRecord done;
  if (records_.size() == capacity_) {
    done = std::move(records_.front());
    records_.pop_front();
  }
  std::swap(done, pending_);
  records_.push_back(std::move(done));
  if (listener_) listener_(records_.back());
}

}  // namespace tarnis::link
