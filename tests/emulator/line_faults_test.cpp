// Random line faults: each kind as it is meant to look on the line, the same faults for the same
// seed, and the device's memory as a real device would keep it when the answer goes wrong.
#include <gtest/gtest.h>

#include <map>

#include "emulator/km07_device.h"

namespace tarnis::emulator {
namespace {

using link::Command;

std::vector<std::uint8_t> GoodsWrite(std::uint16_t record, std::uint64_t price) {
  std::vector<std::uint8_t> payload(link::RequestPayloadSize(Command::Goods));
  link::PutLittleEndian(payload, 1, record, 2);
  payload[3] = '0';
  payload[4] = 'a';
  link::PutLittleEndian(payload, 34, price, 5);
  return link::BuildRequest(Command::Goods, 1, payload);
}

std::vector<std::uint8_t> Status() { return link::BuildRequest(Command::Status, 1, {}); }

// Answers the same request n times with every answer faulted; the kinds in order.
std::vector<LineFault> FaultKinds(std::uint64_t seed, int n, double rate = 1.0) {
  Km07Device device;
  device.InjectLineFaults(rate, seed);
  for (int i = 0; i < n; ++i) device.Answer(Status());
  std::vector<LineFault> kinds;
  for (const InjectedFault& fault : device.line_faults()->log()) kinds.push_back(fault.kind);
  return kinds;
}

TEST(LineFaults, EveryKindLooksAsItSays) {
  Km07Device device;
  device.InjectLineFaults(1.0, 11);
  const std::vector<std::uint8_t> right = Km07Device().Answer(Status());
  std::map<LineFault, int> seen;
  for (int i = 0; i < 700; ++i) {
    const std::vector<std::uint8_t> answer = device.Answer(Status());
    const LineFault kind = device.line_faults()->log().back().kind;
    ++seen[kind];
    switch (kind) {
      case LineFault::Silence: EXPECT_TRUE(answer.empty()); break;
      case LineFault::Cut:
        EXPECT_GE(answer.size(), 1u);
        EXPECT_LT(answer.size(), right.size());
        EXPECT_TRUE(std::equal(answer.begin(), answer.end(), right.begin()));
        break;
      case LineFault::WrongStart: EXPECT_NE(answer[0], link::kAnswerStart); break;
      case LineFault::WrongLength: EXPECT_NE(answer[2], right.size()); break;
      case LineFault::WrongCode:
        EXPECT_NE(answer[1], right[1]);
        EXPECT_TRUE(answer[1] == 0x50 || answer[1] == 0x46 || answer[1] == 0x4E || answer[1] == 0x54) << int{answer[1]};
        break;
      case LineFault::DeviceError: EXPECT_NE(answer[3], 0); break;
      case LineFault::Pause: {
        ASSERT_TRUE(device.pause());
        EXPECT_EQ(answer.size(), right.size());
        EXPECT_GE(device.pause()->after, 1u);
        EXPECT_LT(device.pause()->after, right.size());
        EXPECT_GE(device.pause()->duration, kShortestFaultPause);
        EXPECT_LE(device.pause()->duration, kLongestFaultPause);
        EXPECT_GT(kShortestFaultPause.count(), 100);
        break;
      }
    }
    if (kind != LineFault::Pause) {
      EXPECT_FALSE(device.pause());
    }
  }
  EXPECT_EQ(seen.size(), kLineFaultKinds);
  for (const auto& [kind, count] : seen) EXPECT_GT(count, 60) << LineFaultName(kind);
  EXPECT_EQ(device.line_faults()->answers(), 700u);
  EXPECT_EQ(device.line_faults()->Count(LineFault::Cut), static_cast<std::size_t>(seen[LineFault::Cut]));

  // On top of an answer the fixed faults cut to any length, each kind still applies to what is left.
  for (const std::size_t cut : {0u, 1u, 2u, 3u, 4u, 6u, 9u}) {
    Km07Device cut_device;
    cut_device.faults().cut_after = cut;
    cut_device.InjectLineFaults(1.0, 3);
    for (int i = 0; i < 100; ++i) {
      const std::vector<std::uint8_t> answer = cut_device.Answer(Status());
      ASSERT_LE(answer.size(), cut);
      const LineFault kind = cut_device.line_faults()->log().back().kind;
      if (kind == LineFault::WrongStart && !answer.empty()) EXPECT_NE(answer[0], link::kAnswerStart);
      if (kind == LineFault::Cut)
        EXPECT_TRUE(std::equal(answer.begin(), answer.end(), right.begin())) << cut;
    }
  }
}

TEST(LineFaults, SameSeedSameFaultsAndTheRateHolds) {
  EXPECT_EQ(FaultKinds(7, 200), FaultKinds(7, 200));
  EXPECT_NE(FaultKinds(7, 200), FaultKinds(8, 200));
  EXPECT_TRUE(FaultKinds(7, 500, 0.0).empty());
  const std::size_t faults = FaultKinds(7, 20000, 0.05).size();
  EXPECT_GT(faults, 850u);
  EXPECT_LT(faults, 1150u);

  Km07Device device;
  device.InjectLineFaults(0.05, 7);
  for (int i = 0; i < 100; ++i) device.Answer(Status());
  EXPECT_EQ(device.line_faults()->Summary().rfind("100 answers, ", 0), 0u) << device.line_faults()->Summary();
}

TEST(LineFaults, ARefusedWriteStoresNothingAndALostAnswerStillStores) {
  Km07Device device;
  device.InjectLineFaults(1.0, 5);
  std::map<LineFault, int> checked;
  for (std::uint16_t record = 0; record < 700; ++record) {
    const std::vector<std::uint8_t> answer = device.Answer(GoodsWrite(record, 100 + record));
    const LineFault kind = device.line_faults()->log().back().kind;
    ++checked[kind];
    const GoodsSlot& slot = device.state().goods[record];
    if (kind == LineFault::DeviceError) {
      EXPECT_EQ(slot, GoodsSlot{}) << record;
      EXPECT_NE(answer[3], 0);
    } else {
      EXPECT_EQ(slot.price, 100u + record) << LineFaultName(kind);
      EXPECT_EQ(slot.name, "0a");
    }
  }
  EXPECT_EQ(checked.size(), kLineFaultKinds);
}

}  // namespace
}  // namespace tarnis::emulator
