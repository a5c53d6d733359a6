#pragma once
// The ОРМИЗ КМ-07 as the host sees it: complete request frames in, answer frames out.
// A pure state machine with no I/O; PtyServer runs it on a pseudo-terminal.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "emulator/line_faults.h"
#include "link/frame.h"

namespace tarnis::emulator {

// The parameter map: rows and fields per table (operators, document name, services,
// additional requisites, clichés).
constexpr std::array<std::uint8_t, 5> kTableRows{32, 1, 99, 8, 2};
constexpr std::array<std::uint8_t, 5> kTableFields{3, 1, 2, 3, 8};
constexpr std::size_t kGoodsRecords = 1001;
constexpr std::size_t kBlankCount = 8;
// The widest price the device takes, in kopecks: 999 999 999.00 roubles.
constexpr std::uint64_t kMaxPrice = 99'999'999'900ULL;

// Operating mode (high four bits) and submode (low four bits) of the status answer.
constexpr std::uint8_t kSubmodeProgramming = 0;  // "Реж. П": texts and blanks may be programmed
constexpr std::uint8_t kSubmodeWorking = 1;      // "Реж. Р": after the INN; texts are fixed
constexpr std::uint8_t kErrorWorkingMode = 30;   // " Ошибка выполнения команды в режиме Р."

// Texts are held as the device holds them: in its own character set, at most 25 bytes.
struct ParameterItem {
  std::string text;
  bool operator==(const ParameterItem&) const = default;
};

struct BlankSlot {
  bool held = true;  // false: the device answers number 0 for this blank
  std::uint8_t variant = 0;
  std::uint8_t requisite = 0;
  std::uint8_t type_sk = 0;
  bool operator==(const BlankSlot&) const = default;
};

struct GoodsSlot {
  std::string name;  // device text, up to 25 bytes
  std::uint64_t barcode = 0;
  std::uint8_t section = 0;
  std::uint64_t price = 0;
  bool operator==(const GoodsSlot&) const = default;
};

// A chosen device error for a chosen command and, optionally, address
// (parameter: table/row/field; blank: number; goods: record).
struct ForcedError {
  link::Command command = link::Command::Parameter;
  std::optional<std::uint8_t> table;
  std::optional<std::uint16_t> row;  // parameter row, blank number or goods record
  std::optional<std::uint8_t> field;
  std::uint8_t code = 0;
};

struct Faults {
  bool silent = false;                          // answers nothing
  std::optional<std::size_t> cut_after;         // sends only the first N bytes of an answer
  std::optional<std::uint8_t> length_byte;      // puts this in the answer's length byte
  std::optional<std::uint8_t> answer_code;      // puts this in the answer's code byte
  std::vector<ForcedError> forced_errors;
  int baud_rate = 0;                            // > 0: PtyServer paces bytes at 10 bits per byte
  int line_speed = 0;                           // > 0: PtyServer answers only a client at this speed
};

struct DeviceState {
  std::uint32_t factory_number = 1;  // 0: not set (every command answers 50)
  // texts[table][row-1][field-1] and enabled[table][row-1] along the parameter map. The enabled
  // byte is the attribute of every parameter answer; writes to an item whose byte is 0 answer 52.
  std::array<std::vector<std::vector<ParameterItem>>, 5> texts;
  std::array<std::vector<std::uint8_t>, 5> enabled;
  std::array<bool, 2> cliche_locked{false, false};  // a locked cliché answers 51
  std::array<BlankSlot, kBlankCount> blanks;
  std::vector<GoodsSlot> goods;  // kGoodsRecords records
  std::uint8_t mode = 0x10;      // high nibble mode, low nibble submode
  std::uint8_t flash = 0;
  std::uint8_t group = 1;
  std::uint8_t battery = 0;
  std::uint16_t document_number = 1;
  std::uint8_t document_state = 0;
  std::uint32_t password = 0;    // the INN password the device expects; 0 takes any
  bool inn_set = false;
  std::uint64_t inn = 0;
  std::int64_t clock_offset_seconds = 0;  // device clock = host local clock + offset

