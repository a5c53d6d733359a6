#include "app/qt_user_interface.h"

#include <QApplication>
#include <QFileDialog>
#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

#include "app/main_window.h"
#include "app/wait_window.h"
#include "ui/qt_text.h"

namespace tarnis::app {
namespace {

QMessageBox::Icon ToQtIcon(ui::Icon icon) {
  switch (icon) {
    case ui::Icon::Error: return QMessageBox::Critical;
    case ui::Icon::Information: return QMessageBox::Information;
    case ui::Icon::Question: return QMessageBox::Question;
    case ui::Icon::Warning: return QMessageBox::Warning;
    case ui::Icon::None: return QMessageBox::NoIcon;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

QString QtFileFilter(std::string_view filter) {
  const QStringList parts = ui::FromUtf8(filter).split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& name = parts[i];
    const QString patterns = QString(parts[i + 1]).replace(u';', u' ').trimmed();
    // Qt reads the patterns from the parentheses at the end of the name.
    filters << (name.endsWith("(" + patterns + ")") ? name : name + " (" + patterns + ")");
  }
  if (parts.size() % 2 == 1 && !parts.back().isEmpty()) filters << parts.back();
  return filters.join(";;");
}

QtUserInterface::~QtUserInterface() {
  while (busy_depth_ > 0) SetBusyCursor(false);
}

ui::Answer QtUserInterface::Message(const std::string& text, const std::string& caption, ui::Icon icon,
                                    ui::Buttons buttons) {
  return ShowMessage(text, caption, icon, buttons, nullptr);
}

ui::Answer QtUserInterface::MessageWithCheckBox(const std::string& text, const std::string& caption, ui::Icon icon,
                                                ui::Buttons buttons, ui::CheckBox& check_box) {
  return ShowMessage(text, caption, icon, buttons, &check_box);
}

ui::Answer QtUserInterface::ShowMessage(const std::string& text, const std::string& caption, ui::Icon icon,
                                        ui::Buttons buttons, ui::CheckBox* check_box) {
  QWidget* parent = QApplication::activeModalWidget();
  if (!parent) parent = &main_window_;
  QMessageBox box(ToQtIcon(icon), ui::FromUtf8(caption), ui::FromUtf8(text), QMessageBox::NoButton, parent);
  QAbstractButton* yes = nullptr;
  QAbstractButton* no = nullptr;
  if (buttons != ui::Buttons::Ok) {
    yes = box.addButton("Да", QMessageBox::YesRole);
    no = box.addButton("Нет", QMessageBox::NoRole);
    box.setDefaultButton(static_cast<QPushButton*>(yes));
    // With "Отмена", Escape cancels rather than answers.
    box.setEscapeButton(buttons == ui::Buttons::YesNoCancel ? box.addButton("Отмена", QMessageBox::RejectRole) : no);
  } else {
    QPushButton* ok = box.addButton("OK", QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
  }
  QCheckBox* tick = nullptr;
  if (check_box) {
    // The box owns the check box from here on.
    tick = new QCheckBox(ui::FromUtf8(check_box->text));
    tick->setObjectName("MessageCheckBox");
    tick->setChecked(check_box->checked);
    box.setCheckBox(tick);
  }
  // The hourglass of a running operation would otherwise hide the pointer over the buttons.
  if (busy_depth_ > 0) QApplication::setOverrideCursor(Qt::ArrowCursor);
  box.exec();
  if (busy_depth_ > 0) QApplication::restoreOverrideCursor();
  if (check_box) check_box->checked = tick->isChecked();
  if (buttons == ui::Buttons::Ok) return ui::Answer::Ok;
  if (box.clickedButton() == yes) return ui::Answer::Yes;
  return box.clickedButton() == no ? ui::Answer::No : ui::Answer::Cancel;
}

std::optional<std::string> QtUserInterface::ChooseFile(const ui::FileDialog& dialog, bool save) {
  QWidget* parent = QApplication::activeModalWidget();
  if (!parent) parent = &main_window_;
  QFileDialog chooser(parent, ui::FromUtf8(dialog.title), QString(), QtFileFilter(dialog.filter));
  chooser.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  chooser.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  chooser.setDefaultSuffix(ui::FromUtf8(dialog.default_suffix));
  chooser.setOption(QFileDialog::DontConfirmOverwrite, !dialog.confirm_overwrite);
  if (busy_depth_ > 0) QApplication::setOverrideCursor(Qt::ArrowCursor);
  const bool chosen = chooser.exec() == QDialog::Accepted;
  if (busy_depth_ > 0) QApplication::restoreOverrideCursor();
  if (!chosen || chooser.selectedFiles().isEmpty() || chooser.selectedFiles().front().isEmpty())
    return std::nullopt;
  return ui::ToUtf8(chooser.selectedFiles().front());
}

std::optional<std::string> QtUserInterface::ChooseOpenFile(const ui::FileDialog& dialog) {
  return ChooseFile(dialog, false);
}

std::optional<std::string> QtUserInterface::ChooseSaveFile(const ui::FileDialog& dialog) {
  return ChooseFile(dialog, true);
}

void QtUserInterface::SetBusyCursor(bool busy) {
  // Nested operations each ask for the hourglass; only the outermost sets and restores it.
  if (busy) {
    if (busy_depth_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
  } else if (busy_depth_ > 0) {
    if (--busy_depth_ == 0) QApplication::restoreOverrideCursor();
  }
}

void QtUserInterface::ProgressStart() { main_window_.ProgressStart(); }

void QtUserInterface::ProgressStep(int step, int total) { main_window_.ProgressStep(step, total); }

void QtUserInterface::ProgressEnd() { main_window_.ProgressEnd(); }

void QtUserInterface::WaitShow() {
  if (!wait_window_) return;
  // Started from a modal dialog (the search in the connection settings), the wait window must be
  // modal itself, or the dialog would block "Прервать". Otherwise it leaves the main window and
  // the exchange log usable, as before.
  if (!wait_window_->isVisible()) {
    const QWidget* modal = QApplication::activeModalWidget();
    wait_window_->setWindowModality(modal && modal != wait_window_ ? Qt::ApplicationModal : Qt::NonModal);
  }
  wait_window_->show();
  wait_window_->raise();
}

void QtUserInterface::WaitSetCaption(const std::string& caption) {
  if (wait_window_) wait_window_->setWindowTitle(ui::FromUtf8(caption));
}

void QtUserInterface::WaitSetStep(const std::string& step) {
  if (wait_window_) wait_window_->SetStep(ui::FromUtf8(step));
}

void QtUserInterface::WaitClose() {
  if (wait_window_) wait_window_->hide();
}

void QtUserInterface::ProcessEvents() { QCoreApplication::processEvents(); }

bool QtUserInterface::StopRequested() { return wait_window_ && wait_window_->isVisible() && wait_window_->stop_requested(); }

void QtUserInterface::ShowTimeLeft(const std::string& text) { main_window_.ProgressSetTimeLeft(ui::FromUtf8(text)); }

void QtUserInterface::Beep() { QApplication::beep(); }

}  // namespace tarnis::app
