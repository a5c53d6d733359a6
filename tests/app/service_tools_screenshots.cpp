// Pictures of the comparison dialog and the exchange log window, for a look at their layout
// (run under xvfb-run): service_tools_screenshots <directory>. With --wait, each window stays up
// for a few seconds and its window id is printed, for a grab from outside (xwd -id).
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "app/compare_dialog.h"
#include "app/exchange_log_window.h"
#include "app/main_window.h"
#include "config/config_verification.h"
#include "config/difference_actions.h"
#include "emulated_device.h"
#include "goods/goods_item_dialog.h"
#include "goods/goods_transfer.h"
#include "link/commands.h"
#include "link/device_charset.h"
#include "platform/cp1251_codec.h"
#include "recording_user_interface.h"

namespace {

void Show(QWidget& window, const QDir& directory, const char* name, bool wait) {
  window.show();
  window.activateWindow();
  for (int i = 0; i < 20; ++i) QApplication::processEvents();
  window.grab().save(directory.filePath(QString::fromLatin1(name)));
  if (!wait) return;
  std::printf("%s 0x%llx\n", name, static_cast<unsigned long long>(window.winId()));
  std::fflush(stdout);
  QEventLoop loop;
  QTimer::singleShot(3000, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tarnis;
  QApplication application(argc, argv);
  const bool wait = argc > 2 && std::strcmp(argv[2], "--wait") == 0;
  const QDir directory(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
  test::EmulatedDevice device;
  test::RecordingUserInterface ui;
  app::TForm1 window(app::MainWindowServices{&device.link(), &ui});
  device.WithDevice([](emulator::Km07Device& d) {
    d.state().Text(2, 12, 1) = link::ToDeviceText(Utf8ToCp1251Lossy("1СТРИЖКА"));
    d.state().Text(0, 3, 2) = link::ToDeviceText(Utf8ToCp1251Lossy("0ПЕТРОВ П.П."));
    d.state().Text(4, 1, 8) = link::ToDeviceText(Utf8ToCp1251Lossy("0СПАСИБО ЗА ПОКУПКУ"));
    d.state().Text(4, 2, 1) = link::ToDeviceText(Utf8ToCp1251Lossy("0ВТОРОЕ КЛИШЕ"));
    d.state().enabled[3][0] = 0;
    d.state().blanks[2].variant = 2;
    for (const std::uint16_t code : {3, 4, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21})
      d.faults().forced_errors.push_back({link::Command::Goods, {}, code, {}, 51});
  });
  config::Verification verification = config::VerifyDevice(device.link(), ui, window.blank_forms(), window.configuration());
  const std::vector<config::Difference> first = verification.differences;
  config::DeviceComparison comparison(window.blank_forms(), window.configuration(), std::move(verification));
  app::CompareActions actions;
  actions.write_to_device = [&](const std::vector<int>& rows) {
    return config::NotWrittenText(comparison.WriteToDevice(device.link(), ui, window.configuration_states(), rows).left_out);
  };
  actions.take_from_device = [&](const std::vector<int>& rows) {
    return config::NotTakenText(comparison.TakeFromDevice(window.configuration_states(), rows).left_out);
  };
  actions.differences = [&] { return comparison.differences(); };
  app::CompareDialog dialog(first, nullptr, actions);
  Show(dialog, directory, "compare-dialog.png", wait);
  dialog.WriteDifferencesButton->click();  // every row: what the device does not take stays, and why
  Show(dialog, directory, "compare-dialog-written.png", wait);
  dialog.TakeFromDeviceButton->click();
  Show(dialog, directory, "compare-dialog-taken.png", wait);
  app::CompareDialog equal({});
  Show(equal, directory, "compare-dialog-equal.png", wait);

  // A goods read that went on after failures: its closing box, as the program shows it.
  goods::GoodsTable table;
  goods::ReadGoods(device.link(), ui, table, goods::ChooseScope(false, true, 0, "0", "40"));
  QMessageBox closing(QMessageBox::Warning, QString::fromStdString(ui.messages.back().caption),
                      QString::fromStdString(ui.messages.back().text), QMessageBox::NoButton);
  closing.addButton("OK", QMessageBox::AcceptRole);
  Show(closing, directory, "closing-warning.png", wait);
  goods::TForm8 item_editor(ui);
  item_editor.LoadFrom({"5", Utf8ToCp1251Lossy("ЁЛКА"), Utf8ToCp1251Lossy("узкий"), "0", "1", "1.00"});
  Show(item_editor, directory, "goods-item-held-otherwise.png", wait);

  window.show();
  link::RequestStatus(device.link());
  link::ExchangeGoods(device.link(), link::Mode::Read, 17, {});
  link::ExchangeBlank(device.link(), link::Mode::Read, {3, 0, 0, 0});
  window.ShowExchangeLog();
  Show(*window.exchange_log_window(), directory, "exchange-log.png", wait);
  Show(window, directory, "main-window.png", wait);
  return 0;
}
