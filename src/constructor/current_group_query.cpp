#include "constructor/current_group_query.h"

#include "constructor/blank_transfer.h"
#include "link/commands.h"

namespace tarnis::constructor {

std::string GroupQueryResult::GroupLabel() const {
  return outcome == GroupQueryOutcome::OpenWithGroup ? std::to_string(group) : std::string();
}

GroupQueryResult QueryCurrentGroup(link::Link& link, ui::UserInterface& ui, BlankFormTable& table) {
  link::Link::Operation operation(link);
  if (!operation) return {};

  ui.WaitSetStep("Запрос текущей группы...");
  ui.WaitShow();
  ui.ProcessEvents();

  GroupQueryResult result;
  bool answered = false;
  {
    ui::BusyCursor busy(ui);
    const link::StatusReply status = link::RequestStatus(link);
    answered = status.ok();
    if (answered) {
      result = {GroupQueryOutcome::OpenWithGroup, status.fields.group};
      // A failure or "Прервать" here keeps the rest of the table, silently.
      RefreshBlankFlags(link, table, [&ui] {
        ui.ProcessEvents();
        return ui.StopRequested();
      });
    }
  }
  if (!answered) {
    const bool go_on =
        ui::Confirm(ui, "Не удалось выполнить запрос состояния!\nТекущая группа неизвестна. Желаете продолжить?");
    result.outcome = go_on ? GroupQueryOutcome::OpenWithoutGroup : GroupQueryOutcome::StayClosed;
  }
  ui.WaitClose();
  return result;
}

}  // namespace tarnis::constructor
