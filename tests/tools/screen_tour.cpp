// Walks the desktop program through every screen against a device on a port and saves a picture
// of each into a directory: screen_tour --port COM3 --factory 4242 <directory>. It goes the way a user does, by
// the menus and buttons the widget tests find by name, and exits with 1 naming the first screen
// it could not reach. scripts/screenshots.sh runs it against the emulator.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "app/main_window.h"
#include "app/program.h"

namespace {

using tarnis::app::TForm1;

class ScreenTour {
 public:
  ScreenTour(QDir directory, QString port, QString factory)
      : directory_(std::move(directory)), port_(std::move(port)), factory_(std::move(factory)) {}

  void Run(TForm1& window) {
    window_ = &window;
    StartWatchdog();
    ConnectionSettings();
    Step("main window");
    Save(window, "main-window");
    // Before the read: the program still holds its defaults, the device what the script gave it.
    // The comparison's read ends as every whole read does, then shows its table.
    ExpectNotice(QStringLiteral("Прочитано удачно..."));
    Modal("CompareDialog", [&] { Trigger("N013"); }, "compare", "", [&](QDialog& dialog) {
      if (Child<QTableWidget>(dialog, "DifferenceTable").rowCount() == 0)
        Fail(QStringLiteral("the device shows no difference"));
    });
    CheckNoticeSeen();
    // Reading and writing show the same wait window; the read fills the pages for the wizard.
    WholeTransfer("N011", "whole-transfer-wait", "whole-transfer-time-left", QStringLiteral("Прочитано удачно..."));
    Wizard();
    Constructor();
    Goods();
    Status();
    ExchangeLog();
    Modal("Form10", [&] { Trigger("N3"); }, "inn-dialog", "Button1");  // "Отмена"
    Modal("Form4", [&] { Trigger("N11"); }, "about", "Button1", [&](QDialog& about) {
      // The version the build embedded, as the installed program shows it.
      if (Child<QLabel>(about, "Label4").text().isEmpty()) Fail(QStringLiteral("the version is not shown"));
    });
    std::printf("screen_tour: %d pictures in %s\n", saved_, qPrintable(directory_.path()));
    QApplication::exit(0);
  }

 private:
  [[noreturn]] void Fail(const QString& why) {
    std::fprintf(stderr, "screen_tour: cannot reach %s: %s\n", qPrintable(step_), qPrintable(why));
    std::fflush(stderr);
    std::_Exit(1);
  }

  void Step(const QString& step) {
    step_ = step;
    clock_.restart();
  }

  // Saves what the widget shows as <name>.png, at its own size.
  void Save(QWidget& widget, const QString& name) {
    QApplication::processEvents();
    const QImage image = widget.grab().toImage();
    if (image.isNull() || !image.save(directory_.filePath(name + ".png"), "PNG", 0))
      Fail("the picture " + name + ".png could not be saved");
    ++saved_;
  }

  template <class T>
  T& Child(QObject& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    if (!child) Fail(QStringLiteral("no %1 named %2").arg(T::staticMetaObject.className(), name));
    return *child;
  }

  void Trigger(const char* action) {
    QAction& command = Child<QAction>(*window_, action);
    if (!command.isEnabled()) Fail(QStringLiteral("%1 is disabled").arg(action));
    command.trigger();
  }

  // The notice the current step ends with ("Прочитано удачно..."); any other message box means
  // the program reports a failure the tour did not expect. Nothing may hang.
  void ExpectNotice(const QString& text) { expected_notice_ = text; }
  void CheckNoticeSeen() {
    if (!expected_notice_.isEmpty()) Fail("the program did not say \"" + expected_notice_ + "\"");
  }
  void StartWatchdog() {
    auto* timer = new QTimer(window_);
    clock_.start();
    QObject::connect(timer, &QTimer::timeout, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        if (expected_notice_.isEmpty() || box->text() != expected_notice_)
          Fail("the program says \"" + box->text() + "\"");
        expected_notice_.clear();
        box->accept();
      }
      if (clock_.elapsed() > 20'000) Fail(QStringLiteral("no progress within 20 s"));
    });
    timer->start(50);
  }

