// Saves a picture of each wizard page and of the two cell editors into the directory given, so
// that their layout can be looked at: wizard_screenshots <directory>.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QTimer>

#include "config/device_configuration.h"
#include "link/serial_transport.h"
#include "recording_user_interface.h"
#include "wizard/cell_editors.h"
#include "wizard/wizard_dialog.h"

int main(int argc, char** argv) {
  using namespace tarnis;
  QApplication application(argc, argv);
  const QDir directory(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("."));
  config::DeviceConfiguration configuration;
  config::FillDefaults(configuration);
  configuration.cliches[0].lines[0].Set("1\xCE\xCE\xCE \xD0\xCE\xCC\xC0\xD8\xCA\xC0");  // wide line
  constructor::BlankFormTable blank_forms;
  link::SerialTransport transport;
  link::Link link(transport);
  test::RecordingUserInterface ui;
  wizard::TForm6 line_editor;
  wizard::TForm7 number_editor;
  wizard::TForm5 form(wizard::WizardContext{configuration, blank_forms, link, ui, {line_editor, number_editor}, false,
                                            0, {}, {}});
  form.show();
  for (int page = 0; page < wizard::kPageCount; ++page) {
    form.ShowPage(form.Page(static_cast<wizard::WizardPage>(page)));
    QApplication::processEvents();
    form.grab().save(directory.filePath(QStringLiteral("wizard-page-%1.png").arg(page)));
  }
  line_editor.Edit1->setText(QStringLiteral("СТРОКА КЛИШЕ 0"));
  line_editor.show();
  QApplication::processEvents();
  line_editor.grab().save(directory.filePath(QStringLiteral("wizard-line-editor.png")));
  line_editor.Edit1->setText(QStringLiteral("СТРОКА КЛИШЕ ШИРОКАЯ"));
  line_editor.CheckBox1->setChecked(true);
  QApplication::processEvents();
  line_editor.grab().save(directory.filePath(QStringLiteral("wizard-line-editor-over-limit.png")));
  line_editor.Edit1->setText(QStringLiteral("ЁЛКА"));
  QApplication::processEvents();
  line_editor.grab().save(directory.filePath(QStringLiteral("wizard-line-editor-held-otherwise.png")));
  number_editor.Edit1->setText(QStringLiteral("1234"));
  number_editor.show();
  QApplication::processEvents();
  number_editor.grab().save(directory.filePath(QStringLiteral("wizard-number-editor.png")));
  return 0;
}
