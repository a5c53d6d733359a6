#include "app/wait_window.h"

#include <QCloseEvent>
#include <QIcon>
#include <QLabel>

namespace tarnis::app {
namespace {

constexpr int kClientWidth = 330;
constexpr int kClientHeight = 69;
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
  Image1->setGeometry(16, (kClientHeight - kIconSize) / 2, kIconSize, kIconSize);

  const int text_left = 16 + kIconSize + 16;
  Label1 = new QLabel("Дождитесь окончания ...", this);
  Label1->setObjectName("Label1");
  Label1->setGeometry(text_left, 12, kClientWidth - text_left - 8, 20);
  Label2 = new QLabel(this);
  Label2->setObjectName("Label2");
  Label2->setGeometry(text_left, 36, kClientWidth - text_left - 8, 20);
}

void TForm9::SetStep(const QString& step) { Label2->setText(step); }

QString TForm9::Step() const { return Label2->text(); }

void TForm9::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (const QWidget* main_window = parentWidget())
    move(main_window->geometry().center() - rect().center());
}

void TForm9::closeEvent(QCloseEvent* event) { event->ignore(); }

}  // namespace tarnis::app
