#pragma once
// The table page shared by the services and the additional requisites: one row per item, one
// column per printed line and an access column; the selected item or all items read, written
// and cleared. What differs between the two pages is data (TablePageKind).
#include <string>

#include "wizard/item_page.h"

namespace tarnis::wizard {

struct TablePageKind {
  config::Section section;           // Services or Requisites: table, items and lines from the map
  std::string single_read_failure;   // the sentence before the message when one item's read fails
  bool notice_before_refill;         // one item's read: "Прочитано удачно..." before the grid refill
};

extern const TablePageKind kServicesPage;
extern const TablePageKind kRequisitesPage;

class TablePage : public ItemPage {
 public:
  TablePage(const TablePageKind& kind, config::DeviceConfiguration& configuration, link::Link& link,
            ui::UserInterface& ui);

  int lines() const { return lines_; }

  void Fill() override;

  CellEditor EditorAt(int column) const;
  LineValue LineAt(int row, int column) const;
  void ApplyLine(int row, int column, const LineValue& value);

  // Empties every item not marked "нет", in the grid and in the record.
  void Clear() override;

 private:
  bool IsLineColumn(int column) const { return column >= 1 && column <= lines_; }
  config::ConfigText& Line(int row, int line);
  const config::ConfigText& Line(int row, int line) const;
  std::uint8_t Enabled(int row) const;
  void EmptyLine(int row, int line);
  void ReadOne(int row) override;
  void ReadAll() override;
  void WriteOne(int row) override;
  void WriteAll() override;

  const TablePageKind& kind_;
  int lines_;
};

}  // namespace tarnis::wizard
