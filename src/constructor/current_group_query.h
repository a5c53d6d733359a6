#pragma once
// Asks the device for its current group of blank forms before the constructor opens, and
// refreshes the blank form table when the device answers. The caller opens the page or not.
#include <cstdint>
#include <string>

#include "constructor/blank_forms.h"
#include "link/link.h"
#include "ui/user_interface.h"

namespace tarnis::constructor {

enum class GroupQueryOutcome {
  OpenWithGroup,     // the device answered; the table was refreshed from it
  OpenWithoutGroup,  // no answer; the user chose to go on, the table is as it was
  StayClosed,        // no answer; the user chose not to go on
  Busy,              // another device operation holds the link; nothing was done
};

struct GroupQueryResult {
  GroupQueryOutcome outcome = GroupQueryOutcome::Busy;
  std::uint8_t group = 0;  // OpenWithGroup only

  bool OpensConstructor() const {
    return outcome == GroupQueryOutcome::OpenWithGroup || outcome == GroupQueryOutcome::OpenWithoutGroup;
  }
  // What the page's group label shows: the group in decimal, or empty when it is unknown.
  std::string GroupLabel() const;
};

GroupQueryResult QueryCurrentGroup(link::Link& link, ui::UserInterface& ui, BlankFormTable& table);

}  // namespace tarnis::constructor
