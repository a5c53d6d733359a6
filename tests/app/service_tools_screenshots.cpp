// Pictures of the comparison dialog and the exchange log window, for a look at their layout
// (run under xvfb-run): service_tools_screenshots <directory>. With --wait, each window stays up
// for a few seconds and its window id is printed, for a grab from outside (xwd -id).
#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "app/compare_dialog.h"
#include "app/exchange_log_window.h"
#include "app/main_window.h"
#include "config/config_verification.h"
#include "emulated_device.h"
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
  });
  const config::Verification verification = config::VerifyDevice(device.link(), ui, window.blank_forms(), window.configuration());
  app::CompareDialog dialog(verification.differences);
  Show(dialog, directory, "compare-dialog.png", wait);
  app::CompareDialog equal({});
  Show(equal, directory, "compare-dialog-equal.png", wait);

  window.show();
  link::RequestStatus(device.link());
  link::ExchangeGoods(device.link(), link::Mode::Read, 17, {});
  link::ExchangeBlank(device.link(), link::Mode::Read, {3, 0, 0, 0});
  window.ShowExchangeLog();
  Show(*window.exchange_log_window(), directory, "exchange-log.png", wait);
  Show(window, directory, "main-window.png", wait);
  return 0;
}
