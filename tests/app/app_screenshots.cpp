// Saves pictures of the wait window during a transfer (its step, "Прервать") and of the main
// window's progress bar with the time left, of a failure prompt with its check box, of the goods
// page with edited rows and of the question on closing with them, so that their layout can be
// looked at:
// app_screenshots <directory>.
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>

#include "app/main_window.h"
#include "app/wait_window.h"
#include "goods/base_frame.h"

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
  const auto grab_box = [&directory](const char* name) {
    QTimer::singleShot(300, [&directory, name] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        box->grab().save(directory.filePath(QString::fromLatin1(name)));
        box->reject();
      }
    });
  };
  grab_box("failure-prompt.png");
  ui::CheckBox dont_ask{"Не спрашивать до конца операции"};
  ui::AskContinue(ui, "Не удалось прочитать параметр... Нет ответа или не удалось открыть порт.", &dont_ask);
  ui.ShowTimeLeft("");
  ui.ProgressEnd();
  ui.WaitClose();

  goods::TBaseFrame goods_page(window.link(), ui);
  goods_page.EnableDeviceControls();
  goods_page.table().SetCell(3, goods::GoodsColumn::Price, "1.00");
  goods_page.table().SetCell(5, goods::GoodsColumn::Section, "2");
  goods_page.table().MarkNotWritten(7);
  goods_page.resize(900, 500);
  goods_page.show();
  QApplication::processEvents();
  goods_page.grab().save(directory.filePath(QStringLiteral("goods-edited.png")));
  grab_box("close-question.png");
  ui.Message("Сохранить изменения?", ui::kQuestionCaption, ui::Icon::Question, ui::Buttons::YesNoCancel);
  return 0;
}
