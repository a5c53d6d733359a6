#include "app/wait_window.h"

#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

namespace tarnis::app {
namespace {

constexpr int kClientWidth = 330;
constexpr int kTextHeight = 69;  // the icon and the two lines
constexpr int kClientHeight = kTextHeight + 32;
constexpr int kIconSize = 32;

}  // namespace

TForm9::TForm9(QWidget* main_window)
    : QWidget(main_window, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName("Form9");
  setWindowTitle("Выгрузка....");
  setFixedSize(kClientWidth, kClientHeight);

  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setPixmap(QIcon(":/tarnis.png").pixmap(kIconSize, kIconSize));
  Image1->setGeometry(16, (kTextHeight - kIconSize) / 2, kIconSize, kIconSize);

  const int text_left = 16 + kIconSize + 16;
  Label1 = new QLabel("Дождитесь окончания ...", this);
  Label1->setObjectName("Label1");
  Label1->setGeometry(text_left, 12, kClientWidth - text_left - 8, 20);
  Label2 = new QLabel(this);
  Label2->setObjectName("Label2");
  Label2->setGeometry(text_left, 36, kClientWidth - text_left - 8, 20);

  Button1 = new QPushButton("&Прервать", this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(kClientWidth - 8 - 90, kTextHeight - 4, 90, 25);
  Button1->setFocusPolicy(Qt::NoFocus);
  connect(Button1, &QPushButton::clicked, this, [this] {
    stop_requested_ = true;
    Button1->setEnabled(false);  // taken; the transfer stops after its current exchange
  });
}

void TForm9::SetStep(const QString& step) { Label2->setText(step); }

QString TForm9::Step() const { return Label2->text(); }

void TForm9::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  stop_requested_ = false;
  Button1->setEnabled(true);
  if (const QWidget* main_window = parentWidget())
    move(main_window->geometry().center() - rect().center());
}

void TForm9::keyPressEvent(QKeyEvent* event) {
  // Escape is the usual cancel key of a progress window.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    if (Button1->isEnabled()) Button1->click();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TForm9::closeEvent(QCloseEvent* event) { event->ignore(); }

}  // namespace tarnis::app
