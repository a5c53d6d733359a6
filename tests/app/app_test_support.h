#pragma once
// Shared by the application shell's widget tests: acting on a modal window from inside its event
// loop, and a private ports directory.
#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <string>

namespace tarnis::test {

// Calls act(window) once a modal window of type W is up, from inside its event loop. With owner,
// the wait ends with it, so a window that never came up is not waited for by the next test.
template <class W>
void WhenModal(std::function<void(W&)> act, QObject* owner = nullptr) {
  auto* timer = new QTimer(owner);
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    if (auto* window = qobject_cast<W*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      act(*window);
    }
  });
  timer->start();
}

// Points TARNIS_PORTS_DIR at a fresh directory for the lifetime of the object.
class PrivatePortsDirectory {
 public:
  PrivatePortsDirectory();
  ~PrivatePortsDirectory();
  std::string path() const { return directory_.path().toStdString(); }

 private:
  QTemporaryDir directory_;
  std::string previous_;
  bool had_previous_ = false;
};

}  // namespace tarnis::test
