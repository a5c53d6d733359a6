#pragma once
// TForm9, the wait window long transfers show while they run: a fixed line, the current step and
// "Прервать", which asks the running transfer to stop after its current exchange. The button never
// takes the keyboard focus, so a stray Space or Enter stops nothing; the mouse, Alt+П and Escape do. Made once at
// start-up and only shown and hidden; caption and step keep the last texts set.
#include <QWidget>

class QLabel;
class QPushButton;

namespace tarnis::app {

class TForm9 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm9(QWidget* main_window);

  void SetStep(const QString& step);
  QString Step() const;

  // Every showing starts a transfer that has not been stopped yet.
  bool stop_requested() const { return stop_requested_; }

  QLabel* Image1 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QPushButton* Button1 = nullptr;  // "Прервать"

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  // Only the operation that showed it hides it.
  void closeEvent(QCloseEvent* event) override;

 private:
  bool stop_requested_ = false;
};

}  // namespace tarnis::app
