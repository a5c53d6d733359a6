#pragma once
// The program's one link to the device: its settings, its transport, one exchange at a time.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "link/frame.h"
#include "link/link_result.h"
#include "link/link_settings.h"
#include "link/transport.h"

namespace tarnis::link {

enum class TraceDirection { Sent, Received };
using TraceObserver = std::function<void(TraceDirection, std::span<const std::uint8_t>)>;
// Why an exchange failed before a whole answer could come: the port did not open, or the line went
// away. One line in the user's words ("Порт /dev/ttyUSB0 занят программой minicom (PID 4242).");
// empty when there is nothing to add.
using FailureExplainer = std::function<std::string(const LinkSettings&, const TransportResult&)>;
using NoteObserver = std::function<void(const std::string&)>;

// An answer that passed validation up to the point its result says.
struct Answer {
  CommandResult status;
  std::vector<std::uint8_t> bytes;  // what arrived, at most AnswerSize(command)
  bool header_passed = false;       // start, length and code checks passed; the error byte is read
  // The header passed, the command's whole answer arrived and its end byte and checksum match:
  // only such a frame reports anything beyond its result, as the attribute of an error answer.
  bool whole_frame = false;
  // What the transport reported: a port that did not open (nothing was sent) and why, or a line
  // lost while the answer came. The result stays NoAnswer / BadStart as the checks decide; the
  // reason, when there is one, is the message's second line.
  TransportResult transport;
};

// The checks of Link::Exchange on the bytes that arrived for a request of command; observers of
// the trace reach the same result with it.
Answer ValidateAnswer(Command command, std::vector<std::uint8_t> bytes);

class Link {
 public:
  explicit Link(Transport& transport) : transport_(transport) {}

  LinkSettings& settings() { return settings_; }
  const LinkSettings& settings() const { return settings_; }

  bool CheckPort() { return transport_.CheckPort(settings_); }

  // Sends one request and validates its answer: NoAnswer when nothing arrived; BadStart when the
  // start byte is wrong, the length byte differs from the count received (except for the status
  // request) or the answer is too short for its command; BadCode for another command's answer;
  // DeviceError for a non-zero error byte. Never throws. With settings().retries, a NoAnswer,
  // BadStart or BadCode from a port that opened, or the device's word that the request reached it
  // damaged (DamagedOnTheLine), is sent again, up to that many times, except the ИНН request: a
  // lost answer to a write that went through would come back as an error.
  Answer Exchange(Command command, std::span<const std::uint8_t> payload);

  // While a request is being sent again: which repetition (1..); 0 for a first sending.
  int retry() const { return retry_; }
  // Gives the reason line of a port that did not open or a line that was lost. Without one, the
  // transport's own words, when it gave some.
  void SetFailureExplainer(FailureExplainer explainer) { explainer_ = std::move(explainer); }
  // What the transport reported for the last exchange, open_failure holding the reason told.
  const TransportResult& last_transport() const { return last_transport_; }

  // Observes every frame written and read; off unless set. Every Sent is followed by one
  // Received, with no bytes when nothing arrived.
  void SetTraceObserver(TraceObserver observer) { observer_ = std::move(observer); }
  // A line in words for whoever logs the exchanges, as what a run of requests did not do.
  void SetNoteObserver(NoteObserver observer) { note_observer_ = std::move(observer); }
  void Note(const std::string& text) const {
    if (note_observer_) note_observer_(text);
  }

  // One device operation at a time: a whole transfer holds the link for all its exchanges.
  bool busy() const { return busy_; }

  class Operation {
   public:
    explicit Operation(Link& link) : link_(link.busy_ ? nullptr : &link) {
      if (!link_) return;
      link_->busy_ = true;
      link_->transport_.Hold(true);
    }
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;
    ~Operation() {
      if (!link_) return;
      link_->transport_.Hold(false);
      link_->busy_ = false;
    }
    // False when another operation already holds the link.
    explicit operator bool() const { return link_ != nullptr; }

   private:
    Link* link_;
  };

 private:
  Transport& transport_;
  LinkSettings settings_;
  TraceObserver observer_;
  FailureExplainer explainer_;
  TransportResult last_transport_;
  NoteObserver note_observer_;
  bool busy_ = false;
  int retry_ = 0;

  Answer ExchangeOnce(Command command, std::span<const std::uint8_t> request);
};

}  // namespace tarnis::link
