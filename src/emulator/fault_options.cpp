#include "emulator/fault_options.h"

#include <charconv>
#include <vector>

namespace tarnis::emulator {
namespace {

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

std::optional<link::Command> CommandNamed(std::string_view name) {
  if (name == "parameter") return link::Command::Parameter;
  if (name == "blank") return link::Command::Blank;
  if (name == "inn") return link::Command::Inn;
  if (name == "goods") return link::Command::Goods;
  if (name == "status") return link::Command::Status;
  return std::nullopt;
}

}  // namespace

std::optional<std::uint64_t> ParseNumber(std::string_view text, std::uint64_t limit) {
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value > limit) return std::nullopt;
  return value;
}

std::optional<double> ParseProbability(std::string_view text) {
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size() || !(value >= 0 && value <= 1))
    return std::nullopt;
  return value;
}

std::optional<ForcedError> ParseForcedError(std::string_view text) {
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  const auto code = ParseNumber(text.substr(equals + 1), 255);
  const std::string_view target = text.substr(0, equals);
  const std::size_t colon = target.find(':');
  const auto command = CommandNamed(target.substr(0, colon));
  if (!code || !command) return std::nullopt;
  ForcedError forced{*command, {}, {}, {}, static_cast<std::uint8_t>(*code)};
  if (colon == std::string_view::npos) return forced;

  const auto parts = Split(target.substr(colon + 1), '.');
  if (*command == link::Command::Parameter && parts.size() <= 3) {
    const auto table = ParseNumber(parts[0], 4);
    const auto row = parts.size() > 1 ? ParseNumber(parts[1], 255) : std::optional<std::uint64_t>(0);
    const auto field = parts.size() > 2 ? ParseNumber(parts[2], 255) : std::optional<std::uint64_t>(0);
    if (!table || !row || !field) return std::nullopt;
    forced.table = static_cast<std::uint8_t>(*table);
    if (parts.size() > 1) forced.row = static_cast<std::uint16_t>(*row);
    if (parts.size() > 2) forced.field = static_cast<std::uint8_t>(*field);
    return forced;
  }
  const std::uint64_t limit = *command == link::Command::Blank ? 255 : *command == link::Command::Goods ? 0xFFFF : 0;
  const auto address = parts.size() == 1 && limit > 0 ? ParseNumber(parts[0], limit) : std::nullopt;
  if (!address) return std::nullopt;
  forced.row = static_cast<std::uint16_t>(*address);
  return forced;
}

std::optional<std::pair<std::uint8_t, std::uint8_t>> ParseItemAddress(std::string_view text) {
  const auto parts = Split(text, '.');
  if (parts.size() != 2) return std::nullopt;
  const auto table = ParseNumber(parts[0], 4);
  if (!table) return std::nullopt;
  const auto row = ParseNumber(parts[1], kTableRows[*table]);
  if (!row || *row == 0) return std::nullopt;
  return std::make_pair(static_cast<std::uint8_t>(*table), static_cast<std::uint8_t>(*row));
}

}  // namespace tarnis::emulator
