#pragma once
// Programming the taxpayer number (ИНН): the request built from what the dialog holds, the checks
// before anything is sent, and the whole "Применить" step with its question and notices.
// Programming is irreversible on the device, so nothing doubtful is sent.
#include <optional>
#include <string>

#include "link/commands.h"
#include "link/link.h"
#include "ui/user_interface.h"

namespace tarnis::admin {

constexpr int kInnMaxLength = 12;
constexpr int kPasswordMaxLength = 5;
constexpr int kFirstInnYear = 2000;
constexpr int kLastInnYear = 2255;  // the device takes the year as one byte, year minus 2000
constexpr int kGroupCount = 3;

// The dialog's inputs as typed and chosen.
struct InnForm {
  std::string inn_text;
  std::string password_text;
  int year = kFirstInnYear;
  int month = 1;
  int day = 1;
  int group_index = 0;  // item index of the group list: 0 is "Группа 1"
};

enum class InnField { None, Inn, Password, Date, Group };

struct InnFormCheck {
  std::optional<link::InnRequest> request;  // nothing when a field is refused
  InnField field = InnField::None;           // the refused field, to take the focus
  std::string message;                       // why, as the user reads it
};

// Checks the fields and builds the request. The taxpayer number is taken up to its first
// non-digit; the password must be a number of at most five digits.
InnFormCheck BuildInnRequest(const InnForm& form);

struct InnApplyResult {
  bool close_dialog = false;
  InnField focus = InnField::None;  // the field to focus when the dialog stays open
};

// The "Применить" step: refusals keep the dialog open; after the question answered No, a failure
// or a success the dialog closes. Nothing is sent while another device operation runs.
InnApplyResult ApplyInnForm(link::Link& link, ui::UserInterface& ui, const InnForm& form);

}  // namespace tarnis::admin
