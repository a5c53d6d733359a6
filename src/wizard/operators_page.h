#pragma once
// The operators page: 32 operators in a grid (number, position, full name, password, access),
// edited cell by cell and read from and written to the device one or all at once.
#include <string>

#include "config/device_configuration.h"
#include "link/link.h"
#include "ui/user_interface.h"
#include "wizard/cell_grid.h"
#include "wizard/line_value.h"

namespace tarnis::wizard {

class OperatorsPage {
 public:
  static constexpr int kRows = config::kOperatorCount + 1;
  static constexpr int kColumns = 5;
  static constexpr int kPasswordColumn = 3;
  static constexpr int kAccessColumn = 4;
  static constexpr std::size_t kPasswordDigits = 4;

  OperatorsPage(config::DeviceConfiguration& configuration, link::Link& link, ui::UserInterface& ui);

  CellGrid& grid() { return grid_; }
  const CellGrid& grid() const { return grid_; }

  // Rows 1..32 from the record.
  void Fill();

  CellEditor EditorAt(int column) const;
  // Position (column 1) or full name (column 2) of operator row.
  LineValue LineAt(int row, int column) const;
  void ApplyLine(int row, int column, const LineValue& value);
  const std::string& PasswordAt(int row) const { return grid_.Cell(row, kPasswordColumn); }
  // The first four characters become the password.
  void ApplyPassword(int row, const std::string& text);

  // "Текущий" checked: operator row alone; otherwise all 32.
  void Read(bool current_only, int row);
  void Write(bool current_only, int row);
  // Empties every operator not marked "нет", in the grid and in the record.
  void Clear();

 private:
  bool ValidRow(int row) const { return row >= 1 && row <= config::kOperatorCount; }
  config::OperatorRecord& Operator(int row) { return configuration_.operators[static_cast<std::size_t>(row - 1)]; }
  config::ConfigText* LineField(int row, int column);
  void Empty(int row);
  bool Writable(int row) const;
  bool PasswordUsable(int row) const;
  void ReadOne(int row);
  void ReadAll();
  void WriteOne(int row);
  void WriteAll();
  void ShowAccessAfterWrite(int row);

  config::DeviceConfiguration& configuration_;
  link::Link& link_;
  ui::UserInterface& ui_;
  CellGrid grid_{kRows, kColumns};
};

inline const std::string kPasswordZero = "Пароль не может быть нулевым...";

}  // namespace tarnis::wizard
