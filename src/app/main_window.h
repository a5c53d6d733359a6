#pragma once
// TForm1, the main window: menus, tool bar, status bar with the progress bar, and the client
// panel in which the pages are shown one at a time. It owns the link, the Qt user interface and
// the pages, and hands each command to the page, dialog or operation that does the work.
//
// Extending it:
// - A command gets one handler named after its menu item (N011Click, N20Click, ...), connected in
//   WireCommands() with Wire(), which refuses the command while a device operation holds the link.
// - Pages are created once in FormShow() with PlaceFrame() and shown with ShowFrame(); they are
//   handed link(), user_interface() and the configuration through their constructors, and their
//   exit buttons call ShowFrame(nullptr).
// - Device operations hold link::Link::Operation for their whole run: that is what makes every
//   other command refuse and the window refuse to close meanwhile.
#include <QPointer>
#include <QWidget>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

#include "config/configuration_states.h"
#include "config/device_configuration.h"
#include "constructor/blank_forms.h"
#include "constructor/current_group_query.h"
#include "link/exchange_log.h"
#include "link/exchange_log_file.h"
#include "link/link_settings.h"

namespace tarnis::constructor {
class TFrameConstructor;
}
namespace tarnis::wizard {
class TForm6;
class TForm7;
}  // namespace tarnis::wizard

class QAction;
class QDialog;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QProgressBar;
class QStatusBar;
class QToolBar;
class QToolButton;

namespace tarnis::link {
class Link;
class Transport;
}  // namespace tarnis::link
namespace tarnis::ui {
class UserInterface;
}

namespace tarnis::app {

class ExchangeLogWindow;
class QtUserInterface;
class TForm9;

// What the main window works with; nothing given: its own link on the serial port and its own Qt
// user interface (message boxes, file dialogs, the window's progress bar, the wait window).
struct MainWindowServices {
  link::Link* link = nullptr;
  ui::UserInterface* user_interface = nullptr;
};

class TForm1 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm1(MainWindowServices services = {}, QWidget* parent = nullptr);
  ~TForm1() override;

  link::Link& link() { return *link_; }
  ui::UserInterface& user_interface() { return *ui_; }
  // The configuration record (defaults at start) and the blank form table (every form
  // programmed, nothing chosen), worked on in place by the pages, transfers and files.
  config::DeviceConfiguration& configuration() { return configuration_; }
  constructor::BlankFormTable& blank_forms() { return blank_forms_; }
  // Which configuration texts are on the device, edited or not written.
  config::ConfigurationStates& configuration_states() { return configuration_states_; }

  // Hides the page shown, makes `frame` (or none) current, lets pending messages run, shows it.
  void ShowFrame(QWidget* frame);
  QWidget* current_frame() const { return current_frame_; }
  // Puts a page into the client panel at (5, 5), hidden.
  void PlaceFrame(QWidget* frame);

  // The progress bar in the status bar: position step × 100 / total.
  void ProgressStart();
  void ProgressStep(int step, int total);
  void ProgressEnd();
  // "осталось ≈ 40 с" on the bar itself; empty hides the text.
  void ProgressSetTimeLeft(const QString& text);

  // "Конструктор", "Администрирование", "База товаров" and their tool buttons.
  void SetDeviceMenusEnabled(bool enabled);
  // "Сохранить конфигурацию в файле", after a whole read, an opened file or the group query.
  void EnableSaveConfiguration();

  // Makes settings the link's, as "Применить" of the connection settings does: the name's device
  // is fixed now and the status bar shows port and speed.
  void ApplyConnectionSettings(link::LinkSettings settings);
  // Settings given on the command line: applied once the pages are made, then the port is checked
  // as after the settings dialog.
  void SetStartConnection(const link::LinkSettings& settings) { start_connection_ = settings; }

  // Status bar panels 1 and 2: "Порт: " + port, "Скорость: " + speed.
  void SetPortStatus(const QString& port, const QString& speed);
  QString StatusPanelText(int panel) const;

  // The wait window the Qt user interface shows the operations' steps in.
  void SetWaitWindow(TForm9* wait_window);
  // How long the window lets the port settle after the settings dialog closed (250 ms).
  void SetPortSettleDelay(std::chrono::milliseconds delay) { port_settle_delay_ = delay; }

  // Command handlers.
  void OnOptionClick();  // N1, ToolButton2: connection settings
  void N9Click();        // N9, ToolButton6: the goods page
  void N4Click();        // N4: the status page
  void N3Click();        // N3: the ИНН dialog
  void N11Click();       // N11: the About window

  // The splash window made at start-up; the first showing of the window shows it modally.
  void SetSplash(QDialog* splash);
  void N011Click();      // N011: whole read from the device
  void N012Click();      // N012: whole write to the device
  void WriteChangesClick();  // WriteChangesAction, WriteChangesButton: only the texts not on the device
  void N013Click();      // N013: the device read into a scratch record and compared with the record
  void N12Click();       // N12: save the configuration file
  void N8Click();        // N8: open a configuration file
  void N20Click();       // N20: the current-group query, then the blank form constructor
  void N6Click();        // N6, ToolButton4: the wizard "Помощник" from its start page
  void N14Click();       // N14..N18: one page of the wizard alone: operators, document name,
  void N15Click();       //   services, additional requisites, clichés
  void N16Click();
  void N17Click();
  void N18Click();

