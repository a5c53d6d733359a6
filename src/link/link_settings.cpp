#include "link/link_settings.h"

#include <charconv>

namespace tarnis::link {

const char* const kBadFactoryNumberMessage =
    "Заводской номер должен быть целым числом от -2147483648 до 2147483647 "
    "(не более 15 символов).";

namespace {

template <typename Int>
std::optional<Int> ParseWhole(std::string_view text) {
  const bool plus = !text.empty() && text.front() == '+';
  if (plus) text.remove_prefix(1);
  if (text.empty() || (plus && text.front() == '-')) return std::nullopt;  // "+-5" is no number
  Int value{};
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

constexpr int kMaxTimeoutMs = 600000;

}  // namespace

std::optional<std::int32_t> ParseFactoryNumber(std::string_view text) {
  if (text.size() > kFactoryNumberMaxLength) return std::nullopt;
  return ParseWhole<std::int32_t>(text);
}

std::optional<int> ParseTimeoutMs(std::string_view text) {
  const auto value = ParseWhole<int>(text);
  if (!value || *value < 1 || *value > kMaxTimeoutMs) return std::nullopt;
  return value;
}

std::optional<int> ParseInterByteTimeoutMs(std::string_view text) {
  const auto value = ParseWhole<int>(text);
  if (!value || *value < 0 || *value > kMaxTimeoutMs) return std::nullopt;
  return value;
}

}  // namespace tarnis::link
