#pragma once
// TForm2, the splash window: borderless, on top, centred on the screen, 300 × 175 pixels with a
// 3-pixel frame around the picture. Its timer starts when it is created and its first tick closes
// it; closing destroys it.
#include <QDialog>
#include <QImage>

class QLabel;
class QTimer;

namespace tarnis::app {

class TForm2 : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kWidth = 300;
  static constexpr int kHeight = 175;
  static constexpr int kFrame = 3;
  static constexpr int kTimerIntervalMs = 350;

  explicit TForm2(QWidget* parent = nullptr);

  void Timer1Timer();

  QLabel* Image1 = nullptr;
  QTimer* Timer1 = nullptr;

 private:
  void FormCreate();
};

// The splash picture, decoded from the program's resources; a null image when it cannot be.
QImage SplashPicture();

}  // namespace tarnis::app
