#pragma once
// What the wizard works with, handed over by the main window when it opens the wizard.
#include <functional>

#include "config/configuration_states.h"
#include "config/device_configuration.h"
#include "constructor/blank_forms.h"
#include "constructor/current_group_query.h"
#include "link/link.h"
#include "ui/user_interface.h"
#include "wizard/cell_editors.h"

namespace tarnis::wizard {

struct WizardContext {
  config::DeviceConfiguration& configuration;
  constructor::BlankFormTable& blank_forms;
  link::Link& link;
  ui::UserInterface& ui;
  CellEditors editors;
  bool single_page = false;  // WizardSinglePage: one content page, no navigation
  int start_page = 0;        // WizardStartPage, 0..6
  // After a successful whole read from the start page: "Сохранить конфигурацию в файле".
  std::function<void()> enable_save_configuration;
  // After "Готово" when the constructor is to open: the main window shows it.
  std::function<void(const constructor::GroupQueryResult&)> open_constructor;
  // What is on the device and what is edited; the start page's read asks before it replaces
  // unsaved edits. None: no states kept, no question.
  config::ConfigurationStates* states = nullptr;
};

}  // namespace tarnis::wizard