  bool operator==(const DeviceState&) const = default;

  std::string& Text(std::uint8_t table, std::uint8_t row, std::uint8_t field) {
    return texts[table][row - 1][field - 1].text;
  }
  const std::string& Text(std::uint8_t table, std::uint8_t row, std::uint8_t field) const {
    return texts[table][row - 1][field - 1].text;
  }
};

// The device's clock reading, broken down as the status answer carries it.
struct DeviceClock {
  int day = 1, month = 1, year = 0;  // year: two digits
  int hours = 0, minutes = 0;
};

class Km07Device {
 public:
  Km07Device();  // default texts, every item enabled, all blanks held, empty goods base

  // Number of bytes the frame starting in bytes needs, once its header has arrived; nothing
  // while fewer than 8 bytes are there. A length byte that no frame can have gives the header
  // alone, which is answered as a bad command at once.
  static std::optional<std::size_t> RequestLength(std::span<const std::uint8_t> bytes);

  // Answers one complete request; an empty answer is silence. Faults apply here, except the
  // per-byte delay, which is the server's.
  std::vector<std::uint8_t> Answer(std::span<const std::uint8_t> request);

  DeviceState& state() { return state_; }
  const DeviceState& state() const { return state_; }
  Faults& faults() { return faults_; }
  const Faults& faults() const { return faults_; }

  // From now on draws a line fault before each answer with probability rate.
  void InjectLineFaults(double rate, std::uint64_t seed) { line_faults_.emplace(rate, seed); }
  const std::optional<LineFaults>& line_faults() const { return line_faults_; }
  // A pause the last answer makes after its first `after` bytes; the server carries it out.
  struct AnswerPause {
    std::size_t after = 0;
    std::chrono::milliseconds duration{0};
  };
  const std::optional<AnswerPause>& pause() const { return pause_; }

  // Requests answered so far, by command; tests count exchanges with it.
  std::size_t requests_seen(link::Command command) const;
  std::size_t total_requests_seen() const;

  // The host's local clock in seconds since 1970 (local midnight is a multiple of 86400);
  // tests replace it to freeze time.
  void SetHostClock(std::function<std::int64_t()> local_seconds) { host_clock_ = std::move(local_seconds); }
  DeviceClock Clock() const;
  // Sets the device date, keeping its time of day.
  void SetDate(int year, int month, int day);

 private:
  std::vector<std::uint8_t> AnswerValid(link::Command command, std::span<const std::uint8_t> request);
  std::vector<std::uint8_t> AnswerParameter(std::span<const std::uint8_t> request);
  std::vector<std::uint8_t> AnswerBlank(std::span<const std::uint8_t> request);
  std::vector<std::uint8_t> AnswerInn(std::span<const std::uint8_t> request);
  std::vector<std::uint8_t> AnswerGoods(std::span<const std::uint8_t> request);
  std::vector<std::uint8_t> AnswerStatus();
  std::optional<std::uint8_t> ForcedErrorFor(link::Command command, std::span<const std::uint8_t> request) const;
  void ApplyFaults(std::vector<std::uint8_t>& answer) const;
  std::vector<std::uint8_t> Refusal(link::Command command, std::span<const std::uint8_t> request,
                                    std::uint8_t code) const;
  std::optional<DrawnFault> DrawLineFault(std::span<const std::uint8_t> request);
  // whole: the fixed faults left the sealed answer's length as it was.
  void ApplyLineFault(const DrawnFault& fault, std::vector<std::uint8_t>& answer, bool whole);

  DeviceState state_;
  Faults faults_;
  std::array<std::size_t, 256> requests_seen_{};
  std::size_t total_requests_seen_ = 0;
  std::function<std::int64_t()> host_clock_;
  std::optional<LineFaults> line_faults_;
  std::optional<AnswerPause> pause_;
};

}  // namespace tarnis::emulator
