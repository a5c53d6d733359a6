#pragma once
// What a read obtained from the device, request by request: for each parameter address the
// outcome, the text as the record stores it and the attribute byte the answer carried; for each
// blank form the outcome and the fields. A comparison works on it, so that something not read is
// never taken for something equal.
#include <array>
#include <map>
#include <optional>
#include <string>

#include "config/blank_form_table.h"
#include "config/device_configuration.h"
#include "link/commands.h"

namespace tarnis::config {

struct ParameterReading {
  link::CommandResult status;
  std::string text;                        // Ok: Windows-1251, as the record stores it
  std::optional<std::uint8_t> attribute;   // the item's enabled byte, when the answer carried one
};

struct BlankReading {
  link::CommandResult status;
  link::BlankFields fields;  // Ok: as the device answered
};

// A form the device answered, as the form table holds it (programmed when it has a number).
BlankFormEntry BlankEntryOf(const link::BlankFields& fields);

class ReadReport {
 public:
  void Add(ParameterAddress address, const link::ParameterReply& reply, std::string text);
  void AddBlank(int form, const link::BlankReply& reply);

  // Null when the address or the form was never asked for.
  const ParameterReading* Find(ParameterAddress address) const;
  const BlankReading* Blank(int form) const;

  // The item's enabled byte from the first answer of row that carried one, as the device reported
  // it (refusals for another device aside); nothing when none did.
  std::optional<std::uint8_t> Access(const SectionMap& map, int row) const;

 private:
  static int Key(ParameterAddress address) { return address.table << 16 | address.row << 8 | address.field; }

  std::map<int, ParameterReading> parameters_;
  std::array<std::optional<BlankReading>, kFormCount> blanks_;
};

}  // namespace tarnis::config
