// Random answers of every length and content through every command: the link must classify
// each without reading or copying outside what arrived (run under the sanitizer build too).
#include <gtest/gtest.h>

#include <random>

#include "fake_transport.h"
#include "link/commands.h"

namespace tarnis::link {
namespace {

TEST(AnswerFuzz, RandomAnswersNeverBreakTheLink) {
  test::FakeTransport transport;
  Link link(transport);
  link.settings().factory_number = "1";
  std::mt19937 random(20261208);
  const Command commands[] = {Command::Parameter, Command::Blank, Command::Inn, Command::Goods, Command::Status};
  std::size_t ok = 0;
  for (int round = 0; round < 60000; ++round) {
    const Command command = commands[round % 5];
    const std::size_t expected = AnswerSize(command);
    std::vector<std::uint8_t> answer(std::uniform_int_distribution<std::size_t>(0, 130)(random));
    for (auto& byte : answer) byte = static_cast<std::uint8_t>(random());
    // Most rounds get a plausible header so the deeper checks and the decoding are reached.
    if (!answer.empty() && round % 4 != 0) answer[0] = kAnswerStart;
    if (answer.size() > 1 && round % 3 != 0) answer[1] = AnswerCode(command);
    if (answer.size() > 2 && round % 2 == 0) answer[2] = static_cast<std::uint8_t>(std::min(answer.size(), expected));
    if (answer.size() > 3 && round % 5 < 3) answer[3] = 0;
    transport.answer = answer;

    const auto mode = round % 2 ? Mode::Read : Mode::Write;
    CommandResult result;
    switch (command) {
      case Command::Parameter: result = ExchangeParameter(link, mode, 0, 1, 1, "0abc"); break;
      case Command::Blank: result = ExchangeBlank(link, mode, {1, 2, 3, 0}); break;
      case Command::Inn: result = ProgramInn(link, {1, 2, 3, 4, 1, "12"}); break;
      case Command::Goods: {
        const auto reply = ExchangeGoods(link, mode, 3, {"0a", "5", 1, 2});
        result = reply;
        if (reply.ok() && mode == Mode::Read) {
          EXPECT_LE(reply.fields.name.size(), 25u);
        }
        break;
      }
      case Command::Status: result = RequestStatus(link); break;
    }
    const std::size_t received = std::min(answer.size(), expected);
    if (result.ok()) {
      ++ok;
      EXPECT_EQ(received, expected);  // only whole answers are decoded
      EXPECT_TRUE(result.message.empty());
    } else {
      EXPECT_FALSE(result.message.empty());
    }
    if (received == 0) {
      EXPECT_EQ(result.result, LinkResult::NoAnswer);
    }
  }
  EXPECT_GT(ok, 100u);  // the random answers did reach the decoding
}

}  // namespace
}  // namespace tarnis::link
