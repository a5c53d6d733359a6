// Writing only what changed against the emulator paced like a 115200-baud line: a 1001-record
// goods base with 5 prices changed and a configuration with 3 texts edited, each beside the whole
// write; then a whole goods read on a line with 5 % faults, with and without retries. Plain
// figures, no assertions.
#include <chrono>
#include <cstdio>
#include <string>

#include "config/changes_write.h"
#include "config/config_transfer.h"
#include "emulated_device.h"
#include "goods/goods_transfer.h"
#include "link/device_charset.h"
#include "link/link_settings.h"
#include "recording_user_interface.h"

namespace {

using namespace tarnis;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::size_t Requests(test::EmulatedDevice& device, link::Command command) {
  return device.WithDevice([&](emulator::Km07Device& d) { return d.requests_seen(command); });
}

void Compare(const char* what, std::size_t whole_requests, double whole_s, std::size_t changed_requests,
             double changed_s) {
  std::printf("%-14s whole %4zu requests %7.3f s   changed %2zu requests %7.4f s   ratio 1/%.0f\n", what,
              whole_requests, whole_s, changed_requests, changed_s, whole_s / changed_s);
}

void GoodsFigures(test::EmulatedDevice& device) {
  goods::GoodsTable table;
  std::array<goods::GoodsRow, goods::kGoodsRecordCount> rows;
  for (int code = 0; code < goods::kGoodsRecordCount; ++code)
    rows[static_cast<std::size_t>(code)] = {std::to_string(code), "T" + std::to_string(code), goods::NarrowFontWord(),
                                            std::to_string(code), "1", "1.00"};
  table.Load(rows);
  test::RecordingUserInterface ui;
  const goods::GoodsScope all = goods::ChooseScope(false, false, 0, "", "");
  std::size_t before = Requests(device, link::Command::Goods);
  auto start = Clock::now();
  goods::WriteGoods(device.link(), ui, table, all);
  const double whole_s = Seconds(start);
  const std::size_t whole = Requests(device, link::Command::Goods) - before;

  for (const int code : {3, 250, 500, 750, 1000}) table.SetCell(code, goods::GoodsColumn::Price, "9.99");
  before = Requests(device, link::Command::Goods);
  start = Clock::now();
  goods::WriteGoods(device.link(), ui, table, goods::ChooseScope(false, false, 0, "", "", true));
  const double changed_s = Seconds(start);
  Compare("goods", whole, whole_s, Requests(device, link::Command::Goods) - before, changed_s);
}

void ConfigurationFigures(test::EmulatedDevice& device) {
  config::DeviceConfiguration configuration;
  config::FillDefaults(configuration);
  config::ConfigurationStates states(configuration);
  test::RecordingUserInterface ui;
  std::size_t before = Requests(device, link::Command::Parameter);
  auto start = Clock::now();
  config::WriteAllToDevice(device.link(), ui, configuration, &states);
  const double whole_s = Seconds(start);
  const std::size_t whole = Requests(device, link::Command::Parameter) - before;

  configuration.operators[2].full_name.Set("0IVANOV");
  configuration.document_name.Set("0RECEIPT");
  configuration.services[40].lines[1].Set("0HAIRCUT");
  before = Requests(device, link::Command::Parameter);
  start = Clock::now();
  config::WriteChangesToDevice(device.link(), ui, configuration, states);
  const double changed_s = Seconds(start);
  Compare("configuration", whole, whole_s, Requests(device, link::Command::Parameter) - before, changed_s);
}

// With the program's own time-outs: the tests' short ones would take the emulator's paused answers
// (up to 150 ms between two bytes) for lost ones.
void NoisyReadFigures(test::EmulatedDevice& device) {
  device.link().settings().inter_byte_timeout_ms = link::kDefaultInterByteTimeoutMs;
  device.link().settings().total_timeout_ms = link::kDefaultTotalTimeoutMs;
  for (const int retries : {0, 2}) {
    device.WithDevice([](emulator::Km07Device& d) { d.InjectLineFaults(0.05, 1); });
    device.link().settings().retries = retries;
    goods::GoodsTable table;
    test::RecordingUserInterface ui;
    const auto start = Clock::now();
    goods::ReadGoods(device.link(), ui, table, goods::ChooseScope(false, false, 0, "", ""));
    const double seconds = Seconds(start);
    int wrong = 0;
    std::size_t device_errors = 0;
    device.WithDevice([&](emulator::Km07Device& d) {
      device_errors = d.line_faults()->Count(emulator::LineFault::DeviceError);
      for (int code = 0; code < goods::kGoodsRecordCount; ++code) {
        const emulator::GoodsSlot& slot = d.state().goods[static_cast<std::size_t>(code)];
        wrong += table.row(code) != goods::RowFromDeviceRecord(code, {slot.name, std::to_string(slot.barcode),
                                                                      slot.section, slot.price});
      }
    });
    std::printf("noisy read, %d retries: %zu questions per 1001 records, %d records not the device's, "
                "%zu damaged requests refused by the device, %.2f s\n",
                retries, ui.messages.size() - 1, wrong, device_errors, seconds);
  }
}

}  // namespace

int main() {
  test::EmulatedDevice device;
  device.WithDevice([](emulator::Km07Device& d) { d.faults().baud_rate = 115200; });
  GoodsFigures(device);
  ConfigurationFigures(device);
  NoisyReadFigures(device);
  return 0;
}
