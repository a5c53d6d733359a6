#pragma once
// The time a run of exchanges still needs, from the pace of those done so far, and the run's
// countdown that long operations keep beside the progress.
#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "ui/user_interface.h"

namespace tarnis::ui {

using SteadyClock = std::function<std::chrono::steady_clock::time_point()>;

class TimeLeftEstimate {
 public:
  explicit TimeLeftEstimate(int total, SteadyClock clock = &std::chrono::steady_clock::now);

  // Whole seconds, rounded up, still needed after `done` of the total at the average pace so far;
  // nothing before anything is done or once everything is.
  std::optional<int> SecondsLeft(int done) const;

 private:
  int total_;
  SteadyClock clock_;
  std::chrono::steady_clock::time_point start_;
};

// "осталось ≈ 40 с"; empty for nothing.
std::string TimeLeftText(std::optional<int> seconds);

// Counts the exchanges of one operation and keeps the user interface's time left up to date;
// the time left is hidden again when the countdown ends.
class ExchangeCountdown {
 public:
  ExchangeCountdown(UserInterface& ui, int total, SteadyClock clock = &std::chrono::steady_clock::now);
  ExchangeCountdown(const ExchangeCountdown&) = delete;
  ExchangeCountdown& operator=(const ExchangeCountdown&) = delete;
  ~ExchangeCountdown();

  void ExchangeDone();

 private:
  UserInterface& ui_;
  TimeLeftEstimate estimate_;
  int done_ = 0;
  std::string shown_;
};

}  // namespace tarnis::ui
