#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QThread>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "admin/inn_dialog.h"
#include "admin/state_frame.h"
#include "app/about_window.h"
#include "app/connection_settings_dialog.h"
#include "app/qt_user_interface.h"
#include "config/config_file.h"
#include "config/config_transfer.h"
#include "constructor/constructor_frame.h"
#include "goods/base_frame.h"
#include "link/link.h"
#include "link/serial_transport.h"
#include "ui/user_interface.h"
#include "wizard/cell_editors.h"
#include "wizard/wizard_dialog.h"

namespace tarnis::app {
namespace {

constexpr int kClientWidth = 742;
constexpr int kClientHeight = 504;
constexpr int kToolBarHeight = 30;
constexpr int kToolButtonWidth = 25;
constexpr int kStatusBarHeight = 21;
constexpr int kPanelWidths[3] = {562, 80, 100};
// The longest texts of the port and speed panels.
constexpr const char* kWidestPanelTexts[3] = {"", "Порт: COM100", "Скорость: 115200"};
constexpr int kPanelPadding = 10;
constexpr int kPageOffset = 5;

// Runs pending messages other than user input until `delay` has passed.
void LetSettle(std::chrono::milliseconds delay) {
  const QDeadlineTimer deadline(delay);
  while (!deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QThread::msleep(static_cast<unsigned long>(std::min<qint64>(10, deadline.remainingTime())));
  }
}

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

TForm1::~TForm1() = default;

void TForm1::BuildMenu() {
  MainMenu1 = new QMenuBar(this);
  MainMenu1->setObjectName("MainMenu1");
  const auto item = [](QAction* action, const char* name, bool enabled = true) {
    action->setObjectName(name);
    action->setEnabled(enabled);
    return action;
  };

  N1 = item(MainMenu1->addAction("Настройки подключения"), "N1");

  QMenu* constructor = MainMenu1->addMenu("Конструктор");
  constructor->setObjectName("N5Menu");
  N5 = item(constructor->menuAction(), "N5", false);
  N6 = item(constructor->addAction("\"Помощник\""), "N6");
  N7 = item(constructor->addSeparator(), "N7");
  N8 = item(constructor->addAction("Открыть конфигурацию из файла"), "N8");
  N12 = item(constructor->addAction("Сохранить конфигурацию в файле"), "N12", false);
  N011 = item(constructor->addAction("Выгрузить из ОРМИЗ КМ-07"), "N011");
  N012 = item(constructor->addAction("Загрузить в ОРМИЗ КМ-07"), "N012");
  N13 = item(constructor->addSeparator(), "N13");
  N14 = item(constructor->addAction("Данные операторов"), "N14");
  N15 = item(constructor->addAction("Название ДСО"), "N15");
  N16 = item(constructor->addAction("Услуги"), "N16");
  N17 = item(constructor->addAction("Дополнительные реквизиты"), "N17");
  N18 = item(constructor->addAction("Клише"), "N18");
  N19 = item(constructor->addSeparator(), "N19");
  N20 = item(constructor->addAction("Формы БСО"), "N20");

  N9 = item(MainMenu1->addAction("База товаров"), "N9");

  QMenu* administration = MainMenu1->addMenu("Администрирование");
  administration->setObjectName("N2Menu");
  N2 = item(administration->menuAction(), "N2", false);
  N3 = item(administration->addAction("Программирование ИНН"), "N3");
  N4 = item(administration->addAction("Запрос состояния"), "N4");

  N10 = item(MainMenu1->addAction("Отчеты"), "N10", false);
  N11 = item(MainMenu1->addAction("О программе"), "N11");
}

void TForm1::BuildToolBar() {
  ToolBar1 = new QToolBar(this);
  ToolBar1->setObjectName("ToolBar1");
  ToolBar1->setFixedHeight(kToolBarHeight);
  ToolBar1->setMovable(false);
  ToolBar1->setFloatable(false);
  ToolBar1->setIconSize(QSize(16, 16));
  const auto button = [this](const char* name, const char* hint, QStyle::StandardPixmap image,
                             bool enabled) {
    auto* tool = new QToolButton(ToolBar1);
    tool->setObjectName(name);
    tool->setToolTip(hint);
    tool->setIcon(style()->standardIcon(image));
    tool->setAutoRaise(true);
    tool->setFixedWidth(kToolButtonWidth);
    tool->setEnabled(enabled);
    ToolBar1->addWidget(tool);
    return tool;
  };
  ToolButton2 = button("ToolButton2", "Настройки подключения", QStyle::SP_DriveNetIcon, true);
  ToolBar1->addSeparator();
  ToolButton4 = button("ToolButton4", "Конструктор-\"Помощник\"", QStyle::SP_FileDialogDetailedView, false);
  ToolBar1->addSeparator();
  ToolButton6 = button("ToolButton6", "База товаров", QStyle::SP_DirIcon, false);
  ToolBar1->addSeparator();
  ToolButton8 = button("ToolButton8", "Отчеты", QStyle::SP_FileIcon, false);
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

void TForm1::WireCommands() {
  Wire(N1, &TForm1::OnOptionClick);
  Wire(ToolButton2, &TForm1::OnOptionClick);
  Wire(N9, &TForm1::N9Click);
  Wire(ToolButton6, &TForm1::N9Click);
  Wire(N4, &TForm1::N4Click);
  Wire(N3, &TForm1::N3Click);
  Wire(N11, &TForm1::N11Click);
  Wire(N011, &TForm1::N011Click);
  Wire(N012, &TForm1::N012Click);
  Wire(N12, &TForm1::N12Click);
  Wire(N8, &TForm1::N8Click);
  Wire(N20, &TForm1::N20Click);
  Wire(N6, &TForm1::N6Click);
  Wire(ToolButton4, &TForm1::N6Click);
  Wire(N14, &TForm1::N14Click);
  Wire(N15, &TForm1::N15Click);
  Wire(N16, &TForm1::N16Click);
  Wire(N17, &TForm1::N17Click);
  Wire(N18, &TForm1::N18Click);
}

void TForm1::Wire(QAction* command, void (TForm1::*handler)()) {
  connect(command, &QAction::triggered, this, [this, handler] {
    if (!RefuseWhileBusy()) (this->*handler)();
  });
}

void TForm1::Wire(QToolButton* button, void (TForm1::*handler)()) {
  connect(button, &QToolButton::clicked, this, [this, handler] {
    if (!RefuseWhileBusy()) (this->*handler)();
  });
}

bool TForm1::RefuseWhileBusy() {
  // A running operation lets messages run between its exchanges; a second command would either
  // break into its exchange or freeze it under a modal window. The hourglass already says why.
  if (!link_->busy()) return false;
  QApplication::beep();
  return true;
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
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (link_->busy()) {
    event->ignore();
    QApplication::beep();
    return;
  }
  event->accept();
}

void TForm1::ShowFrame(QWidget* frame) {
  if (current_frame_) current_frame_->hide();
  current_frame_ = frame;
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

void TForm1::ProgressEnd() {
  ProgressBar1->setValue(0);
  ProgressBar1->hide();
  QCoreApplication::processEvents();
}

void TForm1::SetDeviceMenusEnabled(bool enabled) {
  ToolButton4->setEnabled(enabled);
  ToolButton6->setEnabled(enabled);
  N5->setEnabled(enabled);
  N9->setEnabled(enabled);
  N2->setEnabled(enabled);
}

void TForm1::EnableSaveConfiguration() { N12->setEnabled(true); }

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

void TForm1::OnOptionClick() {
  {
    TForm3 dialog(*this);
    dialog.exec();
  }
  CheckAppliedPort();
}

void TForm1::N011Click() {
  ShowFrame(nullptr);
  if (config::ReadAllFromDevice(*link_, *ui_, configuration_)) EnableSaveConfiguration();
}

void TForm1::N012Click() { config::WriteAllToDevice(*link_, *ui_, configuration_); }

void TForm1::N12Click() {
  if (const auto path = ui_->ChooseSaveFile(config::kConfigurationFileDialog))
    config::SaveConfigurationFile(*path, blank_forms_, configuration_, *ui_);
}

void TForm1::N8Click() {
  const auto path = ui_->ChooseOpenFile(config::kConfigurationFileDialog);
  if (!path) return;
  config::OpenConfigurationFile(*path, blank_forms_, configuration_, *ui_);
  EnableSaveConfiguration();
  if (!constructor_frame_) return;
  constructor_frame_->InitConstructor();
  ShowFrame(constructor_frame_);
}

void TForm1::N20Click() {
  const constructor::GroupQueryResult query = constructor::QueryCurrentGroup(*link_, *ui_, blank_forms_);
  if (query.outcome == constructor::GroupQueryOutcome::Busy) return;
  EnableSaveConfiguration();
  if (query.OpensConstructor()) OpenConstructor(query);
}

void TForm1::N6Click() { OpenWizard(false, static_cast<int>(wizard::WizardPage::Start)); }
void TForm1::N14Click() { OpenWizard(true, static_cast<int>(wizard::WizardPage::Operators)); }
void TForm1::N15Click() { OpenWizard(true, static_cast<int>(wizard::WizardPage::DocumentName)); }
void TForm1::N16Click() { OpenWizard(true, static_cast<int>(wizard::WizardPage::Services)); }
void TForm1::N17Click() { OpenWizard(true, static_cast<int>(wizard::WizardPage::Requisites)); }
void TForm1::N18Click() { OpenWizard(true, static_cast<int>(wizard::WizardPage::Cliches)); }

void TForm1::OpenWizard(bool single_page, int start_page) {
  ShowFrame(nullptr);
  WizardSinglePage = single_page ? 1 : 0;
  WizardStartPage = start_page;
  wizard::TForm5 wizard(
      wizard::WizardContext{configuration_, blank_forms_, *link_, *ui_, {*form6_, *form7_}, WizardSinglePage != 0,
                            WizardStartPage, [this] { EnableSaveConfiguration(); },
                            [this](const constructor::GroupQueryResult& query) { OpenConstructor(query); }},
      this);
  wizard.exec();
}

void TForm1::OpenConstructor(const constructor::GroupQueryResult& query) {
  if (!constructor_frame_) return;
  constructor_frame_->SetGroupLabel(QString::fromStdString(query.GroupLabel()));
  QCoreApplication::processEvents();
  constructor_frame_->InitConstructor();
  ShowFrame(constructor_frame_);
}

void TForm1::CheckAppliedPort() {
  LetSettle(port_settle_delay_);
  if (!link_->settings().settings_applied) return;
  bool opened = false;
  {
    const ui::BusyCursor busy(*ui_);
    const link::Link::Operation operation(*link_);
    opened = operation && link_->CheckPort();
  }
  if (opened) {
    SetDeviceMenusEnabled(true);
    emit PortOpened();
    return;
  }
  ui::ShowError(*ui_, "Не удалось открыть порт...");
  SetPortStatus(QString(), QString());
  SetDeviceMenusEnabled(true);
}

void TForm1::N9Click() { ShowFrame(base_frame_); }

void TForm1::N4Click() { ShowFrame(state_frame_); }

void TForm1::N3Click() {
  ShowFrame(nullptr);
  admin::TForm10 dialog(*link_, *ui_, this);
  dialog.exec();
}

void TForm1::N11Click() {
  TForm4 about(this);
  about.exec();
}

void TForm1::SetSplash(QDialog* splash) { splash_ = splash; }

}  // namespace tarnis::app
