#include "emulator/km07_device.h"

#include <algorithm>
#include <ctime>

#include "link/device_charset.h"
#include "link/device_errors.h"
#include "platform/cp1251_codec.h"

namespace tarnis::emulator {
namespace {

using link::Command;
using link::GetLittleEndian;
using link::PutLittleEndian;

constexpr std::size_t kTextSize = 25;
constexpr std::int64_t kSecondsPerDay = 86400;

// A default text as the program writes it, in the device character set.
std::string DeviceDefault(std::string_view utf8) { return link::ToDeviceText(Utf8ToCp1251Lossy(utf8)); }

std::string TextField(std::span<const std::uint8_t> field) {
  const auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
  return std::string(field.begin(), end);
}

void PutText(std::span<std::uint8_t> field, const std::string& text) {
  std::copy_n(text.begin(), std::min(field.size(), text.size()), field.begin());
}

std::optional<Command> KnownCommand(std::uint8_t code) {
  switch (static_cast<Command>(code)) {
    case Command::Parameter:
    case Command::Blank:
    case Command::Inn:
    case Command::Goods:
    case Command::Status:
      return static_cast<Command>(code);
  }
  return std::nullopt;
}

// A full-length answer frame: header, zero payload, end byte and checksum (set by Seal).
std::vector<std::uint8_t> Frame(std::uint8_t answer_code, std::size_t size, std::uint8_t error) {
  std::vector<std::uint8_t> frame(size, 0);
  frame[0] = link::kAnswerStart;
  frame[1] = answer_code;
  frame[2] = static_cast<std::uint8_t>(size);
  frame[3] = error;
  return frame;
}

std::vector<std::uint8_t> Frame(Command command, std::uint8_t error) {
  return Frame(link::AnswerCode(command), link::AnswerSize(command), error);
}

void Seal(std::vector<std::uint8_t>& frame) {
  const std::size_t end = frame.size() - 3;
  frame[end] = link::kEndByte;
  PutLittleEndian(frame, end + 1, link::FrameChecksum(std::span(frame).first(end + 1)), 2);
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(int year, int month, int day) {
  year -= month <= 2;
  const int era = (year >= 0 ? year : year - 399) / 400;
  const int year_of_era = year - era * 400;
  const int day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return static_cast<std::int64_t>(era) * 146097 + day_of_era - 719468;
}

bool IsValidDate(int year, int month, int day) {
  static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12 || day < 1 || day > kDays[month - 1]) return false;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return !(month == 2 && day == 29 && !leap);
}

std::int64_t LocalSecondsNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return static_cast<std::int64_t>(now) + local.tm_gmtoff;
}

}  // namespace

Km07Device::Km07Device() : host_clock_(LocalSecondsNow) {
  for (std::size_t table = 0; table < state_.texts.size(); ++table) {
    state_.texts[table].assign(kTableRows[table], std::vector<ParameterItem>(kTableFields[table]));
    state_.enabled[table].assign(kTableRows[table], 1);
  }
  for (int n = 1; n <= 32; ++n) {
    const auto number = std::to_string(n);
    state_.Text(0, n, 1) = DeviceDefault("0ОПЕРАТОР " + number);
    state_.Text(0, n, 2) = DeviceDefault("0ФАМИЛИЯ " + number);
    state_.Text(0, n, 3) = number;
  }
  state_.Text(1, 1, 1) = DeviceDefault("0СТРОКА ДСО");
  for (int s = 1; s <= 99; ++s)
    for (int line = 1; line <= 2; ++line)
      state_.Text(2, s, line) = DeviceDefault("0УСЛУГА " + std::to_string(s) + " - СТРОКА " + std::to_string(line));
  for (int r = 1; r <= 8; ++r)
    for (int line = 1; line <= 3; ++line)
      state_.Text(3, r, line) =
          DeviceDefault("0ДОП. РЕК " + std::to_string(r) + " - СТРОКА " + std::to_string(line));
  for (int c = 1; c <= 2; ++c)
    for (int line = 1; line <= 8; ++line)
      state_.Text(4, c, line) = DeviceDefault("0СТРОКА КЛИШЕ " + std::to_string(line - 1));
  state_.goods.assign(kGoodsRecords, GoodsSlot{});
}