  // Runs trigger(); act(dialog) once the modal window named `name` is up, from inside its event
  // loop. act must close it.
  void WhenModal(const char* name, const std::function<void()>& trigger, const std::function<void(QDialog&)>& act) {
    bool reached = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (!dialog || dialog->objectName() != QLatin1String(name) || reached) return;
      reached = true;
      poll.stop();
      act(*dialog);
    });
    poll.start(5);
    trigger();
    if (!reached) Fail(QStringLiteral("the window %1 did not open").arg(name));
  }

  // A modal window open() brings up: checked, its picture taken, closed by its button (an empty
  // name: as by Escape).
  void Modal(const char* name, const std::function<void()>& open, const QString& picture, const char* close_button,
             const std::function<void(QDialog&)>& check = {}) {
    Step(picture);
    WhenModal(name, open, [&](QDialog& dialog) {
      if (check) check(dialog);
      Save(dialog, picture);
      if (*close_button == '\0') dialog.reject();
      else Child<QAbstractButton>(dialog, close_button).click();
    });
  }

  // Waits, with the event loop running, until done() holds.
  void WaitFor(const QString& what, const std::function<bool()>& done) {
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
      if (waited.elapsed() > 10'000) Fail(what);
      QTest::qWait(10);
    }
  }

  void ConnectionSettings() {
    Step("connection settings");
    WhenModal("Form3", [&] { Trigger("N1"); }, [&](QDialog& dialog) {
      Save(dialog, "connection-settings");  // as it opens, with its defaults
      FindDevice(dialog);
      Child<QAbstractButton>(dialog, "Button1").click();  // "Применить"
    });
    WaitFor(QStringLiteral("the device menus stay disabled"), [&] { return Child<QAction>(*window_, "N5").isEnabled(); });
  }

  // "Найти аппарат" with the device's factory number typed in: the script runs a second device, so
  // the search offers both; the one at the tour's port is taken.
  void FindDevice(QDialog& settings) {
    Child<QComboBox>(settings, "ComboBox1").setCurrentText(QStringLiteral("COM100"));
    Child<QComboBox>(settings, "ComboBox2").setCurrentText(QStringLiteral("9600"));
    Child<QLineEdit>(settings, "Edit3").setText(factory_);
    Step("device-choice");
    WhenModal("DeviceChoice", [&] { Child<QAbstractButton>(settings, "FindDevice").click(); }, [&](QDialog& choice) {
      auto& devices = Child<QListWidget>(choice, "DeviceList");
      if (devices.count() < 2) Fail(QStringLiteral("fewer than two devices were found"));
      const auto ours = devices.findItems(port_, Qt::MatchContains);
      if (ours.isEmpty()) Fail(QStringLiteral("the device at ") + port_ + QStringLiteral(" is not offered"));
      devices.setCurrentItem(ours.front());
      Save(choice, "device-choice");
      choice.accept();
    });
    Step("connection settings after the search");
    if (Child<QComboBox>(settings, "ComboBox1").currentText() != port_)
      Fail(QStringLiteral("the search did not fill in the port"));
    Save(settings, "connection-found");
    // The search must show: the found state is not the dialog as it opened.
    if (QImage(directory_.filePath("connection-found.png")) == QImage(directory_.filePath("connection-settings.png")))
      Fail(QStringLiteral("the settings after the search look as they opened"));
  }

  // The wait window of a whole transfer and the main window's progress with the time left, caught
  // in the middle of it.
  void WholeTransfer(const char* action, const QString& picture, const QString& progress_picture,
                     const QString& notice) {
    Step(picture);
    ExpectNotice(notice);
    QWidget& wait_window = Child<QWidget>(*window_, "Form9");
    bool caught = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (caught || !wait_window.isVisible()) return;
      auto& bar = Child<QProgressBar>(*window_, "ProgressBar1");
      if (bar.value() < 30 || !bar.isTextVisible()) return;
      caught = true;
      Save(wait_window, picture);
      Save(*window_, progress_picture);
    });
    poll.start(5);
    Trigger(action);
    if (!caught) Fail(QStringLiteral("the wait window did not show"));
    CheckNoticeSeen();
  }

  void Wizard() {
    static const char* const kPages[] = {"TStartFrame", "TDataOperFrame", "TDcoFrame", "TUslFrame",
                                         "TKlsFrame",   "TKlsFrame2",     "TLastFrame"};
    Step("wizard");
    WhenModal("TForm5", [&] { Trigger("N6"); }, [&](QDialog& wizard) {
      int number = 1;
      for (const char* page_name : kPages) {
        Step(QStringLiteral("wizard page %1").arg(page_name));
        QWidget& page = Child<QWidget>(wizard, page_name);
        WaitFor(QStringLiteral("the page is not shown"), [&] { return page.isVisible(); });
        Save(wizard, QStringLiteral("wizard-%1").arg(number++));
        if (page_name == kPages[1]) CellEditors(page);
        Child<QAbstractButton>(page, "Button1").click();  // "Далее >>>", on the last page "Готово"
      }
    });
  }

  // The two cell editors, opened by a double-click on the operators' name and password.
  void CellEditors(QWidget& operators_page) {
    auto* grid = operators_page.findChild<QTableWidget*>();
    if (!grid) Fail(QStringLiteral("the operators page has no grid"));
    const struct {
      int column;
      const char* name;
      const char* picture;
    } editors[] = {{2, "TForm6", "wizard-line-editor"}, {3, "TForm7", "wizard-number-editor"}};
    for (const auto& [column, name, picture] : editors) {
      grid->setCurrentCell(0, column);
      Modal(name, [&] { emit grid->cellDoubleClicked(0, column); }, picture, "Button2");  // "Отмена"
    }
    // A wide text longer than the device prints: the count turns red and says what is lost.
    grid->setCurrentCell(0, 2);
    Modal("TForm6", [&] { emit grid->cellDoubleClicked(0, 2); }, "wizard-line-editor-over-limit", "Button2",
          [&](QDialog& editor) {
            Child<QLineEdit>(editor, "Edit1").setText(QStringLiteral("ИВАНОВ ИВАН ИВАНОВИЧ"));
            Child<QCheckBox>(editor, "CheckBox1").setChecked(true);
            if (!Child<QLabel>(editor, "LengthWarning").isVisibleTo(&editor))
              Fail(QStringLiteral("no warning under a wide text over its limit"));
          });
  }

  // "Готово" ends the wizard in the blank-form constructor.
  void Constructor() {
    Step("blank-form constructor");
    QWidget& constructor = Child<QWidget>(*window_, "TFrameConstructor");
    WaitFor(QStringLiteral("the constructor is not shown"), [&] { return constructor.isVisible(); });
    Child<QAbstractButton>(constructor, "SpeedButton1").click();   // form 1
    Child<QAbstractButton>(constructor, "SpeedButton10").click();  // its variant 2
    if (Child<QPlainTextEdit>(constructor, "RichEdit1").toPlainText().trimmed().isEmpty())
      Fail(QStringLiteral("the preview stays empty"));
    Save(*window_, "constructor");
    Modal("TForm11", [&] { Child<QAbstractButton>(constructor, "BitBtn3").click(); }, "constructor-help", "Button1");
  }

  void Goods() {
    Step("goods page");
    Trigger("N9");
    QWidget& page = Child<QWidget>(*window_, "BaseFrame");
    WaitFor(QStringLiteral("the goods page is not shown"), [&] { return page.isVisible(); });
    Child<QCheckBox>(page, "CheckBox2").setChecked(true);  // "Диапазон"
    Child<QLineEdit>(page, "Edit1").setText(QStringLiteral("0"));
    Child<QLineEdit>(page, "Edit2").setText(QStringLiteral("9"));
    auto& grid = Child<QTableView>(page, "StringGrid1");
    ExpectNotice(QStringLiteral("Прочитано удачно..."));
    Child<QAbstractButton>(page, "BitBtn1").click();  // "Выгрузить из КМ"
    CheckNoticeSeen();
    if (grid.model()->index(1, 2).data().toString().isEmpty()) Fail(QStringLiteral("no goods were read"));
    Save(*window_, "goods");

    const QModelIndex row = grid.model()->index(2, 2);
    grid.setCurrentIndex(row);
    // The grid's double-click, as a click pair on the viewport would give it; "Отмена" closes.
    Modal("Form8", [&] { emit grid.doubleClicked(row); }, "goods-item", "Button2");
  }

  void Status() {
    Step("status page");
    Trigger("N4");
    QWidget& page = Child<QWidget>(*window_, "StateFrame");
    WaitFor(QStringLiteral("the status page is not shown"), [&] { return page.isVisible(); });
    Child<QAbstractButton>(page, "BitBtn1").click();  // "Состояние"
    Save(*window_, "status");
  }

  // "Журнал обмена" after a few status requests.
  void ExchangeLog() {
    Step("exchange log");
    Child<QAbstractButton>(*window_, "ExchangeLogButton").click();
    auto* log = window_->findChild<QWidget*>(QStringLiteral("ExchangeLogWindow"));
    if (!log || !log->isVisible()) Fail(QStringLiteral("the log window did not open"));
    Child<QAbstractButton>(*log, "ClearButton").click();
    auto& status = Child<QAbstractButton>(Child<QWidget>(*window_, "StateFrame"), "BitBtn1");
    for (int request = 0; request < 3; ++request) status.click();
    if (Child<QPlainTextEdit>(*log, "LogText").blockCount() < 3) Fail(QStringLiteral("the log shows no exchanges"));
    Save(*log, "exchange-log");
    log->close();
  }

  QDir directory_;
  QString port_;
  QString factory_;  // the tour's device's, typed in before the search
  TForm1* window_ = nullptr;
  QString step_ = QStringLiteral("start");
  QString expected_notice_;
  QElapsedTimer clock_;
  int saved_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QString port = QStringLiteral("COM1");
  QString factory = QStringLiteral("1");
  QString directory;
  for (int i = 1; i < argc; ++i) {
    const QString argument = QString::fromLocal8Bit(argv[i]);
    if (argument == QLatin1String("--port") && i + 1 < argc) port = QString::fromLocal8Bit(argv[++i]);
    else if (argument == QLatin1String("--factory") && i + 1 < argc) factory = QString::fromLocal8Bit(argv[++i]);
    else if (!argument.startsWith(QLatin1Char('-')) && directory.isEmpty()) directory = argument;
  }
  if (directory.isEmpty() || !QDir().mkpath(directory)) {
    std::fprintf(stderr, "usage: screen_tour [--port COMn] [--factory N] <directory>\n");
    return 2;
  }
  ScreenTour tour{QDir(directory), port, factory};
  tarnis::app::ProgramOptions options;
  options.show_splash = false;
  options.on_main_window_shown = [&tour](TForm1& window) { tour.Run(window); };
  // The program sees only its own name: the tour's options are not the program's.
  int program_argc = 1;
  return tarnis::app::RunProgram(program_argc, argv, options);
}
