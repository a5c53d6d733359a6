#pragma once
// TForm9, the wait window long transfers show while they run: a fixed line and the current step.
// Made once at start-up and only shown and hidden; caption and step keep the last texts set.
#include <QWidget>

class QLabel;

namespace tarnis::app {

class TForm9 : public QWidget {
  Q_OBJECT

 public:
  explicit TForm9(QWidget* main_window);

  void SetStep(const QString& step);
  QString Step() const;

  QLabel* Image1 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  // Only the operation that showed it hides it.
  void closeEvent(QCloseEvent* event) override;
};

}  // namespace tarnis::app
