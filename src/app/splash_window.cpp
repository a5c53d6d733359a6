#include "app/splash_window.h"

#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPalette>
#include <QScreen>
#include <QTimer>
#include <span>

#include "platform/jpeg_image.h"

namespace tarnis::app {

QImage SplashPicture() {
  QFile file(":/splash.jpg");
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  const auto image =
      DecodeJpeg(std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())));
  if (!image) return {};
  return QImage(image->pixels.data(), image->width, image->height, image->width * 3, QImage::Format_RGB888).copy();
}

TForm2::TForm2(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  setObjectName("Form2");
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedSize(kWidth, kHeight);
  // The frame is the window's own colour, the system's highlight.
  QPalette frame_colour = palette();
  frame_colour.setColor(QPalette::Window, frame_colour.color(QPalette::Highlight));
  setPalette(frame_colour);
  setAutoFillBackground(true);

  // The picture is not scaled: the client area shows its top-left part.
  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setGeometry(kFrame, kFrame, kWidth - 2 * kFrame, kHeight - 2 * kFrame);
  Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Image1->setPixmap(QPixmap::fromImage(SplashPicture()));

  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->geometry().center() - rect().center());

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  connect(Timer1, &QTimer::timeout, this, &TForm2::Timer1Timer);
  FormCreate();
}

void TForm2::FormCreate() {
  Timer1->setInterval(kTimerIntervalMs);
  Timer1->start();
}

void TForm2::Timer1Timer() {
  Timer1->stop();
  close();
}

}  // namespace tarnis::app
