#include "app/program.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <iostream>

#include "app/main_window.h"
#include "app/splash_window.h"
#include "app/wait_window.h"
#include "link/connection_options.h"

namespace tarnis::app {
namespace {

// Reports the first paint of a window once the paint is done.
class FirstPaintWatcher : public QObject {
 public:
  FirstPaintWatcher(TForm1& window, std::function<void(TForm1&)> callback)
      : QObject(&window), window_(window), callback_(std::move(callback)) {
    window.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint && callback_) {
      window_.removeEventFilter(this);
      QMetaObject::invokeMethod(this, [this] { callback_(window_); }, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  TForm1& window_;
  std::function<void(TForm1&)> callback_;
};

}  // namespace

bool LoadQtRussianTexts(QTranslator& translator) {
  return translator.load(QLocale(QLocale::Russian, QLocale::Russia), "qtbase", "_",
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

void SetApplicationIdentity() {
  QApplication::setApplicationName("tarnis");
  // No display name: the window system would append it to every caption ("Ошибка... — Tarnis").
  // The desktop file name alone lets the window manager group the windows under the entry.
  QApplication::setDesktopFileName("tarnis");
}

int RunProgram(int& argc, char** argv, const ProgramOptions& options) {
  QApplication application(argc, argv);
  SetApplicationIdentity();
  // Qt's own dialogs (file choosers) speak the program's language.
  QTranslator qt_texts;
  if (LoadQtRussianTexts(qt_texts)) QApplication::installTranslator(&qt_texts);

  QCommandLineParser parser;
  parser.setApplicationDescription("The configurator of the ОРМИЗ КМ-07.");
  parser.addHelpOption();
  const QCommandLineOption log_option("log", "Append every exchange with the device to this file.", "file");
  parser.addOption(log_option);
  const QCommandLineOption port_option("port", "Apply this port at start, COM1..COM100.", "name");
  const QCommandLineOption baud_option("baud", "Apply this speed at start.", "baud");
  const QCommandLineOption factory_option("factory", "Apply this factory number at start.", "number");
  const QCommandLineOption timeouts_option("timeouts", "Apply these time-outs in ms at start.", "gap,total");
  parser.addOptions({port_option, baud_option, factory_option, timeouts_option});
  if (!parser.parse(QApplication::arguments())) {
    std::cerr << "tarnis: " << parser.errorText().toStdString() << '\n';
    return 2;
  }
  if (parser.isSet("help")) {
    std::cout << parser.helpText().toStdString();
    return 0;
  }

  // Start-up order: the main window (which makes the cell editors TForm6 and TForm7), the splash,
  // the wait window. When the main window first shows, the splash runs modally and then the pages
  // are made: the constructor, the goods page (which makes the goods item editor TForm8) and the
  // status page.
  TForm1 form1;
  if (parser.isSet(log_option)) {
    std::string error;
    if (!form1.OpenLogFile(parser.value(log_option).toStdString(), &error)) {
      std::cerr << "tarnis: --log: " << error << '\n';
      return 2;
    }
  }
  // Any of the connection options applies a connection at start, the others taking the settings
  // dialog's defaults; without them the program starts with no port chosen.
  if (parser.isSet(port_option) || parser.isSet(baud_option) || parser.isSet(factory_option) ||
      parser.isSet(timeouts_option)) {
    link::ConnectionOptionTexts texts;
    const auto take = [&parser](const QCommandLineOption& option, std::string& text) {
      if (parser.isSet(option)) text = parser.value(option).toStdString();
    };
    take(port_option, texts.port);
    take(baud_option, texts.baud);
    take(factory_option, texts.factory);
    take(timeouts_option, texts.timeouts);
    std::string error;
    const auto settings = link::ParseConnectionOptions(texts, &error);
    if (!settings) {
      std::cerr << "tarnis: " << error << '\n';
      return 2;
    }
    form1.SetStartConnection(*settings);
  }
  if (options.show_splash) form1.SetSplash(new TForm2(&form1));
  TForm9 form9(&form1);
  form1.SetWaitWindow(&form9);

  if (options.on_main_window_shown) new FirstPaintWatcher(form1, options.on_main_window_shown);
  form1.show();
  return QApplication::exec();
}

}  // namespace tarnis::app
