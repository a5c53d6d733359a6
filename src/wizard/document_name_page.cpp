#include "wizard/document_name_page.h"

#include "wizard/parameter_run.h"

namespace tarnis::wizard {
namespace {
const config::ParameterAddress kDocumentName{config::MapOf(config::Section::DocumentName).table, 1, 1};
}  // namespace

DocumentNamePage::DocumentNamePage(config::DeviceConfiguration& configuration, link::Link& link,
                                   ui::UserInterface& ui)
    : configuration_(configuration), link_(link), ui_(ui) {}

void DocumentNamePage::Read(const std::function<void()>& empty_edit, const std::function<void()>& fill_page) {
  link::Link::Operation hold(link_);
  if (!hold) return;
  ui_.SetBusyCursor(true);
  if (empty_edit) empty_edit();
  configuration_.document_name.Clear();
  const auto reply = config::ExchangeConfigurationText(link_, link::Mode::Read, configuration_, kDocumentName);
  if (!reply.ok()) {
    ui::ShowError(ui_, kReadFailure + reply.message);
  } else {
    ui::ShowNotice(ui_, kReadDone);
    if (fill_page) fill_page();
  }
  ui_.SetBusyCursor(false);
}

void DocumentNamePage::Write() {
  link::Link::Operation hold(link_);
  if (!hold) return;
  ui_.SetBusyCursor(true);
  const auto reply = config::ExchangeConfigurationText(link_, link::Mode::Write, configuration_, kDocumentName);
  if (!reply.ok())
    ui::ShowError(ui_, kWriteFailure + reply.message);
  else
    ui::ShowNotice(ui_, kWriteDone);
  ui_.SetBusyCursor(false);
}

}  // namespace tarnis::wizard