  // Shows the blank form constructor after a current-group query that opens it: the group label
  // from the query, InitConstructor, then the page. The wizard's "Готово" ends the same way.
  void OpenConstructor(const constructor::GroupQueryResult& query);

  // "Журнал обмена" (ExchangeLogButton, Ctrl+L): shows and raises the one log window; works at any
  // time, a running operation included, since it never touches the link.
  void ShowExchangeLog();
  link::ExchangeLog& exchange_log() { return exchange_log_; }
  ExchangeLogWindow* exchange_log_window() const { return log_window_; }
  // `tarnis --log FILE`: every exchange is appended to the file as well; false with the reason
  // when it cannot be opened.
  bool OpenLogFile(const std::string& path, std::string* error);

  // Read by the wizard: whether it shows one page only, and which page it starts on.
  std::uint8_t WizardSinglePage = 0;
  std::int32_t WizardStartPage = 0;

  // Components, named as the tests and the pages find them.
  QMenuBar* MainMenu1 = nullptr;
  QAction* N1 = nullptr;
  QAction* N5 = nullptr;
  QAction* N6 = nullptr;
  QAction* N7 = nullptr;
  QAction* N8 = nullptr;
  QAction* N12 = nullptr;
  QAction* N011 = nullptr;
  QAction* N012 = nullptr;
  QAction* WriteChangesAction = nullptr;  // "Загрузить изменения в ОРМИЗ КМ-07", after N012
  QAction* N013 = nullptr;
  QAction* N13 = nullptr;
  QAction* N14 = nullptr;
  QAction* N15 = nullptr;
  QAction* N16 = nullptr;
  QAction* N17 = nullptr;
  QAction* N18 = nullptr;
  QAction* N19 = nullptr;
  QAction* N20 = nullptr;
  QAction* N9 = nullptr;
  QAction* N2 = nullptr;
  QAction* N3 = nullptr;
  QAction* N4 = nullptr;
  QAction* N10 = nullptr;
  QAction* N11 = nullptr;
  QToolBar* ToolBar1 = nullptr;
  QToolButton* ToolButton2 = nullptr;
  QToolButton* ToolButton4 = nullptr;
  QToolButton* WriteChangesButton = nullptr;
  QToolButton* ToolButton6 = nullptr;
  QToolButton* ToolButton8 = nullptr;
  QToolButton* ExchangeLogButton = nullptr;
  QAction* ExchangeLogAction = nullptr;  // its shortcut, Ctrl+L
  QFrame* Panel1 = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QProgressBar* ProgressBar1 = nullptr;

 signals:
  // The connection settings were applied and the chosen port opened: the goods page enables
  // its device buttons.
  void PortOpened();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenu();
  void BuildToolBar();
  void BuildStatusBar();
  void WireCommands();
  void FormShow();

  // Connects a command to its handler, refused while a device operation holds the link.
  void Wire(QAction* command, void (TForm1::*handler)());
  void Wire(QToolButton* button, void (TForm1::*handler)());
  bool RefuseWhileBusy();
  // After the settings dialog: let the port settle, test it, enable the device menus.
  void CheckAppliedPort();
  // Hides the page shown and runs the wizard modally, all pages or the one page start_page.
  void OpenWizard(bool single_page, int start_page);
  // Edits of the configuration or the goods base that neither the device nor a file holds.
  bool HasUnsavedEdits() const;
  // "Сохранить изменения?" before closing; false keeps the window open.
  bool SaveOrDropEdits();
  // N12's save dialog and file; true once saved.
  bool SaveConfiguration();

  config::DeviceConfiguration configuration_{};
  config::ConfigurationStates configuration_states_{configuration_};
  constructor::BlankFormTable blank_forms_;

  std::unique_ptr<link::Transport> own_transport_;
  std::unique_ptr<link::Link> own_link_;
  link::Link* link_ = nullptr;
  std::unique_ptr<QtUserInterface> own_ui_;
  ui::UserInterface* ui_ = nullptr;
  // The link's trace observer: every exchange of the run, whether or not the window is open.
  link::ExchangeLog exchange_log_;
  link::ExchangeLogFile log_file_;
  ExchangeLogWindow* log_window_ = nullptr;

  QLabel* status_panels_[3] = {};
  std::chrono::milliseconds port_settle_delay_{250};
  bool shown_before_ = false;
  std::optional<link::LinkSettings> start_connection_;

  // The page shown in the client panel, and the pages, created once in FormShow.
  QWidget* current_frame_ = nullptr;
  constructor::TFrameConstructor* constructor_frame_ = nullptr;
  QWidget* base_frame_ = nullptr;         // TBaseFrame
  QWidget* state_frame_ = nullptr;        // TStateFrame
  QPointer<QDialog> splash_;              // TForm2 until its timer closes it
  wizard::TForm6* form6_ = nullptr;       // the wizard's cell editors, made once and reused
  wizard::TForm7* form7_ = nullptr;
};

}  // namespace tarnis::app
