#include "emulator/line_faults.h"

#include "link/device_errors.h"
#include "link/frame.h"

namespace tarnis::emulator {
namespace {

constexpr std::array<std::uint8_t, 5> kAnswerCodes{
    link::AnswerCode(link::Command::Parameter), link::AnswerCode(link::Command::Blank),
    link::AnswerCode(link::Command::Inn), link::AnswerCode(link::Command::Goods),
    link::AnswerCode(link::Command::Status)};

}  // namespace

const char* LineFaultName(LineFault fault) {
  switch (fault) {
    case LineFault::Silence: return "silence";
    case LineFault::Cut: return "cut";
    case LineFault::WrongStart: return "wrong start";
    case LineFault::WrongLength: return "wrong length";
    case LineFault::WrongCode: return "wrong code";
    case LineFault::DeviceError: return "device error";
    case LineFault::Pause: return "pause";
  }
  return "?";
}

LineFaults::LineFaults(double rate, std::uint64_t seed) : rate_(rate), state_(seed) {}

// splitmix64: small, fast and fixed by its definition, unlike the standard distributions.
std::uint64_t LineFaults::Next() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

std::optional<DrawnFault> LineFaults::Draw(std::size_t answer_size, std::uint8_t answer_code) {
  ++answers_;
  const double chance = static_cast<double>(Next() >> 11) * 0x1.0p-53;
  if (!(chance < rate_)) return std::nullopt;
  DrawnFault fault;
  fault.kind = static_cast<LineFault>(Below(kLineFaultKinds));
  const std::size_t inner = answer_size > 1 ? answer_size - 1 : 1;
  switch (fault.kind) {
    case LineFault::Silence: break;
    case LineFault::Cut: fault.after = 1 + Below(inner); break;
    case LineFault::Pause:
      fault.after = 1 + Below(inner);
      fault.pause = kShortestFaultPause +
                    std::chrono::milliseconds(Below((kLongestFaultPause - kShortestFaultPause).count() + 1));
      break;
    case LineFault::WrongStart: fault.value = static_cast<std::uint8_t>(link::kAnswerStart + 1 + Below(255)); break;
    case LineFault::WrongLength: fault.value = static_cast<std::uint8_t>(answer_size + 1 + Below(255)); break;
    case LineFault::WrongCode: {
      // Another command's answer code; an unknown command's answer may get any of the five.
      std::size_t index = Below(kAnswerCodes.size());
      if (kAnswerCodes[index] == answer_code) index = (index + 1 + Below(kAnswerCodes.size() - 1)) % kAnswerCodes.size();
      fault.value = kAnswerCodes[index];
      break;
    }
    case LineFault::DeviceError: {
      // What a device answers to a request the line damaged; any other refusal is its own doing.
      constexpr std::array<std::uint8_t, 3> kDamaged{link::kErrorInterface, link::kErrorChecksum, link::kErrorCommand};
      fault.value = kDamaged[Below(kDamaged.size())];
      break;
    }
  }
  return fault;
}

void LineFaults::Record(LineFault kind, std::vector<std::uint8_t> request) {
  ++counts_[static_cast<std::size_t>(kind)];
  log_.push_back({kind, std::move(request)});
}

std::string LineFaults::Summary() const {
  std::string text = std::to_string(answers_) + " answers, " + std::to_string(log_.size()) + " faults injected";
  for (std::size_t kind = 0; kind < kLineFaultKinds; ++kind)
    text += std::string(kind == 0 ? ": " : ", ") + LineFaultName(static_cast<LineFault>(kind)) + " " +
            std::to_string(counts_[kind]);
  return text;
}

}  // namespace tarnis::emulator
