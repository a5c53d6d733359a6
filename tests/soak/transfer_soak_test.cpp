// Whole transfers against the emulator at a 5 % line-fault rate, every "Продолжить?" answered Yes:
// every value the program holds afterwards is the device's or the one it held before (goods: the
// device's or blank), every answer the program had to refuse was reported once, and the transfer
// ends with the windows, the cursor and the link released.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>

#include "config/config_transfer.h"
#include "constructor/blank_transfer.h"
#include "goods/goods_transfer.h"
#include "link/device_charset.h"
#include "soak_support.h"

namespace tarnis::test {
namespace {

using emulator::DeviceState;

DeviceState StateOf(EmulatedDevice& device) {
  return device.WithDevice([](emulator::Km07Device& d) { return d.state(); });
}

// The program's form of a device text in a field of the given size.
std::vector<char> AsField(const std::string& device_text, std::size_t size) {
  std::vector<char> field(size);
  config::SetFieldText(field, link::FromDeviceText(device_text));
  return field;
}

bool Same(std::span<const char> a, std::span<const char> b) { return std::equal(a.begin(), a.end(), b.begin(), b.end()); }

void ExpectReleased(SoakBench& bench) {
  EXPECT_FALSE(bench.ui().busy_cursor);
  EXPECT_FALSE(bench.ui().progress_visible);
  EXPECT_FALSE(bench.ui().wait_visible);
  EXPECT_FALSE(bench.link().busy());
}

// Where one soak phase starts, to count its exchanges, faults and messages on their own.
struct Mark {
  explicit Mark(SoakBench& bench)
      : exchanges(bench.transport().exchanges().size()), faults(bench.FaultsInjected()),
        pauses(bench.PausesInjected()), reported(bench.FailuresReported()) {}
  std::size_t exchanges, faults, pauses, reported;
};

// Each refused answer since the mark was reported once, and each was a fault the emulator drew
// (a pause is no failure: it is shorter than the host's gap).
void ExpectEachFailureReportedOnce(SoakBench& bench, const Mark& mark, std::size_t unreported_failures = 0) {
  const std::size_t failed = bench.FailedExchanges(mark.exchanges);
  EXPECT_EQ(bench.FailuresReported() - mark.reported + unreported_failures, failed);
  EXPECT_EQ(failed, (bench.FaultsInjected() - mark.faults) - (bench.PausesInjected() - mark.pauses));
}

TEST(TransferSoak, WholeConfigurationWriteThenRead) {
  SoakBench bench;
  config::DeviceConfiguration program;
  config::FillDefaults(program);
  for (const config::SectionMap& map : config::kParameterMap)
    for (int row = 1; row <= map.rows; ++row)
      for (int field = 1; field <= map.fields; ++field) {
        if (map.section == config::Section::Operators && field == 3) continue;  // passwords stay numbers
        const auto target = config::ParameterAt(program, {map.table, std::uint8_t(row), std::uint8_t(field)});
        config::SetFieldText(target->text, RandomText(bench.random()));
      }

  const DeviceState before_write = StateOf(bench.device());
  const Mark write(bench);
  EXPECT_TRUE(config::WriteAllToDevice(bench.link(), bench.ui(), program));
  ExpectReleased(bench);
  // A failed cliché probe only decides which cliché is written, whose own failures are asked about.
  std::size_t failed_probes = 0;
  for (std::size_t i = write.exchanges; i < bench.transport().exchanges().size(); ++i) {
    const auto& exchange = bench.transport().exchanges()[i];
    if (exchange.request[8] == 1 && exchange.request[9] == 4 && !AnswerIsWhole(exchange)) ++failed_probes;
  }
  ExpectEachFailureReportedOnce(bench, write, failed_probes);

  std::size_t wrong = 0;
  const DeviceState after_write = StateOf(bench.device());
  for (const config::SectionMap& map : config::kParameterMap)
    for (std::uint8_t row = 1; row <= map.rows; ++row)
      for (std::uint8_t field = 1; field <= map.fields; ++field) {
        const std::string& held = after_write.Text(map.table, row, field);
        const auto sent = link::ToDeviceText(config::FieldText(config::ParameterAt(program, {map.table, row, field})->text));
        const bool right = held == before_write.Text(map.table, row, field) || held == sent;
        wrong += right ? 0 : 1;
        EXPECT_TRUE(right) << int{map.table} << "." << int{row} << "." << int{field};
      }

  config::DeviceConfiguration before_read = program;  // ParameterAt takes the record as it may change it
  const Mark read(bench);
  EXPECT_TRUE(config::ReadAllFromDevice(bench.link(), bench.ui(), program));
  ExpectReleased(bench);
  ExpectEachFailureReportedOnce(bench, read);

  // Every mapped field and enabled byte is the device's or as before; nothing else moved.
  const DeviceState device = StateOf(bench.device());
  config::DeviceConfiguration composed = before_read;
  for (const config::SectionMap& map : config::kParameterMap)
    for (std::uint8_t row = 1; row <= map.rows; ++row)
      for (std::uint8_t field = 1; field <= map.fields; ++field) {
        const config::ParameterAddress address{map.table, row, field};
        const auto now = config::ParameterAt(program, address);
        const auto was = config::ParameterAt(before_read, address);
        const bool text_right = Same(now->text, was->text) ||
                                Same(now->text, AsField(device.Text(map.table, row, field), now->text.size()));
        const bool enabled_right = !now->enabled || *now->enabled == *was->enabled ||
                                   *now->enabled == device.enabled[map.table][row - 1];
        wrong += text_right && enabled_right ? 0 : 1;
        EXPECT_TRUE(text_right && enabled_right) << int{map.table} << "." << int{row} << "." << int{field};
        const auto into = config::ParameterAt(composed, address);
        std::copy(now->text.begin(), now->text.end(), into->text.begin());
        if (into->enabled) *into->enabled = *now->enabled;
      }
  EXPECT_EQ(std::memcmp(&composed, &program, sizeof program), 0);
  EXPECT_GT(bench.FaultsInjected(), 10u);
  bench.PrintFigures("configuration", wrong);
}

// Device goods records as the program's rows show them.
goods::GoodsRow RowOf(int code, const emulator::GoodsSlot& slot) {
  return goods::RowFromDeviceRecord(code, {slot.name, std::to_string(slot.barcode), slot.section, slot.price});
}

goods::GoodsTable RandomTable(std::mt19937_64& random) {
  goods::GoodsTable table;
  for (int code = 0; code < goods::kGoodsRecordCount; ++code) {
    const std::string name = RandomText(random).substr(1);
    table.SetRow(code, {std::to_string(code), name, random() % 2 ? goods::WideFontWord() : goods::NarrowFontWord(),
                        std::to_string(random() % 10'000'000'000'000ULL), std::to_string(random() % 256),
                        goods::PriceText(random() % 1'000'000'000)});
  }
  return table;
}

void FillDeviceGoods(EmulatedDevice& device, std::mt19937_64& random) {
  device.WithDevice([&](emulator::Km07Device& d) {
    for (emulator::GoodsSlot& slot : d.state().goods)
      slot = {link::ToDeviceText(RandomText(random)), random() % 1'000'000, static_cast<std::uint8_t>(random()),
              random() % 100'000'000};
  });
}

// Reads every record and counts the rows that are neither the device's record nor blank.
std::size_t ReadAllAndCountWrongRows(SoakBench& bench, goods::GoodsTable& table) {
  goods::GoodsScope all;
  EXPECT_EQ(goods::ReadGoods(bench.link(), bench.ui(), table, all).outcome, goods::TransferOutcome::Done);
  ExpectReleased(bench);
  const DeviceState device = StateOf(bench.device());
  std::size_t wrong = 0;
  for (int code = 0; code < goods::kGoodsRecordCount; ++code) {
    const bool right = table.row(code) == RowOf(code, device.goods[code]) ||
                       table.row(code) == goods::RowFromDeviceRecord(code, {});
    wrong += right ? 0 : 1;
    EXPECT_TRUE(right) << code;
  }
  return wrong;
}

TEST(TransferSoak, AllGoodsWriteThenRead) {
  SoakBench bench;
  FillDeviceGoods(bench.device(), bench.random());
  goods::GoodsTable table = RandomTable(bench.random());

  const DeviceState before_write = StateOf(bench.device());
  const Mark write(bench);
  goods::GoodsScope all;
  EXPECT_EQ(goods::WriteGoods(bench.link(), bench.ui(), table, all).outcome, goods::TransferOutcome::Done);
  ExpectReleased(bench);
  ExpectEachFailureReportedOnce(bench, write);
  std::size_t wrong = 0;
  const DeviceState after_write = StateOf(bench.device());
  for (int code = 0; code < goods::kGoodsRecordCount; ++code) {
    const goods::GoodsRow held = RowOf(code, after_write.goods[code]);
    const bool right = held == RowOf(code, before_write.goods[code]) ||
                       held == goods::RowFromDeviceRecord(code, *goods::DeviceRecordOf(table.row(code)).record);
    wrong += right ? 0 : 1;
    EXPECT_TRUE(right) << code;
  }

  const Mark read(bench);
  wrong += ReadAllAndCountWrongRows(bench, table);
  ExpectEachFailureReportedOnce(bench, read);
  EXPECT_GT(bench.FaultsInjected(), 50u);
  bench.PrintFigures("goods", wrong);
}

TEST(TransferSoak, BlanksProgrammedAndReadBack) {
  SoakBench bench;
  constructor::BlankFormTable table;
  constructor::ResetBlankForms(table);
  std::size_t wrong = 0;
  const Mark start(bench);
  for (int round = 0; round < 12; ++round) {
    for (int form = 1; form <= constructor::kFormCount; ++form) {
      constructor::BlankFormEntry& entry = *table.Form(form);
      entry.variant = static_cast<std::uint8_t>(1 + bench.random()() % 6);
      entry.requisite = static_cast<std::uint8_t>(bench.random()() % 9);
      entry.typeSk = static_cast<std::uint8_t>(bench.random()() % 4);
      const emulator::BlankSlot before = StateOf(bench.device()).blanks[form - 1];
      constructor::ProgramSelectedBlank(bench.link(), bench.ui(), table, form, true);
      const emulator::BlankSlot held = StateOf(bench.device()).blanks[form - 1];
      const bool stored_right = held == before || held == emulator::BlankSlot{true, entry.variant, entry.requisite, entry.typeSk};
      wrong += stored_right ? 0 : 1;
      EXPECT_TRUE(stored_right) << round << "/" << form;
      ExpectReleased(bench);

      const constructor::BlankFormTable before_read = table;
      constructor::ReadSelectedBlank(bench.link(), bench.ui(), table, form, {});
      const DeviceState device = StateOf(bench.device());
      for (int f = 1; f <= constructor::kFormCount; ++f) {
        const emulator::BlankSlot& slot = device.blanks[f - 1];
        const constructor::BlankFormEntry from_device{before_read.Form(f)->programmed, slot.variant, slot.requisite,
                                                      slot.type_sk};
        const bool right = *table.Form(f) == *before_read.Form(f) || *table.Form(f) == from_device;
        wrong += right ? 0 : 1;
        EXPECT_TRUE(right) << round << "/" << form << " form " << f;
      }
      ExpectReleased(bench);
    }
  }
  ExpectEachFailureReportedOnce(bench, start);
  EXPECT_GT(bench.FaultsInjected(), 3u);
  bench.PrintFigures("blanks", wrong);
}

TEST(TransferSoak, GoodsReadWhileTheEmulatorIsKilledAndRestarted) {
  SoakBench bench;
  FillDeviceGoods(bench.device(), bench.random());
  goods::GoodsTable table = RandomTable(bench.random());
  const auto first_kill = std::chrono::milliseconds(200 + bench.random()() % 1500);
  const auto down_time = std::chrono::milliseconds(80 + bench.random()() % 220);
  const auto second_kill = std::chrono::milliseconds(bench.random()() % 1500);
  std::atomic<int> restarts{0};
  std::thread killer([&] {
    for (const auto wait : {first_kill, second_kill}) {
      std::this_thread::sleep_for(wait);
      bench.device().server().Stop();
      std::this_thread::sleep_for(down_time);
      ASSERT_TRUE(bench.device().server().Start(bench.link().settings().port_name));
      ++restarts;
    }
  });
  const Mark read(bench);
  const std::size_t wrong = ReadAllAndCountWrongRows(bench, table);
  killer.join();
  EXPECT_EQ(restarts, 2);
  // Beside the drawn faults, the exchanges that met the stopped emulator failed too.
  const std::size_t failed = bench.FailedExchanges(read.exchanges);
  EXPECT_EQ(bench.FailuresReported() - read.reported, failed);
  EXPECT_GT(failed, (bench.FaultsInjected() - read.faults) - (bench.PausesInjected() - read.pauses));
  bench.PrintFigures("restarts", wrong);
}

}  // namespace
}  // namespace tarnis::test
