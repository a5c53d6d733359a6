#pragma once
// What the operators page and the table pages share: one grid row per item with an access column,
// "Текущий" choosing between the selected item and all items, and one device operation at a time.
#include "config/device_configuration.h"
#include "link/link.h"
#include "ui/user_interface.h"
#include "wizard/cell_grid.h"
#include "wizard/line_value.h"

namespace tarnis::wizard {

class ItemPage {
 public:
  virtual ~ItemPage() = default;

  int items() const { return items_; }
  int access_column() const { return grid_.columns() - 1; }
  CellGrid& grid() { return grid_; }
  const CellGrid& grid() const { return grid_; }

  // Rows 1..items from the record.
  virtual void Fill() = 0;
  // Empties every item not marked "нет", in the grid and in the record.
  virtual void Clear() = 0;

  // "Текущий" checked: item row alone; otherwise all items. Refused silently while another
  // operation holds the link.
  void Read(bool current_only, int row);
  void Write(bool current_only, int row);

 protected:
  ItemPage(config::DeviceConfiguration& configuration, link::Link& link, ui::UserInterface& ui, int items,
           int columns);

  bool ValidRow(int row) const { return row >= 1 && row <= items_; }
  // Only the exact "нет" of the access cell keeps an item from being written.
  bool Writable(int row) const { return !IsRefused(grid_.Cell(row, access_column())); }

  virtual void ReadOne(int row) = 0;
  virtual void ReadAll() = 0;
  virtual void WriteOne(int row) = 0;
  virtual void WriteAll() = 0;

  config::DeviceConfiguration& configuration_;
  link::Link& link_;
  ui::UserInterface& ui_;

 private:
  int items_;
  CellGrid grid_;
};

}  // namespace tarnis::wizard
