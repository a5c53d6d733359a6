#pragma once
// The operators page: 32 operators in a grid (number, position, full name, password, access),
// edited cell by cell and read from and written to the device one or all at once.
#include <string>

#include "wizard/item_page.h"

namespace tarnis::wizard {

class OperatorsPage : public ItemPage {
 public:
  static constexpr int kColumns = 5;
  static constexpr int kPasswordColumn = 3;
  static constexpr int kAccessColumn = 4;
  static constexpr std::size_t kPasswordDigits = 4;

  OperatorsPage(config::DeviceConfiguration& configuration, link::Link& link, ui::UserInterface& ui);

  // Rows 1..32 from the record.
  void Fill() override;

  CellEditor EditorAt(int column) const;
  // Position (column 1) or full name (column 2) of operator row.
  LineValue LineAt(int row, int column) const;
  void ApplyLine(int row, int column, const LineValue& value);
  const std::string& PasswordAt(int row) const { return grid().Cell(row, kPasswordColumn); }
  // The first four characters become the password.
  void ApplyPassword(int row, const std::string& text);

  // Empties every operator not marked "нет", in the grid and in the record.
  void Clear() override;

 private:
  config::OperatorRecord& Operator(int row) { return configuration_.operators[static_cast<std::size_t>(row - 1)]; }
  config::ConfigText* LineField(int row, int column);
  void Empty(int row);
  bool PasswordUsable(int row) const;
  void ReadOne(int row) override;
  void ReadAll() override;
  void WriteOne(int row) override;
  void WriteAll() override;
  void ShowAccessAfterWrite(int row);
};

inline const std::string kPasswordZero = "Пароль не может быть нулевым...";

}  // namespace tarnis::wizard
