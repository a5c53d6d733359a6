// The main window's menu, tool bar and the wiring of each command to its handler.
#include "app/main_window.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

#include "link/link.h"

namespace tarnis::app {
namespace {

constexpr int kToolBarHeight = 30;
constexpr int kToolButtonWidth = 25;

}  // namespace

void TForm1::BuildMenu() {
  MainMenu1 = new QMenuBar(this);
  MainMenu1->setObjectName("MainMenu1");
  const auto item = [](QAction* action, const char* name, bool enabled = true) {
    action->setObjectName(name);
    action->setEnabled(enabled);
    return action;
  };

  N1 = item(MainMenu1->addAction("&Настройки подключения"), "N1");

  QMenu* constructor = MainMenu1->addMenu("&Конструктор");
  constructor->setObjectName("N5Menu");
  N5 = item(constructor->menuAction(), "N5", false);
  N6 = item(constructor->addAction("\"&Помощник\""), "N6");
  N7 = item(constructor->addSeparator(), "N7");
  N8 = item(constructor->addAction("&Открыть конфигурацию из файла"), "N8");
  N12 = item(constructor->addAction("&Сохранить конфигурацию в файле"), "N12", false);
  N011 = item(constructor->addAction("&Выгрузить из ОРМИЗ КМ-07"), "N011");
  N012 = item(constructor->addAction("&Загрузить в ОРМИЗ КМ-07"), "N012");
  WriteChangesAction = item(constructor->addAction("Загрузить &изменения в ОРМИЗ КМ-07"), "WriteChangesAction");
  N013 = item(constructor->addAction("Ср&авнить с ОРМИЗ КМ-07"), "N013");
  N13 = item(constructor->addSeparator(), "N13");
  N14 = item(constructor->addAction("&Данные операторов"), "N14");
  N15 = item(constructor->addAction("&Название ДСО"), "N15");
  N16 = item(constructor->addAction("&Услуги"), "N16");
  N17 = item(constructor->addAction("Дополнительные &реквизиты"), "N17");
  N18 = item(constructor->addAction("&Клише"), "N18");
  N19 = item(constructor->addSeparator(), "N19");
  N20 = item(constructor->addAction("&Формы БСО"), "N20");

  N9 = item(MainMenu1->addAction("&База товаров"), "N9");

  QMenu* administration = MainMenu1->addMenu("&Администрирование");
  administration->setObjectName("N2Menu");
  N2 = item(administration->menuAction(), "N2", false);
  N3 = item(administration->addAction("Программирование &ИНН"), "N3");
  N4 = item(administration->addAction("&Запрос состояния"), "N4");

  // The usual shortcuts for opening and saving a document.
  N8->setShortcut(QKeySequence::Open);
  N12->setShortcut(QKeySequence::Save);

  N10 = item(MainMenu1->addAction("О&тчеты"), "N10", false);
  N11 = item(MainMenu1->addAction("О &программе"), "N11");
}

void TForm1::BuildToolBar() {
  ToolBar1 = new QToolBar(this);
  ToolBar1->setObjectName("ToolBar1");
  ToolBar1->setFixedHeight(kToolBarHeight);
  ToolBar1->setMovable(false);
  ToolBar1->setFloatable(false);
  ToolBar1->setIconSize(QSize(16, 16));
  // Raised-on-hover buttons draw no focus of their own; the keyboard user needs to see it.
  ToolBar1->setStyleSheet("QToolButton:focus { border: 1px solid palette(highlight); border-radius: 2px; }");
  const auto button = [this](const char* name, const char* hint, QStyle::StandardPixmap image,
                             bool enabled) {
    auto* tool = new QToolButton(ToolBar1);
    tool->setObjectName(name);
    tool->setToolTip(hint);
    tool->setIcon(style()->standardIcon(image));
    tool->setAutoRaise(true);
    tool->setFixedWidth(kToolButtonWidth);
    tool->setEnabled(enabled);
    tool->setFocusPolicy(Qt::TabFocus);
    ToolBar1->addWidget(tool);
    return tool;
  };
  ToolButton2 = button("ToolButton2", "Настройки подключения", QStyle::SP_DriveNetIcon, true);
  ToolBar1->addSeparator();
  ToolButton4 = button("ToolButton4", "Конструктор-\"Помощник\"", QStyle::SP_FileDialogDetailedView, false);
  WriteChangesButton =
      button("WriteChangesButton", "Загрузить изменения в ОРМИЗ КМ-07", QStyle::SP_ArrowUp, false);
  ToolBar1->addSeparator();
  ToolButton6 = button("ToolButton6", "База товаров", QStyle::SP_DirIcon, false);
  ToolBar1->addSeparator();
  ToolButton8 = button("ToolButton8", "Отчеты", QStyle::SP_FileIcon, false);
  ToolBar1->addSeparator();
  ExchangeLogButton = button("ExchangeLogButton", "Журнал обмена (Ctrl+L)", QStyle::SP_FileDialogContentsView, true);

  ExchangeLogAction = new QAction("Журнал обмена", this);
  ExchangeLogAction->setObjectName("ExchangeLogAction");
  ExchangeLogAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
  addAction(ExchangeLogAction);
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
  Wire(WriteChangesAction, &TForm1::WriteChangesClick);
  Wire(WriteChangesButton, &TForm1::WriteChangesClick);
  Wire(N013, &TForm1::N013Click);
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
  // Not refused while busy: the log is what one looks at during a long transfer.
  connect(ExchangeLogButton, &QToolButton::clicked, this, &TForm1::ShowExchangeLog);
  connect(ExchangeLogAction, &QAction::triggered, this, &TForm1::ShowExchangeLog);
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
  ui_->Beep();
  return true;
}

}  // namespace tarnis::app
