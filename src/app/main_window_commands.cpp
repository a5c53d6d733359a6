// The main window's command handlers: each hands its command to the page, dialog or operation
// that does the work.
#include "app/main_window.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <algorithm>

#include "admin/inn_dialog.h"
#include "app/about_window.h"
#include "app/compare_dialog.h"
#include "app/connection_settings_dialog.h"
#include "config/config_file.h"
#include "config/changes_write.h"
#include "config/config_transfer.h"
#include "config/config_verification.h"
#include "config/difference_actions.h"
#include "connection/port_survey.h"
#include "constructor/constructor_frame.h"
#include "goods/base_frame.h"
#include "goods/goods_file_actions.h"
#include "link/link.h"
#include "link/serial_transport.h"
#include "ui/operation_report.h"
#include "ui/user_interface.h"
#include "wizard/cell_editors.h"
#include "wizard/wizard_dialog.h"

namespace tarnis::app {
namespace {

// Runs pending messages other than user input until `delay` has passed.
void LetSettle(std::chrono::milliseconds delay) {
  const QDeadlineTimer deadline(delay);
  while (!deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QThread::msleep(static_cast<unsigned long>(std::min<qint64>(10, deadline.remainingTime())));
  }
}

}  // namespace

void TForm1::OnOptionClick() {
  {
    TForm3 dialog(*this);
    dialog.exec();
  }
  CheckAppliedPort();
}

void TForm1::N011Click() {
  ShowFrame(nullptr);
  if (configuration_states_.HasUnsavedEdits(configuration_) && !ui::Confirm(*ui_, ui::kReplaceEditsQuestion))
    return;
  if (config::ReadAllFromDevice(*link_, *ui_, configuration_, {}, nullptr, &configuration_states_))
    EnableSaveConfiguration();
}

void TForm1::N012Click() { config::WriteAllToDevice(*link_, *ui_, configuration_, &configuration_states_); }

void TForm1::WriteChangesClick() {
  config::WriteChangesToDevice(*link_, *ui_, configuration_, configuration_states_);
}

void TForm1::N013Click() {
  // The read goes into a scratch record: the program's own stays exactly as it is.
  const config::Verification verification = config::VerifyDevice(*link_, *ui_, blank_forms_, configuration_);
  if (!verification.complete) return;  // stopped by the user: nothing to show
  const std::vector<config::Difference> first = verification.differences;
  config::DeviceComparison comparison(blank_forms_, configuration_, verification);
  // Both actions may change the record (a write takes the items' access as the device answers).
  const auto refreshed = [this] {
    EnableSaveConfiguration();
    if (constructor_frame_ && current_frame_ == constructor_frame_) constructor_frame_->InitConstructor();
  };
  CompareActions actions;
  actions.write_to_device = [&](const std::vector<int>& rows) {
    const config::ActionOutcome outcome = comparison.WriteToDevice(*link_, *ui_, configuration_states_, rows);
    refreshed();
    return config::NotWrittenText(outcome.left_out);
  };
  actions.take_from_device = [&](const std::vector<int>& rows) {
    const config::ActionOutcome outcome = comparison.TakeFromDevice(configuration_states_, rows);
    refreshed();
    return config::NotTakenText(outcome.left_out);
  };
  actions.differences = [&] { return comparison.differences(); };
  CompareDialog dialog(first, this, std::move(actions));
  dialog.exec();
}

void TForm1::N12Click() { SaveConfiguration(); }

bool TForm1::SaveConfiguration() {
  const auto path = ui_->ChooseSaveFile(config::kConfigurationFileDialog);
  if (!path || !config::SaveConfigurationFile(*path, blank_forms_, configuration_, *ui_)) return false;
  configuration_states_.Saved(configuration_);
  return true;
}

bool TForm1::HasUnsavedEdits() const {
  const auto* goods = static_cast<const goods::TBaseFrame*>(base_frame_);
  return configuration_states_.HasUnsavedEdits(configuration_) || (goods && goods->table().HasUnsavedEdits());
}

bool TForm1::SaveOrDropEdits() {
  if (!HasUnsavedEdits()) return true;
  const ui::Answer answer =
      ui_->Message("Сохранить изменения?", ui::kQuestionCaption, ui::Icon::Question, ui::Buttons::YesNoCancel);
  if (answer == ui::Answer::No) return true;
  if (answer != ui::Answer::Yes) return false;
  // Each part with unsaved edits through its own save dialog; one cancelled keeps the window open.
  if (configuration_states_.HasUnsavedEdits(configuration_) && !SaveConfiguration()) return false;
  auto* goods = static_cast<goods::TBaseFrame*>(base_frame_);
  return !(goods && goods->table().HasUnsavedEdits() && !goods::SaveGoodsTable(*ui_, goods->table()));
}

void TForm1::N8Click() {
  const auto path = ui_->ChooseOpenFile(config::kConfigurationFileDialog);
  if (!path) return;
  if (config::OpenConfigurationFile(*path, blank_forms_, configuration_, *ui_)) configuration_states_.Loaded(configuration_);
  EnableSaveConfiguration();
  if (!constructor_frame_) return;
  constructor_frame_->InitConstructor();
  ShowFrame(constructor_frame_);
}

void TForm1::N20Click() {
  const constructor::GroupQueryResult query = constructor::QueryCurrentGroup(*link_, *ui_, blank_forms_);
  if (query.outcome == constructor::GroupQueryOutcome::Busy) return;
  EnableSaveConfiguration();
  if (query.OpensConstructor()) OpenConstructor(query);
}

void TForm1::N6Click() { OpenWizard(false, static_cast<int>(wizard::WizardPage::Start)); }
void TForm1::N14Click() { OpenWizard(true, static_cast<int>(wizard::WizardPage::Operators)); }
void TForm1::N15Click() { OpenWizard(true, static_cast<int>(wizard::WizardPage::DocumentName)); }
void TForm1::N16Click() { OpenWizard(true, static_cast<int>(wizard::WizardPage::Services)); }
void TForm1::N17Click() { OpenWizard(true, static_cast<int>(wizard::WizardPage::Requisites)); }
void TForm1::N18Click() { OpenWizard(true, static_cast<int>(wizard::WizardPage::Cliches)); }

void TForm1::OpenWizard(bool single_page, int start_page) {
  ShowFrame(nullptr);
  WizardSinglePage = single_page ? 1 : 0;
  WizardStartPage = start_page;
  wizard::TForm5 wizard(
      wizard::WizardContext{configuration_, blank_forms_, *link_, *ui_, {*form6_, *form7_}, WizardSinglePage != 0,
                            WizardStartPage, [this] { EnableSaveConfiguration(); },
                            [this](const constructor::GroupQueryResult& query) { OpenConstructor(query); },
                            &configuration_states_},
      this);
  wizard.exec();
}

void TForm1::OpenConstructor(const constructor::GroupQueryResult& query) {
  if (!constructor_frame_) return;
  constructor_frame_->SetGroupLabel(QString::fromStdString(query.GroupLabel()));
  QCoreApplication::processEvents();
  constructor_frame_->InitConstructor();
  ShowFrame(constructor_frame_);
}

void TForm1::CheckAppliedPort() {
  LetSettle(port_settle_delay_);
  if (!link_->settings().settings_applied) return;
  bool opened = false;
  {
    const ui::BusyCursor busy(*ui_);
    const link::Link::Operation operation(*link_);
    opened = operation && link_->CheckPort();
  }
  if (opened) {
    SetDeviceMenusEnabled(true);
    emit PortOpened();
    return;
  }
  // The second line says why, so the user need not guess (busy by whom, no access, nothing there).
  const link::LinkSettings& settings = link_->settings();
  ui::ShowError(*ui_, "Не удалось открыть порт...\n" +
                          connection::OpenFailureReason(settings.port_name, link::SerialTransport::PortPath(settings)));
  SetPortStatus(QString(), QString());
  SetDeviceMenusEnabled(true);
}

void TForm1::N9Click() { ShowFrame(base_frame_); }

void TForm1::N4Click() { ShowFrame(state_frame_); }

void TForm1::N3Click() {
  ShowFrame(nullptr);
  admin::TForm10 dialog(*link_, *ui_, this);
  dialog.exec();
}

void TForm1::N11Click() {
  TForm4 about(this);
  about.exec();
}

}  // namespace tarnis::app
