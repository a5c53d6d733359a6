#pragma once
// Line faults drawn at random before answers, as a real line and device produce them now and
// then: the same seed gives the same faults for the same requests.
#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarnis::emulator {

enum class LineFault : std::uint8_t {
  Silence,      // no answer at all; the request was still carried out
  Cut,          // the answer stops after a random number of bytes
  WrongStart,   // another first byte
  WrongLength,  // another length byte
  WrongCode,    // another command's answer code
  DeviceError,  // the request arrived damaged: error 20, 21 or 22, and it is not carried out
  Pause,        // a pause longer than 100 ms in the middle of the answer
};
constexpr std::size_t kLineFaultKinds = 7;

// "silence", "cut", "wrong start", "wrong length", "wrong code", "device error", "pause".
const char* LineFaultName(LineFault fault);

// The longest pause is well below the host's default inter-byte time-out (250 ms), so a host
// with that setting takes the answer whole.
constexpr std::chrono::milliseconds kShortestFaultPause{110};
constexpr std::chrono::milliseconds kLongestFaultPause{150};

// One fault with what it needs: Cut and Pause act after `after` bytes (1..size−1); WrongStart,
// WrongLength, WrongCode and DeviceError put `value` into their byte.
struct DrawnFault {
  LineFault kind = LineFault::Silence;
  std::size_t after = 0;
  std::uint8_t value = 0;
  std::chrono::milliseconds pause{0};
};

// One injected fault as the log keeps it: its kind and the request it answered.
struct InjectedFault {
  LineFault kind;
  std::vector<std::uint8_t> request;
};

class LineFaults {
 public:
  // rate: the probability 0..1 that an answer gets a fault.
  LineFaults(double rate, std::uint64_t seed);

  // Before each answer of answer_size bytes whose right answer code is answer_code: a fault or
  // nothing. Draws the same sequence for the same seed, whatever the platform.
  std::optional<DrawnFault> Draw(std::size_t answer_size, std::uint8_t answer_code);
  void Record(LineFault kind, std::vector<std::uint8_t> request);

  std::size_t answers() const { return answers_; }
  const std::vector<InjectedFault>& log() const { return log_; }
  std::size_t Count(LineFault kind) const { return counts_[static_cast<std::size_t>(kind)]; }
  // "<answers> answers, <n> faults injected: silence 3, cut 1, ..."
  std::string Summary() const;

 private:
  std::uint64_t Next();
  std::uint64_t Below(std::uint64_t bound) { return Next() % bound; }

  double rate_;
  std::uint64_t state_;
  std::size_t answers_ = 0;
  std::array<std::size_t, kLineFaultKinds> counts_{};
  std::vector<InjectedFault> log_;
};

}  // namespace tarnis::emulator
