#include "constructor/blank_transfer.h"

namespace tarnis::constructor {

namespace {

link::BlankFields RequestFields(int form, const BlankFormEntry& entry) {
  return {static_cast<std::uint8_t>(form), entry.variant, entry.requisite, entry.typeSk};
}

void StoreAnswer(BlankFormEntry& entry, const link::BlankFields& answer) {
  entry.variant = answer.variant;
  entry.requisite = answer.requisite;
  entry.typeSk = answer.type_sk;
}

}  // namespace

TransferOutcome ProgramSelectedBlank(link::Link& link, ui::UserInterface& ui, const BlankFormTable& table,
                                     int selected_form, bool variant_chosen) {
  if (!variant_chosen) {
    ui::ShowNotice(ui, "Не выбран вариант для программирования.");
    return TransferOutcome::Refused;
  }
  const BlankFormEntry* entry = table.Form(selected_form);
  if (entry == nullptr) {
    ui::ShowError(ui, "Не выбрана форма для программирования.");
    return TransferOutcome::Refused;
  }
  link::Link::Operation operation(link);
  if (!operation) return TransferOutcome::Busy;

  link::BlankReply reply;
  {
    ui::BusyCursor busy(ui);
    reply = link::ExchangeBlank(link, link::Mode::Write, RequestFields(selected_form, *entry));
  }
  if (!reply.ok()) {
    ui::ShowError(ui, "Не удалось запрограммировать бланк... " + reply.message);
    return TransferOutcome::Failed;
  }
  ui::ShowNotice(ui, "Бланк удачно запрограммированн...");
  return TransferOutcome::Done;
}

TransferOutcome ReadSelectedBlank(link::Link& link, ui::UserInterface& ui, BlankFormTable& table, int selected_form,
                                  const ShowReadBlank& show) {
  const BlankFormEntry* selected = table.Form(selected_form);
  if (selected == nullptr) {
    ui::ShowError(ui, "Не выбрана форма для чтения.");
    return TransferOutcome::Refused;
  }
  link::Link::Operation operation(link);
  if (!operation) return TransferOutcome::Busy;

  link::BlankReply reply;
  {
    ui::BusyCursor busy(ui);
    reply = link::ExchangeBlank(link, link::Mode::Read, RequestFields(selected_form, *selected));
  }
  if (!reply.ok()) {
    ui::ShowError(ui, "Не удалось прочитать бланк..." + reply.message);
    return TransferOutcome::Failed;
  }
  // The answer names the form it holds; 0 means the device has no such blank.
  const int form = reply.fields.number;
  BlankFormEntry* target = table.Form(form);
  if (target == nullptr) {
    ui::ShowError(ui, "Не удалось прочитать бланк... В КМ нет такого бланка.");
    return TransferOutcome::Failed;
  }
  StoreAnswer(*target, reply.fields);
  if (show) show(form, reply.fields);
  ui::ShowNotice(ui, "Бланк удачно прочитан...");
  return TransferOutcome::Done;
}

link::CommandResult RefreshBlankFlags(link::Link& link, BlankFormTable& table,
                                      const std::function<bool()>& stop_requested) {
  for (int form = 1; form <= kFormCount; ++form) {
    if (stop_requested && stop_requested()) break;
    BlankFormEntry& entry = *table.Form(form);
    const link::BlankReply reply = link::ExchangeBlank(link, link::Mode::Read, RequestFields(form, entry));
    if (!reply.ok()) return reply;
    StoreAnswer(entry, reply.fields);
    entry.programmed = reply.fields.number != 0 ? 1 : 0;
  }
  return {};
}

}  // namespace tarnis::constructor
