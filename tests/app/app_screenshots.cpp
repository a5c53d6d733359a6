// Saves pictures of the wait window during a transfer (its step, "Прервать") and of the main
// window's progress bar with the time left, and of a failure prompt with its check box, so that
// their layout can be looked at:
// app_screenshots <directory>.
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>

#include "app/main_window.h"
#include "app/wait_window.h"

int main(int argc, char** argv) {
  using namespace tarnis;
  QApplication application(argc, argv);
  const QDir directory(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
  app::TForm1 window;
  app::TForm9 wait(&window);
  window.SetWaitWindow(&wait);
  window.show();
  ui::UserInterface& ui = window.user_interface();
  ui.WaitShow();
  ui.WaitSetStep("Наименование услуг...");
  ui.ProgressStart();
  ui.ProgressStep(40, 198);
  ui.ShowTimeLeft("осталось ≈ 40 с");
  QApplication::processEvents();
  wait.grab().save(directory.filePath(QStringLiteral("wait-window.png")));
  window.grab().save(directory.filePath(QStringLiteral("main-window-progress.png")));
  QTimer::singleShot(300, [&directory] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      box->grab().save(directory.filePath(QStringLiteral("failure-prompt.png")));
      box->reject();
    }
  });
  ui::CheckBox dont_ask{"Не спрашивать до конца операции"};
  ui::AskContinue(ui, "Не удалось прочитать параметр... Нет ответа или не удалось открыть порт.", &dont_ask);
  ui.ShowTimeLeft("");
  ui.ProgressEnd();
  ui.WaitClose();
  return 0;
}
