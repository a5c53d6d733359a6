// The goods base: reading all 1001 records from the emulator through the goods page of the main
// window (its progress bar, the wait window and the pending-message runs included) and through
// the operation alone; then, without the device, filling and resetting the table and saving and
// loading a goods file. Plain figures, no assertions.
#include <QApplication>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <vector>

#include "app/main_window.h"
#include "app/qt_user_interface.h"
#include "app/wait_window.h"
#include "emulator/pty_server.h"
#include "goods/base_frame.h"
#include "goods/goods_file.h"
#include "goods/goods_file_actions.h"
#include "goods/goods_transfer.h"
#include "ui/silent_user_interface.h"
#include "link/device_charset.h"
#include "link/serial_transport.h"
#include "platform/cp1251_codec.h"

namespace {

using namespace tarnis;
using Clock = std::chrono::steady_clock;

constexpr int kBaud = 115200;
constexpr int kRecords = goods::kGoodsRecordCount;

// The program's Qt user interface, with message boxes answered at once so nothing waits for a
// click: progress bar, wait window, cursor and pending-message runs are the real ones. The window
// takes its user interface when it is made, so the Qt part is attached afterwards.
class UnattendedUserInterface final : public ui::SilentUserInterface {
 public:
  void Attach(app::TForm1& window, app::TForm9& wait) {
    qt_ = std::make_unique<app::QtUserInterface>(window);
    qt_->SetWaitWindow(&wait);
  }

  void SetBusyCursor(bool busy) override { qt_->SetBusyCursor(busy); }
  void ProgressStart() override { qt_->ProgressStart(); }
  void ProgressStep(int step, int total) override { qt_->ProgressStep(step, total); }
  void ProgressEnd() override { qt_->ProgressEnd(); }
  void WaitShow() override { qt_->WaitShow(); }
  void WaitSetCaption(const std::string& caption) override { qt_->WaitSetCaption(caption); }
  void WaitSetStep(const std::string& step) override { qt_->WaitSetStep(step); }
  void WaitClose() override { qt_->WaitClose(); }
  void ProcessEvents() override { qt_->ProcessEvents(); }

 private:
  std::unique_ptr<app::QtUserInterface> qt_;
};

// Shows nothing: the cost of the operation and the link alone.
using SilentUserInterface = ui::SilentUserInterface;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Milliseconds of each of `runs` calls, sorted.
std::vector<double> Timed(int runs, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    work();
    times.push_back(Milliseconds(Clock::now() - start));
  }
  std::sort(times.begin(), times.end());
  return times;
}

void Print(const char* what, const std::vector<double>& times) {
  std::printf("  %-56s min %9.3f ms  median %9.3f ms  (%zu runs)\n", what, times.front(), times[times.size() / 2],
              times.size());
}

// Wire time of one goods exchange: ten bits for each of the request's 51 and the answer's 46 bytes.
double GoodsWireMilliseconds() { return (51.0 + 46.0) * 10.0 / kBaud * 1000.0; }

void FillDevice(emulator::PtyServer& server) {
  server.WithDevice([](emulator::Km07Device& device) {
    for (int code = 0; code < kRecords; ++code)
      device.state().goods[static_cast<std::size_t>(code)] = {
          link::ToDeviceText(*Utf8ToCp1251("1ТОВАР НОМЕР " + std::to_string(code))),
          4600000000000u + static_cast<std::uint64_t>(code), static_cast<std::uint8_t>(code % 256),
          static_cast<std::uint64_t>(code) * 105};
  });
}

