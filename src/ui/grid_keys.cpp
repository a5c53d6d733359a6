#include "ui/grid_keys.h"

#include <QAbstractItemView>
#include <QKeyEvent>

namespace tarnis::ui {
namespace {

class GridKeyFilter : public QObject {
 public:
  explicit GridKeyFilter(QAbstractItemView* grid) : QObject(grid), grid_(grid) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
    const bool opens = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_F2;
    if (!opens || modifiers != Qt::NoModifier) return QObject::eventFilter(watched, event);
    const QModelIndex current = grid_->currentIndex();
    if (current.isValid()) emit grid_->doubleClicked(current);
    return true;
  }

 private:
  QAbstractItemView* grid_;
};

}  // namespace

void InstallGridKeys(QAbstractItemView* grid) {
  grid->setTabKeyNavigation(false);
  grid->installEventFilter(new GridKeyFilter(grid));
}

}  // namespace tarnis::ui
