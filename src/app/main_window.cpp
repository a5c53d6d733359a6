#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "admin/state_frame.h"
#include "app/exchange_log_window.h"
#include "app/qt_user_interface.h"
#include "connection/port_failure.h"
#include "constructor/constructor_frame.h"
#include "goods/base_frame.h"
#include "link/link.h"
#include "link/serial_transport.h"
#include "platform/port_names.h"
#include "ui/qt_text.h"
#include "ui/user_interface.h"
#include "wizard/cell_editors.h"

namespace tarnis::app {
namespace {

constexpr int kClientWidth = 742;
constexpr int kClientHeight = 504;
constexpr int kStatusBarHeight = 21;
constexpr int kPanelWidths[3] = {562, 80, 100};
// The longest texts of the port and speed panels.
constexpr const char* kWidestPanelTexts[3] = {"", "Порт: COM100", "Скорость: 115200"};
constexpr int kPanelPadding = 10;
constexpr int kPageOffset = 5;

}  // namespace

TForm1::TForm1(MainWindowServices services, QWidget* parent)
    : QWidget(parent,
              Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                  Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
  setObjectName("Form1");
  setWindowTitle("Tarnis");
  setWindowIcon(QIcon(":/tarnis.png"));
  constructor::ResetBlankForms(blank_forms_);
  config::FillDefaults(configuration_);
  configuration_states_.Loaded(configuration_);

  // The link starts with no port chosen and factory number "0"; an injected link is used as given.
  if (services.link) {
    link_ = services.link;
  } else {
    own_transport_ = std::make_unique<link::SerialTransport>();
    own_link_ = std::make_unique<link::Link>(*own_transport_);
    link_ = own_link_.get();
  }
  if (services.user_interface) {
    ui_ = services.user_interface;
  } else {
    own_ui_ = std::make_unique<QtUserInterface>(*this);
    ui_ = own_ui_.get();
  }
  exchange_log_.Attach(*link_);
  connection::ExplainPortFailures(*link_);
  exchange_log_.SetListener([this](const link::ExchangeRecord& record) {
    log_file_.Append(record);
    if (log_window_) log_window_->Append(record);
  });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  BuildMenu();
  layout->setMenuBar(MainMenu1);
  BuildToolBar();
  layout->addWidget(ToolBar1);
  Panel1 = new QFrame(this);
  Panel1->setObjectName("Panel1");
  Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  layout->addWidget(Panel1, 1);
  BuildStatusBar();
  layout->addWidget(StatusBar1);
  WireCommands();
  form6_ = new wizard::TForm6(this);
  form7_ = new wizard::TForm7(this);

  // The menu bar lies outside the client area, whose size is fixed.
  setFixedSize(kClientWidth, kClientHeight + MainMenu1->sizeHint().height());
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

TForm1::~TForm1() {
  // An injected link may outlive the window: it must not call into the log that goes with it.
  link_->SetTraceObserver({});
  link_->SetNoteObserver({});
}

void TForm1::BuildStatusBar() {
  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setSizeGripEnabled(false);
  StatusBar1->setFixedHeight(kStatusBarHeight);
  // The bar takes no input, but its texts read as normal text, not greyed.
  QPalette palette = StatusBar1->palette();
  for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::Highlight})
    palette.setColor(QPalette::Disabled, role, palette.color(QPalette::Active, role));
  StatusBar1->setPalette(palette);
  StatusBar1->setEnabled(false);

  static const char* const kTexts[3] = {"", "Порт:", "Скорость:"};
  // The port and speed panels widen when the font needs it; the progress panel gives the room.
  int widths[3] = {kPanelWidths[0], kPanelWidths[1], kPanelWidths[2]};
  const QFontMetrics metrics = StatusBar1->fontMetrics();
  for (int i = 1; i < 3; ++i) {
    widths[i] = std::max(kPanelWidths[i], metrics.horizontalAdvance(kWidestPanelTexts[i]) + kPanelPadding);
    widths[0] -= widths[i] - kPanelWidths[i];
  }
  int left = 0;
  for (int i = 0; i < 3; ++i) {
    auto* panel = new QLabel(kTexts[i], StatusBar1);
    panel->setObjectName(QString("StatusPanel%1").arg(i));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setIndent(2);
    panel->setGeometry(left, 0, widths[i], kStatusBarHeight);
    left += widths[i];
    status_panels_[i] = panel;
  }

  ProgressBar1 = new QProgressBar(StatusBar1);
  ProgressBar1->setObjectName("ProgressBar1");
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setTextVisible(false);
  ProgressBar1->setGeometry(0, 2, widths[0], kStatusBarHeight - 2);
  ProgressBar1->setValue(0);
}

void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (shown_before_) return;
  shown_before_ = true;
  FormShow();
}

