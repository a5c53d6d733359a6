#include "ui/digit_key_filter.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QWidget>

namespace tarnis::ui {

bool DigitKeyFilter::Accepts(const QString& text) {
  for (const QChar c : text) {
    // Control characters (Backspace, Tab, Enter, Escape, Ctrl shortcuts) are not typed text.
    if (c.isPrint() && !(c >= u'0' && c <= u'9')) return false;
  }
  return true;
}

bool DigitKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (!Accepts(key->text())) return true;
  } else if (event->type() == QEvent::InputMethod) {
    const auto* input = static_cast<QInputMethodEvent*>(event);
    if (!Accepts(input->commitString())) return true;
  }
  return QObject::eventFilter(watched, event);
}

void InstallDigitKeyFilter(QWidget* field) { field->installEventFilter(new DigitKeyFilter(field)); }

}  // namespace tarnis::ui
