#include "soak_support.h"

#include <cstdio>
#include <cstdlib>

#include "link/frame.h"

namespace tarnis::test {

std::uint64_t SoakSeed() {
  const char* text = std::getenv("TARNIS_SOAK_SEED");
  return text && *text ? std::strtoull(text, nullptr, 10) : 20261209;
}

link::TransportResult KeepingTransport::Exchange(const link::LinkSettings& settings,
                                                 std::span<const std::uint8_t> request,
                                                 std::span<std::uint8_t> answer) {
  const link::TransportResult result = serial_.Exchange(settings, request, answer);
  const auto received = static_cast<std::ptrdiff_t>(result.opened ? result.received : 0);
  exchanges_.push_back({{request.begin(), request.end()}, {answer.begin(), answer.begin() + received}});
  return result;
}

bool AnswerIsWhole(const KeepingTransport::Record& exchange) {
  const auto command = static_cast<link::Command>(exchange.request[6]);
  const auto& a = exchange.answer;
  return a.size() == link::AnswerSize(command) && a[0] == link::kAnswerStart && a[1] == link::AnswerCode(command) &&
         (command == link::Command::Status || a[2] == a.size()) && a[3] == 0;
}

SoakBench::SoakBench() : seed_(SoakSeed()), random_(seed_) {
  device_.WithDevice([&](emulator::Km07Device& device) { device.InjectLineFaults(kFaultRate, seed_); });
  link_.settings() = device_.link().settings();
  link_.settings().inter_byte_timeout_ms = 300;
  link_.settings().total_timeout_ms = 700;
}

std::size_t SoakBench::FailedExchanges(std::size_t from) const {
  std::size_t failed = 0;
  for (std::size_t i = from; i < transport_.exchanges().size(); ++i) failed += AnswerIsWhole(transport_.exchanges()[i]) ? 0 : 1;
  return failed;
}

std::size_t SoakBench::FaultsInjected() {
  return device_.WithDevice([](emulator::Km07Device& device) { return device.line_faults()->log().size(); });
}

std::size_t SoakBench::PausesInjected() {
  return device_.WithDevice(
      [](emulator::Km07Device& device) { return device.line_faults()->Count(emulator::LineFault::Pause); });
}

std::size_t SoakBench::FailuresReported() const {
  std::size_t reported = 0;
  for (const RecordedMessage& message : ui_.messages) reported += message.icon == ui::Icon::Error ? 1 : 0;
  return reported;
}

void SoakBench::PrintFigures(const std::string& name, std::size_t wrong_values) {
  std::printf("soak %s: seed %llu, %zu exchanges, %zu faults injected, %zu failures reported, %zu wrong values\n",
              name.c_str(), static_cast<unsigned long long>(seed_), transport_.exchanges().size(), FaultsInjected(),
              FailuresReported(), wrong_values);
  std::fflush(stdout);
}

std::string RandomText(std::mt19937_64& random, std::size_t max_length) {
  static const std::string kLetters = [] {
    std::string letters = "0123456789 ";
    for (int c = 0xC0; c <= 0xDF; ++c) letters += static_cast<char>(c);
    return letters;
  }();
  std::string text = "0";
  const std::size_t length = random() % (max_length + 1);
  for (std::size_t i = 0; i < length; ++i) text += kLetters[random() % kLetters.size()];
  return text;
}

}  // namespace tarnis::test
