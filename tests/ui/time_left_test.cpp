#include "ui/time_left.h"

#include <gtest/gtest.h>

#include "recording_user_interface.h"

namespace tarnis::ui {
namespace {

using namespace std::chrono_literals;

struct FakeClock {
  std::chrono::steady_clock::time_point now{};
  SteadyClock Function() {
    return [this] { return now; };
  }
};

TEST(TimeLeftEstimate, ExtrapolatesTheAveragePaceAndRoundsUp) {
  FakeClock clock;
  const TimeLeftEstimate estimate(335, clock.Function());
  EXPECT_EQ(estimate.SecondsLeft(0), std::nullopt);
  clock.now += 30s;
  EXPECT_EQ(estimate.SecondsLeft(100), 71);  // 30 s per 100 → 70.5 s for 235 more
  clock.now += 70s;
  EXPECT_EQ(estimate.SecondsLeft(334), 1);
  EXPECT_EQ(estimate.SecondsLeft(335), std::nullopt);
  EXPECT_EQ(TimeLeftText(40), "осталось ≈ 40 с");
  EXPECT_EQ(TimeLeftText(std::nullopt), "");
}

TEST(ExchangeCountdown, ShowsOnlyChangesAndHidesAtTheEnd) {
  FakeClock clock;
  test::RecordingUserInterface ui;
  {
    ExchangeCountdown countdown(ui, 4, clock.Function());
    clock.now += 10s;
    countdown.ExchangeDone();  // 30 s left
    clock.now += 10s;
    countdown.ExchangeDone();  // 20 s
    clock.now += 1s;
    countdown.ExchangeDone();  // 7 s
    countdown.ExchangeDone();  // all done: nothing to show
  }
  EXPECT_EQ(ui.EventsStartingWith("time left"),
            (std::vector<std::string>{"time left осталось ≈ 30 с", "time left осталось ≈ 20 с",
                                      "time left осталось ≈ 7 с", "time left "}));
  {
    ExchangeCountdown silent(ui, 1, clock.Function());
    silent.ExchangeDone();
  }
  EXPECT_EQ(ui.EventsStartingWith("time left").size(), 4u) << "a countdown that showed nothing hides nothing";
}

}  // namespace
}  // namespace tarnis::ui
