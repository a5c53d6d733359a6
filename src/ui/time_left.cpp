#include "ui/time_left.h"

namespace tarnis::ui {

TimeLeftEstimate::TimeLeftEstimate(int total, SteadyClock clock)
    : total_(total), clock_(std::move(clock)), start_(clock_()) {}

std::optional<int> TimeLeftEstimate::SecondsLeft(int done) const {
  if (done <= 0 || done >= total_) return std::nullopt;
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(clock_() - start_).count();
  const long long left_ms = elapsed * (total_ - done) / done;
  return static_cast<int>((left_ms + 999) / 1000);
}

std::string TimeLeftText(std::optional<int> seconds) {
  if (!seconds) return {};
  return "осталось ≈ " + std::to_string(*seconds) + " с";
}

ExchangeCountdown::ExchangeCountdown(UserInterface& ui, int total, SteadyClock clock)
    : ui_(ui), estimate_(total, std::move(clock)) {}

ExchangeCountdown::~ExchangeCountdown() {
  if (!shown_.empty()) ui_.ShowTimeLeft("");
}

void ExchangeCountdown::ExchangeDone() {
  std::string text = TimeLeftText(estimate_.SecondsLeft(++done_));
  if (text == shown_) return;
  shown_ = std::move(text);
  ui_.ShowTimeLeft(shown_);
}

}  // namespace tarnis::ui