goods::GoodsRows FullRows() {
  goods::GoodsRows rows;
  for (int code = 0; code < kRecords; ++code)
    rows[static_cast<std::size_t>(code)] = {std::to_string(code), *Utf8ToCp1251("ТОВАР НОМЕР " + std::to_string(code)),
                                            goods::WideFontWord(), std::to_string(4600000000000 + code),
                                            std::to_string(code % 256), goods::PriceText(static_cast<std::uint64_t>(code) * 105)};
  return rows;
}

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  char directory[] = "/tmp/tarnis-goods-bench-XXXXXX";
  if (!::mkdtemp(directory)) return 1;
  ::setenv("TARNIS_PORTS_DIR", directory, 1);
  QApplication application(argc, argv);

  emulator::PtyServer server;
  std::string error;
  if (!server.Start("COM1", &error)) {
    std::fprintf(stderr, "emulator: %s\n", error.c_str());
    return 1;
  }
  FillDevice(server);
  link::SerialTransport transport;
  link::Link link(transport);
  link.settings() = {"COM1", kBaud, 250, 2500, "1", true};

  UnattendedUserInterface page_ui;
  app::TForm1 window(app::MainWindowServices{&link, &page_ui});
  app::TForm9 wait(&window);
  page_ui.Attach(window, wait);
  window.show();
  QApplication::processEvents();
  auto* page = window.findChild<goods::TBaseFrame*>();
  if (!page) {
    std::fprintf(stderr, "the main window has no goods page\n");
    return 1;
  }
  window.N9Click();
  page->EnableDeviceControls();
  const auto read_through_page = [&] { page->BitBtn1->click(); };
  SilentUserInterface silent;
  goods::GoodsTable table;
  const auto read_through_operation = [&] { goods::ReadGoods(link, silent, table, {}); };

  std::printf("Reading all 1001 goods records from the emulator, no baud delay\n");
  read_through_page();  // warm-up
  Print("through the page (progress bar, wait window, repaints)", Timed(runs, read_through_page));
  Print("through the operation alone", Timed(runs, read_through_operation));
  Print("the link alone (1001 ExchangeGoods, baseline)", Timed(runs, [&] {
          for (int code = 0; code < kRecords; ++code)
            link::ExchangeGoods(link, link::Mode::Read, static_cast<std::uint16_t>(code), {});
        }));
  const bool filled = page->table().row(1000).name == *Utf8ToCp1251("ТОВАР НОМЕР 1000") &&
                      page->table().row(1000).price == "1050.00";
  std::printf("  table filled from the device: %s\n", filled ? "yes" : "NO");

  server.WithDevice([](emulator::Km07Device& device) { device.faults().baud_rate = kBaud; });
  const double wire = GoodsWireMilliseconds() * kRecords;
  std::printf("\nPaced like a %d baud line; wire time of 1001 exchanges %.1f ms\n", kBaud, wire);
  const auto paced_page = Timed(1, read_through_page);
  std::printf("  %-56s %9.1f ms  ratio %.4f\n", "through the page", paced_page.front(), paced_page.front() / wire);
  const auto paced_operation = Timed(1, read_through_operation);
  std::printf("  %-56s %9.1f ms  ratio %.4f\n", "through the operation alone", paced_operation.front(),
              paced_operation.front() / wire);
  server.WithDevice([](emulator::Km07Device& device) { device.faults().baud_rate = 0; });

  std::printf("\nWithout the device (%d runs each)\n", runs * 20);
  const goods::GoodsRows rows = FullRows();
  // Each followed by the repaint of the grid it causes.
  Print("filling the page's table and repainting the grid", Timed(runs * 20, [&] {
          page->table().Assign(rows);
          QApplication::processEvents();
        }));
  Print("resetting it (BitBtn5) and repainting the grid", Timed(runs * 20, [&] {
          page->BitBtn5->click();
          QApplication::processEvents();
        }));
  page->table().Assign(rows);
  const std::string path = std::string(directory) + "/bench.base";
  Print("saving a goods file (encode, write, rename)",
        Timed(runs * 20, [&] { goods::SaveGoodsFile(path, page->table()); }));
  Print("loading it into the page's table (check, decode, fill)",
        Timed(runs * 20, [&] { goods::LoadGoodsFile(path, page->table()); }));

  server.Stop();
  std::filesystem::remove_all(directory);
  return 0;
}
