#pragma once
// The document name page: one configuration text edited in place and read from or written to
// the device.
#include <functional>

#include "config/device_configuration.h"
#include "link/link.h"
#include "ui/user_interface.h"
#include "wizard/line_value.h"

namespace tarnis::wizard {

class DocumentNamePage {
 public:
  DocumentNamePage(config::DeviceConfiguration& configuration, link::Link& link, ui::UserInterface& ui);

  LineValue Shown() const { return EditableLine(configuration_.document_name); }
  // Every change of the edit or of "Широкий": the attribute and the text cut to its width.
  void Store(const LineValue& value) { StoreLine(configuration_.document_name, value); }

  // Empties the edit (empty_edit, which stores an empty name), clears the name and reads it; on
  // success tells so and then shows it (fill_page).
  void Read(const std::function<void()>& empty_edit, const std::function<void()>& fill_page);
  void Write();

 private:
  config::DeviceConfiguration& configuration_;
  link::Link& link_;
  ui::UserInterface& ui_;
};

}  // namespace tarnis::wizard
