#pragma once
// The cliché page: the eight lines of one of the two clichés in a grid; the cliché chosen in the
// list is read from or written to the device as a whole and then shown.
#include "config/device_configuration.h"
#include "link/commands.h"
#include "ui/user_interface.h"
#include "wizard/cell_grid.h"
#include "wizard/line_value.h"

namespace tarnis::wizard {

class ClichePage {
 public:
  static constexpr int kRows = config::kClicheLineCount + 1;
  static constexpr int kColumns = 2;

  ClichePage(config::DeviceConfiguration& configuration, link::Link& link, ui::UserInterface& ui);

  CellGrid& grid() { return grid_; }
  const CellGrid& grid() const { return grid_; }
  // The cliché (1 or 2) whose lines the grid shows; edits go to it.
  int shown() const { return shown_; }

  // Shows cliché 1 or 2; any other number shows cliché 1.
  void Fill(int cliche);

  CellEditor EditorAt(int column) const { return column == 1 ? CellEditor::Line : CellEditor::None; }
  LineValue LineAt(int row) const;
  void ApplyLine(int row, const LineValue& value);

  // Reads or writes all eight lines of cliché 1 or 2, then shows it.
  void Read(int cliche);
  void Write(int cliche);

 private:
  static bool ValidRow(int row) { return row >= 1 && row <= config::kClicheLineCount; }
  static int Valid(int cliche) { return cliche == 2 ? 2 : 1; }
  void Transfer(link::Mode mode, int cliche);
  config::ConfigText& Line(int cliche, int line) {
    return configuration_.cliches[static_cast<std::size_t>(cliche - 1)].lines[static_cast<std::size_t>(line - 1)];
  }

  config::DeviceConfiguration& configuration_;
  link::Link& link_;
  ui::UserInterface& ui_;
  CellGrid grid_{kRows, kColumns};
  int shown_ = 1;
};

}  // namespace tarnis::wizard