void TForm1::FormShow() {
  // Hints are on in Qt from the start. The splash window (TForm2) is shown here, modally, before
  // the pages are made.
  if (splash_) splash_->exec();
  // Pages, created hidden in Panel1: the constructor, then the goods page, then the status page.
  constructor_frame_ = new constructor::TFrameConstructor(configuration_, blank_forms_, *link_, *ui_);
  PlaceFrame(constructor_frame_);
  constructor_frame_->SetLeaveHandler([this] { ShowFrame(nullptr); });
  constructor_frame_->InitConstructor();
  auto* base_frame = new goods::TBaseFrame(*link_, *ui_);
  PlaceFrame(base_frame);
  connect(base_frame, &goods::TBaseFrame::ExitRequested, this, [this] { ShowFrame(nullptr); });
  connect(this, &TForm1::PortOpened, base_frame, &goods::TBaseFrame::EnableDeviceControls);
  base_frame_ = base_frame;
  state_frame_ = new admin::TStateFrame(*link_, *ui_);
  PlaceFrame(state_frame_);
  WizardSinglePage = 0;
  WizardStartPage = 0;
  current_frame_ = nullptr;
  if (start_connection_) {
    // Once the window has painted, so that a port that fails is reported over the window.
    QMetaObject::invokeMethod(this, [this] {
      ApplyConnectionSettings(*start_connection_);
      CheckAppliedPort();
    }, Qt::QueuedConnection);
  }
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (link_->busy()) {
    event->ignore();
    ui_->Beep();
    return;
  }
  if (!SaveOrDropEdits()) {
    event->ignore();
    return;
  }
  event->accept();
}

void TForm1::ShowFrame(QWidget* frame) {
  if (current_frame_) current_frame_->hide();
  current_frame_ = frame;
  // On the goods page Ctrl+O and Ctrl+S mean its goods file; two owners would silence the keys.
  const bool goods_page = frame && frame == base_frame_;
  N8->setShortcut(goods_page ? QKeySequence() : QKeySequence(QKeySequence::Open));
  N12->setShortcut(goods_page ? QKeySequence() : QKeySequence(QKeySequence::Save));
  QCoreApplication::processEvents();
  if (frame) frame->show();
}

void TForm1::PlaceFrame(QWidget* frame) {
  frame->setParent(Panel1);
  frame->move(kPageOffset, kPageOffset);
  frame->hide();
}

void TForm1::ProgressStart() {
  ProgressBar1->setValue(0);
  ProgressBar1->show();
  QCoreApplication::processEvents();
}

void TForm1::ProgressStep(int step, int total) {
  ProgressBar1->setValue(std::clamp(ui::ProgressPosition(step, total), 0, 100));
  QCoreApplication::processEvents();
}

void TForm1::ProgressSetTimeLeft(const QString& text) {
  ProgressBar1->setFormat(text);
  ProgressBar1->setTextVisible(!text.isEmpty());
}

void TForm1::ProgressEnd() {
  ProgressBar1->setValue(0);
  ProgressBar1->hide();
  QCoreApplication::processEvents();
}

void TForm1::SetDeviceMenusEnabled(bool enabled) {
  ToolButton4->setEnabled(enabled);
  WriteChangesButton->setEnabled(enabled);
  ToolButton6->setEnabled(enabled);
  N5->setEnabled(enabled);
  N9->setEnabled(enabled);
  N2->setEnabled(enabled);
}

void TForm1::EnableSaveConfiguration() { N12->setEnabled(true); }

void TForm1::ApplyConnectionSettings(link::LinkSettings settings) {
  settings.settings_applied = true;
  // Fixed now: a ports-directory entry that vanishes later must not turn the name into another tty.
  settings.port_path = ResolvePortName(settings.port_name).value_or(std::string());
  link_->settings() = settings;
  SetPortStatus(ui::FromUtf8(settings.port_name), QString::number(settings.baud_rate));
}

void TForm1::SetPortStatus(const QString& port, const QString& speed) {
  status_panels_[1]->setText("Порт: " + port);
  status_panels_[2]->setText("Скорость: " + speed);
}

QString TForm1::StatusPanelText(int panel) const {
  return panel >= 0 && panel < 3 ? status_panels_[panel]->text() : QString();
}

void TForm1::SetWaitWindow(TForm9* wait_window) {
  if (own_ui_) own_ui_->SetWaitWindow(wait_window);
}

void TForm1::SetSplash(QDialog* splash) { splash_ = splash; }

void TForm1::ShowExchangeLog() {
  if (!log_window_) log_window_ = new ExchangeLogWindow(exchange_log_, *ui_, this);
  log_window_->show();
  log_window_->raise();
  log_window_->activateWindow();
}

bool TForm1::OpenLogFile(const std::string& path, std::string* error) { return log_file_.Open(path, error); }

}  // namespace tarnis::app
