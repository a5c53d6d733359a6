#pragma once
// The wizard's widget tests: a wizard context over the emulated device and the recording user
// interface, and helpers that act inside the modal cell editors.
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "wizard/cell_editors.h"
#include "wizard/wizard_context.h"
#include "wizard/wizard_dialog.h"
#include "../app/app_test_support.h"
#include "wizard_test_support.h"

namespace tarnis::wizard {

// Types text into a widget key by key; Cyrillic goes as key text, as a keyboard would send it.
inline void TypeText(QWidget* widget, const QString& text) {
  for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

class WizardTest : public PageTest {
 protected:
  WizardContext Context(bool single_page, int start_page) {
    return WizardContext{configuration,
                         blank_forms,
                         device.link(),
                         ui,
                         {line_editor, number_editor},
                         single_page,
                         start_page,
                         [this] { ++save_enabled; },
                         [this](const constructor::GroupQueryResult& result) { opened = result; }};
  }
  TForm5& Open(bool single_page, int start_page) {
    wizard = std::make_unique<TForm5>(Context(single_page, start_page));
    wizard->show();
    return *wizard;
  }
  // Runs act on the modal dialog that the next call opens, once it is up.
  static void WhenModal(std::function<void(QDialog&)> act) { test::WhenModal<QDialog>(std::move(act)); }

  constructor::BlankFormTable blank_forms;
  TForm6 line_editor;
  TForm7 number_editor;
  std::unique_ptr<TForm5> wizard;
  int save_enabled = 0;
  std::optional<constructor::GroupQueryResult> opened;
};

}  // namespace tarnis::wizard
