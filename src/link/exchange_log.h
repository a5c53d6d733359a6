#pragma once
// The exchange log: every request and its answer as the link's trace observer sees them, kept in
// a ring of the last 10 000 exchanges and told in words on demand. Recording copies the frames
// and nothing more; the words are built only when someone reads them.
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "link/link.h"

namespace tarnis::link {

struct ExchangeRecord {
  std::chrono::system_clock::time_point time;  // when the request went out
  std::string port_name;
  int baud_rate = 0;
  std::vector<std::uint8_t> request;
  std::vector<std::uint8_t> answer;  // empty when nothing arrived
  std::chrono::steady_clock::duration duration{};
  int retry = 0;  // 0: the request's first sending; n: its n-th repetition after a failed answer
  bool port_opened = true;
  std::string open_failure;  // why the port did not open, in words
  bool line_lost = false;    // the line went away while the answer came
  std::string note;  // not empty: a line in words between exchanges, no frames
};

inline constexpr const char* kTrailerMismatchNote = "контрольная сумма ответа не совпала";

// The request in words: "чтение параметра 0.5.2", "запись товара 17", "запрос состояния"...
std::string DescribeRequest(std::span<const std::uint8_t> request);

// True for a complete answer whose trailing end byte or checksum is not what we would send. The
// link accepts such answers (their trailer is not part of its checks); the log only notes it.
bool TrailerMismatch(Command command, std::span<const std::uint8_t> answer);

// Bytes as "17 02 00 ..." in upper-case hex.
std::string HexBytes(std::span<const std::uint8_t> bytes);

// One line: local time with milliseconds, port and speed, the command in words ("повтор n" after
// it for a repetition), the result with
// its message and the trailer note when it applies ("порт не открылся: ..." for a port that did not
// open; "линия потеряна, получено N байт" added for a lost line), the duration, then both frames in hex.
std::string FormatExchange(const ExchangeRecord& record);

class ExchangeLog {
 public:
  static constexpr std::size_t kCapacity = 10000;
  using Listener = std::function<void(const ExchangeRecord&)>;

  explicit ExchangeLog(std::size_t capacity = kCapacity) : capacity_(capacity) {}

  // Makes this log the link's trace and note observer.
  void Attach(Link& link);
  // Adds a line in words, as an operation's list of what failed.
  void AddNote(const LinkSettings& settings, const std::string& text);
  // What the trace observer hands on; a Received completes the exchange the last Sent began, with
  // what the transport reported for it (Link::last_transport).
  void Observe(const LinkSettings& settings, TraceDirection direction, std::span<const std::uint8_t> bytes,
               const TransportResult& transport = TransportResult{}, int retry = 0);
  // Keeps a record completed elsewhere (by another link's log, on another thread) and tells it.
  void Add(const ExchangeRecord& record) { Push(record); }

  // Oldest first.
  const std::deque<ExchangeRecord>& records() const { return records_; }
  void Clear() { records_.clear(); }

  // Called after each completed exchange (a window that is open, a log file).
  void SetListener(Listener listener) { listener_ = std::move(listener); }

 private:
  std::size_t capacity_;
  void Push(ExchangeRecord record);

  std::deque<ExchangeRecord> records_;
  ExchangeRecord pending_;
  std::chrono::steady_clock::time_point pending_start_;
  bool has_pending_ = false;
  Listener listener_;
};

}  // namespace tarnis::link
