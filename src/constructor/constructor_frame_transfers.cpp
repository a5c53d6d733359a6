// The constructor page's blank transfers: programming the pressed form, reading a form back.
#include "constructor/constructor_frame.h"

#include <QToolButton>

#include "constructor/blank_transfer.h"

namespace tarnis::constructor {

namespace {

// Another device operation is letting window messages run: the click waits for nothing.
void RefuseIfBusy(ui::UserInterface& ui, TransferOutcome outcome) {
  if (outcome == TransferOutcome::Busy) ui.Beep();
}

}  // namespace

void TFrameConstructor::BitBtn2Click() {
  RefuseIfBusy(ui_, ProgramSelectedBlank(link_, ui_, table_, SelectedForm(), PressedIndex(variant_buttons_) >= 0));
}

void TFrameConstructor::BitBtn1Click() {
  RefuseIfBusy(ui_, ReadSelectedBlank(link_, ui_, table_, SelectedForm(), [this](int form, const link::BlankFields& answer) {
    ShowReadBlank(form, answer.requisite, answer.type_sk);
  }));
}

void TFrameConstructor::ShowReadBlank(int form, std::uint8_t requisite, std::uint8_t type_sk) {
  // The answer may name another form than the one pressed: that form becomes the pressed one, so
  // that later choices go to the form the page shows.
  for (int i = 0; i < kFormCount; ++i) form_buttons_[static_cast<std::size_t>(i)]->setChecked(i + 1 == form);
  SelectRequisite(requisite);
  if (type_sk >= 1 && type_sk <= kMaxTypeSk) PressTypeSk(type_sk);
  ShowForm(form);
  PressFormVariant(form);  // the answer's variant, stored in the table already
  BuildPreview(form);
}

}  // namespace tarnis::constructor
