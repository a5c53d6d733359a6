// Saves pictures of the connection settings dialog (a busy port chosen, so that its reason shows)
// and of the pick among several devices: connection_screenshots <directory>.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "app/connection_settings_dialog.h"
#include "app/device_choice_dialog.h"
#include "app/main_window.h"
#include "emulator/pty_server.h"
#include "recording_user_interface.h"

int main(int argc, char** argv) {
  using namespace tarnis;
  QApplication application(argc, argv);
  const QDir directory(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
  emulator::PtyServer free_device, held_device;
  free_device.Start("COM1");
  held_device.Start("COM2");
  if (::fork() == 0) {  // another program holding the second port
    const int fd = ::open(held_device.slave_path().c_str(), O_RDWR | O_NOCTTY);
    ::flock(fd, LOCK_EX);
    ::sleep(5);
    ::_exit(0);
  }
  ::usleep(200000);
  test::RecordingUserInterface ui;
  app::TForm1 window(app::MainWindowServices{nullptr, &ui});
  app::TForm3 dialog(window);
  dialog.ComboBox1->setCurrentText("COM2");
  dialog.show();
  QApplication::processEvents();
  dialog.grab().save(directory.filePath("connection-settings.png"));
  dialog.ComboBox1->showPopup();
  QApplication::processEvents();
  if (QWidget* popup = QApplication::activePopupWidget()) popup->grab().save(directory.filePath("connection-ports.png"));
  dialog.ComboBox1->hidePopup();
  app::DeviceChoiceDialog choice(
      {{"COM1", 115200, 4242u}, {"COM34", 2400, std::nullopt}, {"COM6", 19200, std::nullopt, false}}, &dialog, 4242u);
  choice.show();
  QApplication::processEvents();
  choice.grab().save(directory.filePath("device-choice.png"));
  return 0;
}
