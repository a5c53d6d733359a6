#pragma once
// What every soak run shares: its seed, a transport that keeps every exchange so that the run
// can tell on its own which answers the program had to refuse, and the figures it prints.
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "emulated_device.h"
#include "link/serial_transport.h"
#include "recording_user_interface.h"

namespace tarnis::test {

// TARNIS_SOAK_SEED when set (scripts/soak.sh sets fresh ones), otherwise a fixed seed.
std::uint64_t SoakSeed();

// The serial transport, keeping each request and what arrived for it.
class KeepingTransport : public link::Transport {
 public:
  struct Record {
    std::vector<std::uint8_t> request;
    std::vector<std::uint8_t> answer;
  };
  bool CheckPort(const link::LinkSettings& settings) override { return serial_.CheckPort(settings); }
  link::TransportResult Exchange(const link::LinkSettings& settings, std::span<const std::uint8_t> request,
                                 std::span<std::uint8_t> answer) override;
  const std::vector<Record>& exchanges() const { return exchanges_; }

 private:
  link::SerialTransport serial_;
  std::vector<Record> exchanges_;
};

// True when the bytes are a whole answer to the request that the program must take: the right
// start byte, code and length (any length for the status request) and no device error.
bool AnswerIsWhole(const KeepingTransport::Record& exchange);

// An emulated device at a fault rate, with a link through a KeepingTransport whose time-outs let
// the emulator's pauses pass (as the default settings do) and keep silences short.
class SoakBench {
 public:
  static constexpr double kFaultRate = 0.05;
  SoakBench();

  EmulatedDevice& device() { return device_; }
  link::Link& link() { return link_; }
  KeepingTransport& transport() { return transport_; }
  RecordingUserInterface& ui() { return ui_; }
  std::mt19937_64& random() { return random_; }
  std::uint64_t seed() const { return seed_; }

  // Exchanges from `from` on whose answer the program had to refuse.
  std::size_t FailedExchanges(std::size_t from = 0) const;
  // Faults the emulator injected so far, and those among them a host takes in its stride.
  std::size_t FaultsInjected();
  std::size_t PausesInjected();
  // Messages with the error icon.
  std::size_t FailuresReported() const;
  // The closing figures line scripts/soak.sh adds up.
  void PrintFigures(const std::string& name, std::size_t wrong_values);

 private:
  std::uint64_t seed_;
  std::mt19937_64 random_;
  EmulatedDevice device_;
  KeepingTransport transport_;
  link::Link link_{transport_};
  RecordingUserInterface ui_;
};

// A random device text: the narrow attribute and up to 24 capitals, digits and blanks, in
// Windows-1251, as a user would type them.
std::string RandomText(std::mt19937_64& random, std::size_t max_length = 24);

}  // namespace tarnis::test
