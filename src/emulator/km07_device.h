#pragma once
// The ОРМИЗ КМ-07 as the host sees it: complete request frames in, answer frames out.
// A pure state machine with no I/O; PtyServer runs it on a pseudo-terminal.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "link/frame.h"

namespace tarnis::emulator {

// Texts are held as the device holds them: in its own character set, at most 25 bytes.
struct ParameterItem {
  std::string text;
};

struct BlankSlot {
  bool held = true;  // false: the device answers number 0 for this blank
  std::uint8_t variant = 0;
  std::uint8_t requisite = 0;
  std::uint8_t type_sk = 0;
};

struct GoodsSlot {
  std::string name;  // device text, up to 25 bytes
  std::uint64_t barcode = 0;
  std::uint8_t section = 0;
  std::uint64_t price = 0;
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
};

struct DeviceState {
  std::uint32_t factory_number = 1;  // 0: not set (every command answers 50)
  // Parameter map: table 0 operators 32×3, 1 document name 1×1, 2 services 99×2,
  // 3 requisites 8×3, 4 clichés 2×8. enabled[table][row-1] for tables 0, 2 and 3.
  std::array<std::vector<std::vector<ParameterItem>>, 5> texts;
  std::array<std::vector<std::uint8_t>, 5> enabled;
  std::array<bool, 2> cliche_locked{false, false};  // a locked cliché answers 51
  std::array<BlankSlot, 8> blanks;
  std::vector<GoodsSlot> goods;  // 1001 records
  std::uint8_t mode = 0x10;      // high nibble mode, low nibble submode
  std::uint8_t flash = 0;
  std::uint8_t group = 1;
  std::uint8_t battery = 0;
  std::uint16_t document_number = 1;
  std::uint8_t document_state = 0;
  std::uint32_t password = 0;    // the INN password the device expects; 0 takes any
  bool inn_set = false;
  std::uint64_t inn = 0;
  std::int64_t clock_offset_seconds = 0;  // device clock = host clock + offset
};

class Km07Device {
 public:
  Km07Device();  // default texts, every item enabled, all blanks held, empty goods base

  // Number of bytes the frame starting in bytes needs, once its header has arrived; nothing
  // while fewer than 8 bytes are there.
  static std::optional<std::size_t> RequestLength(std::span<const std::uint8_t> bytes);

  // Answers one complete request; an empty answer is silence. Faults apply here, except the
  // per-byte delay, which is the server's.
  std::vector<std::uint8_t> Answer(std::span<const std::uint8_t> request);

  DeviceState& state() { return state_; }
  const DeviceState& state() const { return state_; }
  Faults& faults() { return faults_; }

  // Requests answered so far, by command; tests count exchanges with it.
  std::size_t requests_seen(link::Command command) const;
  std::size_t total_requests_seen() const;

 private:
  DeviceState state_;
  Faults faults_;
  std::array<std::size_t, 256> requests_seen_{};
};

}  // namespace tarnis::emulator