std::optional<std::size_t> Km07Device::RequestLength(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < link::kRequestHeaderSize) return std::nullopt;
  const std::size_t length = bytes[7];
  if (length < link::kRequestHeaderSize + 3 || length > link::kFrameBufferSize) return link::kRequestHeaderSize;
  return length;
}

std::size_t Km07Device::requests_seen(Command command) const {
  return requests_seen_[static_cast<std::uint8_t>(command)];
}

std::size_t Km07Device::total_requests_seen() const { return total_requests_seen_; }

DeviceClock Km07Device::Clock() const {
  const std::int64_t seconds = host_clock_() + state_.clock_offset_seconds;
  const std::time_t as_time = static_cast<std::time_t>(seconds);
  std::tm broken{};
  gmtime_r(&as_time, &broken);
  return DeviceClock{broken.tm_mday, broken.tm_mon + 1, (broken.tm_year + 1900) % 100, broken.tm_hour,
                     broken.tm_min};
}

void Km07Device::SetDate(int year, int month, int day) {
  const std::int64_t now = host_clock_();
  const std::int64_t device_now = now + state_.clock_offset_seconds;
  const std::int64_t time_of_day = ((device_now % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;
  state_.clock_offset_seconds = DaysFromCivil(year, month, day) * kSecondsPerDay + time_of_day - now;
}

std::vector<std::uint8_t> Km07Device::Answer(std::span<const std::uint8_t> request) {
  ++total_requests_seen_;
  const std::optional<Command> command = KnownCommand(request.size() > 6 ? request[6] : 0);
  if (command) ++requests_seen_[static_cast<std::uint8_t>(*command)];
  pause_.reset();
  if (faults_.silent) return {};

  const std::optional<DrawnFault> line_fault = DrawLineFault(request);

  std::vector<std::uint8_t> answer;
  const bool well_formed = command && request.size() == link::RequestSize(*command) &&
                           request[0] == link::kRequestStart && request[1] == link::kRequestSecond &&
                           request[7] == request.size() && request[request.size() - 3] == link::kEndByte;
  if (!well_formed) {
    // Without a known command the answer size is unknown: the shortest frame goes back.
    answer = command ? Frame(*command, link::kErrorCommand)
                     : Frame(static_cast<std::uint8_t>(request.size() > 6 ? request[6] - link::kAnswerCodeOffset : 0),
                             link::kAnswerHeaderSize + 3, link::kErrorCommand);
  } else if (GetLittleEndian(request, request.size() - 2, 2) !=
             link::FrameChecksum(request.first(request.size() - 2))) {
    answer = Frame(*command, link::kErrorChecksum);
  } else if (state_.factory_number == 0) {
    answer = Frame(*command, link::kErrorFactoryNumberNotSet);
  } else if (GetLittleEndian(request, 2, 4) != state_.factory_number) {
    answer = Frame(*command, link::kErrorFactoryNumberMismatch);
  } else if (line_fault && line_fault->kind == LineFault::DeviceError) {
    answer = Refusal(*command, request, line_fault->value);
  } else {
    answer = AnswerValid(*command, request);
  }
  if (line_fault && line_fault->kind == LineFault::DeviceError) answer[3] = line_fault->value;
  Seal(answer);
  const std::size_t sealed_size = answer.size();
  ApplyFaults(answer);
  if (line_fault) ApplyLineFault(*line_fault, answer, answer.size() == sealed_size);
  return answer;
}

std::optional<DrawnFault> Km07Device::DrawLineFault(std::span<const std::uint8_t> request) {
  if (!line_faults_) return std::nullopt;
  const std::uint8_t command = request.size() > 6 ? request[6] : 0;
  const auto known = KnownCommand(command);
  const auto fault = line_faults_->Draw(known ? link::AnswerSize(*known) : link::kAnswerHeaderSize + 3,
                                        static_cast<std::uint8_t>(command - link::kAnswerCodeOffset));
  if (fault) line_faults_->Record(fault->kind, std::vector<std::uint8_t>(request.begin(), request.end()));
  return fault;
}

void Km07Device::ApplyLineFault(const DrawnFault& fault, std::vector<std::uint8_t>& answer, bool whole) {
  // The fixed faults may have left any part of the answer, none of it included.
  const auto put = [&answer](std::size_t at, std::uint8_t value) {
    if (at < answer.size()) answer[at] = value;
  };
  switch (fault.kind) {
    case LineFault::Silence: answer.clear(); return;
    case LineFault::Cut: answer.resize(std::min(fault.after, answer.size())); return;
    case LineFault::WrongStart: put(0, fault.value); break;
    case LineFault::WrongLength: put(2, fault.value); break;
    case LineFault::WrongCode: put(1, fault.value); break;
    case LineFault::DeviceError: return;
    case LineFault::Pause: pause_ = AnswerPause{std::min(fault.after, answer.size()), fault.pause}; return;
  }
  // The device sums what it sends, wrong header byte and all; a cut answer has no trailer left.
  if (whole) Seal(answer);
}

std::vector<std::uint8_t> Km07Device::Refusal(Command command, std::span<const std::uint8_t> request,
                                              std::uint8_t code) const {
  auto answer = Frame(command, code);
  // The attribute byte goes with every parameter answer whose address exists.
  if (command == Command::Parameter && request[9] < 5 && request[10] >= 1 && request[10] <= kTableRows[request[9]])
    answer[6] = state_.enabled[request[9]][request[10] - 1];
  return answer;
}

void Km07Device::ApplyFaults(std::vector<std::uint8_t>& answer) const {
  if (faults_.length_byte) answer[2] = *faults_.length_byte;
  if (faults_.answer_code) answer[1] = *faults_.answer_code;
  if (faults_.cut_after && *faults_.cut_after < answer.size()) answer.resize(*faults_.cut_after);
}

std::optional<std::uint8_t> Km07Device::ForcedErrorFor(Command command, std::span<const std::uint8_t> request) const {
  for (const ForcedError& forced : faults_.forced_errors) {
    if (forced.command != command) continue;
    std::optional<std::uint8_t> table, field;
    std::optional<std::uint16_t> row;
    switch (command) {
      case Command::Parameter:
        table = request[9];
        row = request[10];
        field = request[11];
        break;
      case Command::Blank: row = request[9]; break;
      case Command::Goods: row = static_cast<std::uint16_t>(GetLittleEndian(request, 9, 2)); break;
      case Command::Inn:
      case Command::Status: break;
    }
    const auto matches = [](const auto& wanted, const auto& actual) { return !wanted || wanted == actual; };
    if (matches(forced.table, table) && matches(forced.row, row) && matches(forced.field, field)) return forced.code;
  }
  return std::nullopt;
}

std::vector<std::uint8_t> Km07Device::AnswerValid(Command command, std::span<const std::uint8_t> request) {
  if (const auto forced = ForcedErrorFor(command, request)) return Refusal(command, request, *forced);
  switch (command) {
    case Command::Parameter: return AnswerParameter(request);
    case Command::Blank: return AnswerBlank(request);
    case Command::Inn: return AnswerInn(request);
    case Command::Goods: return AnswerGoods(request);
    case Command::Status: return AnswerStatus();
  }
  return Frame(command, link::kErrorCommand);
}

std::vector<std::uint8_t> Km07Device::AnswerParameter(std::span<const std::uint8_t> request) {
  const std::uint8_t mode = request[8], table = request[9], row = request[10], field = request[11];
  if (mode > 1 || table >= 5 || row < 1 || row > kTableRows[table] || field < 1 || field > kTableFields[table])
    return Frame(Command::Parameter, link::kErrorBadParameter);
  auto answer = Frame(Command::Parameter, 0);
  answer[6] = state_.enabled[table][row - 1];
  const bool writing = mode == 0;
  if (table == 4 && state_.cliche_locked[row - 1]) {
    answer[3] = link::kErrorBadParameter;
  } else if (writing && (state_.mode & 0x0F) == kSubmodeWorking) {
    answer[3] = kErrorWorkingMode;
  } else if (writing && answer[6] == 0) {
    answer[3] = link::kErrorRecordInUse;
  } else if (writing) {
    state_.Text(table, row, field) = TextField(request.subspan(12, kTextSize));
  }
  if (answer[3] == 0) PutText(std::span(answer).subspan(8, kTextSize), state_.Text(table, row, field));
  return answer;
}

std::vector<std::uint8_t> Km07Device::AnswerBlank(std::span<const std::uint8_t> request) {
  const std::uint8_t mode = request[8], number = request[9];
  if (mode > 1 || number < 1 || number > kBlankCount) return Frame(Command::Blank, link::kErrorBadParameter);
  BlankSlot& slot = state_.blanks[number - 1];
  if (mode == 0) {
    const std::uint8_t variant = request[10], requisite = request[11], type_sk = request[12];
    if (variant > 6 || requisite > 8 || type_sk > 3) return Frame(Command::Blank, link::kErrorBadParameter);
    slot = BlankSlot{true, variant, requisite, type_sk};
  }
  auto answer = Frame(Command::Blank, 0);
  if (slot.held) {
    answer[4] = number;
    answer[5] = slot.variant;
    answer[6] = slot.requisite;
    answer[7] = slot.type_sk;
  }
  return answer;
}

std::vector<std::uint8_t> Km07Device::AnswerInn(std::span<const std::uint8_t> request) {
  if (state_.inn_set) return Frame(Command::Inn, link::kErrorInnAlreadySet);
  const auto password = static_cast<std::uint32_t>(GetLittleEndian(request, 8, 4));
  const int day = request[12], month = request[13], year = 2000 + request[14];
  const std::uint8_t group = request[15];
  if ((state_.password != 0 && password != state_.password) || group < 1 || group > 3 ||
      !IsValidDate(year, month, day))
    return Frame(Command::Inn, link::kErrorBadParameter);
  state_.inn = GetLittleEndian(request, 16, 6);
  state_.inn_set = true;
  state_.group = group;
  SetDate(year, month, day);
  // Working mode: the blanks programmed before are erased and must be entered anew.
  for (BlankSlot& blank : state_.blanks) blank = BlankSlot{false, 0, 0, 0};
  state_.mode = static_cast<std::uint8_t>((state_.mode & 0xF0) | kSubmodeWorking);
  return Frame(Command::Inn, 0);
}

std::vector<std::uint8_t> Km07Device::AnswerGoods(std::span<const std::uint8_t> request) {
  const std::uint8_t mode = request[8];
  const auto record = GetLittleEndian(request, 9, 2);
  if (mode > 1 || record >= kGoodsRecords) return Frame(Command::Goods, link::kErrorBadParameter);
  GoodsSlot& slot = state_.goods[record];
  if (mode == 0) {
    const std::uint64_t price = GetLittleEndian(request, 42, 5);
    if (price > kMaxPrice) return Frame(Command::Goods, link::kErrorPriceTooWide);
    slot = GoodsSlot{TextField(request.subspan(11, kTextSize)), GetLittleEndian(request, 36, 6), request[47], price};
  }
  auto answer = Frame(Command::Goods, 0);
  PutText(std::span(answer).subspan(6, kTextSize), slot.name);
  PutLittleEndian(answer, 31, slot.barcode, 6);
  PutLittleEndian(answer, 37, slot.price, 5);
  answer[42] = slot.section;
  return answer;
}

std::vector<std::uint8_t> Km07Device::AnswerStatus() {
  auto answer = Frame(Command::Status, 0);
  const DeviceClock clock = Clock();
  answer[4] = state_.mode;
  answer[5] = state_.flash;
  answer[6] = state_.group;
  answer[7] = state_.battery;
  PutLittleEndian(answer, 8, state_.document_number, 2);
  answer[10] = state_.document_state;
  answer[11] = static_cast<std::uint8_t>(clock.day);
  answer[12] = static_cast<std::uint8_t>(clock.month);
  answer[13] = static_cast<std::uint8_t>(clock.year);
  answer[14] = static_cast<std::uint8_t>(clock.hours);
  answer[15] = static_cast<std::uint8_t>(clock.minutes);
  PutLittleEndian(answer, 16, state_.factory_number, 4);
  PutLittleEndian(answer, 22, state_.inn, 6);
  return answer;
}

}  // namespace tarnis::emulator
