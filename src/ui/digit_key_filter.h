#pragma once
// The key filter of every numeric input field: typed digits and Backspace get through, every
// other typed character is swallowed. Keys that type nothing (arrows, Home, End, Delete, Tab,
// Enter, Escape) and shortcuts keep working; text can still be pasted, so whoever converts the
// field's text checks it again.
#include <QObject>

class QEvent;
class QWidget;

namespace tarnis::ui {

class DigitKeyFilter : public QObject {
  Q_OBJECT
 public:
  using QObject::QObject;

  // Whether a key that types `text` may reach a numeric field.
  static bool Accepts(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// Filters the keys typed into `field`; the filter lives as long as the field.
void InstallDigitKeyFilter(QWidget* field);

}  // namespace tarnis::ui
