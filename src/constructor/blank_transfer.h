#pragma once
// Programming one blank form into the device, reading one back, and learning which of the eight
// blanks the device holds. Messages go through the UserInterface; nothing here throws.
#include <functional>

#include "constructor/blank_forms.h"
#include "link/commands.h"
#include "link/link.h"
#include "ui/user_interface.h"

namespace tarnis::constructor {

enum class TransferOutcome {
  Refused,  // nothing sent: no form or no variant chosen
  Busy,     // another device operation holds the link; nothing sent, nothing shown
  Failed,   // the exchange failed or the answer could not be stored; the user was told
  Done,
};

// Sends form selected_form (1..8; anything else is "no form") with its stored variant, requisite
// and extra line, whatever the variant allows. The table does not change.
TransferOutcome ProgramSelectedBlank(link::Link& link, ui::UserInterface& ui, const BlankFormTable& table,
                                     int selected_form, bool variant_chosen);

// Called with the form the answer named and the answer itself once it is stored, before the
// success notice, so that the page can show that form.
using ShowReadBlank = std::function<void(int form, const link::BlankFields& answer)>;

// Reads form selected_form; the answer is stored into the form it names (its programmed flag
// untouched). An answer naming form 0 or a form above 8 is not stored and is reported.
TransferOutcome ReadSelectedBlank(link::Link& link, ui::UserInterface& ui, BlankFormTable& table, int selected_form,
                                  const ShowReadBlank& show);

// Reads blanks 1..8 into the table, setting programmed by whether the device holds each; stops
// silently at the first failure, leaving that entry and the ones after it as they were. A stop
// the user asked for (stop_requested, asked before each exchange) ends it the same way, without
// a failure. The caller holds the link's Operation; returns Ok or the failure that stopped it.
link::CommandResult RefreshBlankFlags(link::Link& link, BlankFormTable& table,
                                      const std::function<bool()>& stop_requested = {});

}  // namespace tarnis::constructor
