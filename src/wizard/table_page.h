#pragma once
// The table page shared by the services and the additional requisites: one row per item, one
// column per printed line and an access column; the selected item or all items read, written
// and cleared. What differs between the two pages is data (TablePageKind).
#include <string>

#include "config/device_configuration.h"
#include "link/link.h"
#include "ui/user_interface.h"
#include "wizard/cell_grid.h"
#include "wizard/line_value.h"

namespace tarnis::wizard {

struct TablePageKind {
  config::Section section;           // Services or Requisites: table, items and lines from the map
  std::string single_read_failure;   // the sentence before the message when one item's read fails
  bool notice_before_refill;         // one item's read: "Прочитано удачно..." before the grid refill
};

extern const TablePageKind kServicesPage;
extern const TablePageKind kRequisitesPage;

class TablePage {
 public:
  TablePage(const TablePageKind& kind, config::DeviceConfiguration& configuration, link::Link& link,
            ui::UserInterface& ui);

  int items() const { return items_; }
  int lines() const { return lines_; }
  int access_column() const { return lines_ + 1; }
  CellGrid& grid() { return grid_; }
  const CellGrid& grid() const { return grid_; }

  void Fill();

  CellEditor EditorAt(int column) const;
  LineValue LineAt(int row, int column) const;
  void ApplyLine(int row, int column, const LineValue& value);

  // "Текущий" checked: item row alone; otherwise all items.
  void Read(bool current_only, int row);
  void Write(bool current_only, int row);
  // Empties every item not marked "нет", in the grid and in the record.
  void Clear();

 private:
  bool ValidRow(int row) const { return row >= 1 && row <= items_; }
  bool IsLineColumn(int column) const { return column >= 1 && column <= lines_; }
  config::ConfigText& Line(int row, int line);
  const config::ConfigText& Line(int row, int line) const;
  std::uint8_t Enabled(int row) const;
  bool Writable(int row) const { return !IsRefused(grid_.Cell(row, access_column())); }
  void EmptyLine(int row, int line);
  void ReadOne(int row);
  void ReadAll();
  void WriteOne(int row);
  void WriteAll();

  const TablePageKind& kind_;
  config::DeviceConfiguration& configuration_;
  link::Link& link_;
  ui::UserInterface& ui_;
  int items_;
  int lines_;
  CellGrid grid_;
};

}  // namespace tarnis::wizard
