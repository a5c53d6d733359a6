#include "link/commands.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>
#include <span>

namespace tarnis::link {
namespace {

constexpr std::uint64_t kLow48 = (std::uint64_t{1} << 48) - 1;
constexpr std::uint64_t kLow40 = (std::uint64_t{1} << 40) - 1;

// Copies text into a zero-padded field, stopping at the text's first zero.
void PutText(std::span<std::uint8_t> field, std::string_view text) {
  const auto end = std::find(text.begin(), text.end(), '\0');
  const auto count = std::min<std::size_t>(field.size(), static_cast<std::size_t>(end - text.begin()));
  std::copy_n(text.begin(), count, field.begin());
}

// A zero-padded field read up to its first zero.
std::string GetText(std::span<const std::uint8_t> field) {
  const auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
  return std::string(field.begin(), end);
}

std::uint64_t BarcodeNumber(std::string_view text) {
  std::int64_t value = 0;
  std::string_view digits = text;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) return 0;
  return static_cast<std::uint64_t>(value);
}

}  // namespace

ParameterReply ExchangeParameter(Link& link, Mode mode, std::uint8_t table, std::uint8_t row, std::uint8_t field,
                                 std::string_view device_text) {
  std::array<std::uint8_t, 29> payload{};
  payload[0] = static_cast<std::uint8_t>(mode);
  payload[1] = table;
  payload[2] = row;
  payload[3] = field;
  if (mode == Mode::Write) {
    // A wide text carries the attribute and 12 characters; the rest of the field stays zero.
    const std::size_t width = (!device_text.empty() && device_text.front() == '1') ? 13 : kDeviceTextSize;
    PutText(std::span(payload).subspan(4, width), device_text);
  }
  const Answer answer = link.Exchange(Command::Parameter, payload);
  ParameterReply reply;
  static_cast<CommandResult&>(reply) = answer.status;
  if (answer.whole_frame) reply.attribute = answer.bytes[6];
  if (reply.ok() && mode == Mode::Read) reply.text = GetText(std::span(answer.bytes).subspan(8, kDeviceTextSize));
  return reply;
}

BlankReply ExchangeBlank(Link& link, Mode mode, const BlankFields& fields) {
  const std::array<std::uint8_t, 5> payload{static_cast<std::uint8_t>(mode), fields.number, fields.variant,
                                            fields.requisite, fields.type_sk};
  const Answer answer = link.Exchange(Command::Blank, payload);
  BlankReply reply;
  static_cast<CommandResult&>(reply) = answer.status;
  reply.fields = fields;
  if (reply.ok() && mode == Mode::Read)
    reply.fields = BlankFields{answer.bytes[4], answer.bytes[5], answer.bytes[6], answer.bytes[7]};
  return reply;
}

std::int64_t InnNumber(std::string_view inn_text) {
  const std::string text(inn_text);
  return std::strtoll(text.c_str(), nullptr, 10);
}

CommandResult ProgramInn(Link& link, const InnRequest& request) {
  std::array<std::uint8_t, 14> payload{};
  PutLittleEndian(payload, 0, static_cast<std::uint32_t>(request.password), 4);
  payload[4] = request.day;
  payload[5] = request.month;
  payload[6] = request.year;
  payload[7] = request.group;
  PutLittleEndian(payload, 8, static_cast<std::uint64_t>(InnNumber(request.inn_text)) & kLow48, 6);
  return link.Exchange(Command::Inn, payload).status;
}

GoodsReply ExchangeGoods(Link& link, Mode mode, std::uint16_t record, const GoodsFields& fields) {
  std::array<std::uint8_t, 40> payload{};
  payload[0] = static_cast<std::uint8_t>(mode);
  PutLittleEndian(payload, 1, record, 2);
  if (mode == Mode::Write) {
    PutText(std::span(payload).subspan(3, kDeviceTextSize), fields.name);
    PutLittleEndian(payload, 28, BarcodeNumber(fields.barcode) & kLow48, 6);
    PutLittleEndian(payload, 34, fields.price & kLow40, 5);
    payload[39] = fields.section;
  }
  const Answer answer = link.Exchange(Command::Goods, payload);
  GoodsReply reply;
  static_cast<CommandResult&>(reply) = answer.status;
  reply.fields = fields;
  if (reply.ok() && mode == Mode::Read) {
    const std::span<const std::uint8_t> bytes(answer.bytes);
    reply.fields.name = GetText(bytes.subspan(6, kDeviceTextSize));
    reply.fields.barcode = std::to_string(GetLittleEndian(bytes, 31, 6));
    reply.fields.price = GetLittleEndian(bytes, 37, 5);
    reply.fields.section = bytes[42];
  }
  return reply;
}

StatusReply RequestStatus(Link& link) {
  const Answer answer = link.Exchange(Command::Status, {});
  StatusReply reply;
  static_cast<CommandResult&>(reply) = answer.status;
  if (!reply.ok()) return reply;
  const std::span<const std::uint8_t> b(answer.bytes);
  auto& f = reply.fields;
  f.mode = b[4];
  f.flash = b[5];
  f.group = b[6];
  f.battery = b[7];
  f.document_number = static_cast<std::uint16_t>(GetLittleEndian(b, 8, 2));
  f.document_state = b[10];
  f.day = b[11];
  f.month = b[12];
  f.year = b[13];
  f.hours = b[14];
  f.minutes = b[15];
  f.factory_number = static_cast<std::uint32_t>(GetLittleEndian(b, 16, 4));
  f.inn = GetLittleEndian(b, 22, 6);
  return reply;
}

}  // namespace tarnis::link
