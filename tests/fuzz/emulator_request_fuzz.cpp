// A stream of request bytes to the emulated device, cut into frames as its server cuts them.
// The first byte chooses repairs that let the input reach deeper: bit 0 seals every frame with
// its end byte and checksum, bit 1 addresses the device's factory number; bit 2 turns random line
// faults on; bit 3 cuts every answer after the number of bytes in bits 4-7 and makes every answer
// get a line fault on top. Every answer without a fault is one whole frame of its command's size
// with a valid checksum, a cut one is no longer than the cut, and the memory changes only for a
// write the device took (never under a device-error fault, which refuses the request).
#include <string>
#include <vector>

#include "emulator/km07_device.h"
#include "fuzz_check.h"

using namespace tarnis;

namespace {

bool IsWrite(const std::vector<std::uint8_t>& request) {
  switch (static_cast<link::Command>(request[6])) {
    case link::Command::Parameter:
    case link::Command::Blank:
    case link::Command::Goods: return request.size() > 8 && request[8] == 0;
    case link::Command::Inn: return true;
    case link::Command::Status: return false;
  }
  return false;
}

// A 64-bit digest of the whole memory: copying it for every request would cost more than the
// device itself.
class Digest {
 public:
  explicit Digest(const emulator::DeviceState& s) {
    Add(s.factory_number, s.mode, s.flash, s.group, s.battery, s.document_number, s.document_state, s.password,
        s.inn_set, s.inn, s.clock_offset_seconds, s.cliche_locked[0], s.cliche_locked[1]);
    for (std::size_t table = 0; table < s.texts.size(); ++table) {
      for (const auto& row : s.texts[table])
        for (const auto& item : row) Text(item.text);
      for (const std::uint8_t enabled : s.enabled[table]) Add(enabled);
    }
    for (const auto& blank : s.blanks) Add(blank.held, blank.variant, blank.requisite, blank.type_sk);
    for (const auto& goods : s.goods) {
      Text(goods.name);
      Add(goods.barcode, goods.section, goods.price);
    }
  }
  bool operator==(const Digest&) const = default;

 private:
  template <class... T>
  void Add(T... values) {
    ((value_ = (value_ ^ static_cast<std::uint64_t>(values)) * 0x100000001B3ULL), ...);
  }
  void Text(const std::string& text) {
    Add(text.size());
    for (const char c : text) Add(static_cast<unsigned char>(c));
  }
  std::uint64_t value_ = 0xCBF29CE484222325ULL;
};

void CheckFrame(const std::vector<std::uint8_t>& request, const std::vector<std::uint8_t>& answer) {
  FUZZ_CHECK(answer.size() >= link::kAnswerHeaderSize + 3);
  FUZZ_CHECK(answer[0] == link::kAnswerStart);
  FUZZ_CHECK(answer[2] == answer.size());
  const auto command = static_cast<link::Command>(request[6]);
  bool known = false;
  for (const auto c : {link::Command::Parameter, link::Command::Blank, link::Command::Inn, link::Command::Goods,
                       link::Command::Status})
    known = known || c == command;
  if (known) {
    FUZZ_CHECK(answer.size() == link::AnswerSize(command));
    FUZZ_CHECK(answer[1] == link::AnswerCode(command));
  }
  const std::size_t end = answer.size() - 3;
  FUZZ_CHECK(answer[end] == link::kEndByte);
  FUZZ_CHECK(link::GetLittleEndian(answer, end + 1, 2) == link::FrameChecksum(std::span(answer).first(end + 1)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool seal = data[0] & 1, address = data[0] & 2;
  static const emulator::Km07Device fresh;
  emulator::Km07Device device = fresh;
  device.SetHostClock([] { return std::int64_t{1'780'000'000}; });
  const bool cut = data[0] & 8;
  const std::size_t cut_after = data[0] >> 4;
  if (cut) device.faults().cut_after = cut_after;
  if (data[0] & 4) device.InjectLineFaults(cut ? 1.0 : 0.3, data[0]);
  std::vector<std::uint8_t> pending(data + 1, data + size);
  while (true) {
    const auto length = emulator::Km07Device::RequestLength(pending);
    if (!length || pending.size() < *length) break;
    std::vector<std::uint8_t> request(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(*length));
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(*length));
    if (address && request.size() >= 6) link::PutLittleEndian(request, 2, device.state().factory_number, 4);
    if (seal && request.size() >= link::kRequestHeaderSize + 3) {
      const std::size_t end = request.size() - 3;
      request[end] = link::kEndByte;
      link::PutLittleEndian(request, end + 1, link::FrameChecksum(std::span(request).first(end + 1)), 2);
    }

    const Digest before(device.state());
    const std::size_t faults_before = device.line_faults() ? device.line_faults()->log().size() : 0;
    const std::vector<std::uint8_t> answer = device.Answer(request);
    const bool faulted = device.line_faults() && device.line_faults()->log().size() > faults_before;
    const auto fault = faulted ? device.line_faults()->log().back().kind : emulator::LineFault::Silence;
    if (cut) {
      FUZZ_CHECK(answer.size() <= cut_after);
    } else if (!faulted || fault == emulator::LineFault::DeviceError || fault == emulator::LineFault::Pause) {
      CheckFrame(request, answer);
    }
    if (faulted && fault == emulator::LineFault::Pause)
      FUZZ_CHECK(device.pause()->after < answer.size() || (cut && device.pause()->after == answer.size()));
    // A cut before the error byte leaves it unknown: only a read must then leave the memory alone.
    const bool refused =
        faulted ? fault == emulator::LineFault::DeviceError : answer.size() > 3 && answer[3] != 0;
    if (refused || !IsWrite(request)) FUZZ_CHECK(Digest(device.state()) == before);
  }
  return 0;
}
