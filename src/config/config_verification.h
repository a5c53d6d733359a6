#pragma once
// Compares the device with a configuration: the whole read (the same requests, prompts and
// progress) plus the eight blank forms, into a read report that the comparison works on. The given
// record is never changed. Texts compare as the device holds them (Ё as Е...), the items' access
// as the answers' attribute bytes report it.
#include <vector>

#include "config/blank_form_table.h"
#include "config/config_comparison.h"
#include "config/read_report.h"
#include "link/link.h"
#include "ui/user_interface.h"

namespace tarnis::config {

struct Verification {
  bool complete = false;  // the read went through every section and every form
  // In the program's record first, in the device second; what the read could not fetch is
  // reported as kUnreadValue.
  std::vector<Difference> differences;
  ReadReport report;  // what the reads obtained, for acting on the differences
};

Verification VerifyDevice(link::Link& link, ui::UserInterface& ui, const BlankFormTable& expected_forms,
                          const DeviceConfiguration& expected);

// Reads back just the texts at addresses, one request each with no prompt, and compares them with
// expected as the device holds them; complete when every read went through. A busy link reads
// nothing.
Verification VerifyTexts(link::Link& link, const DeviceConfiguration& expected,
                         const std::vector<ParameterAddress>& addresses);

// Reads the texts at addresses again, one request each with no prompt, into report (the text as
// the record stores it, the attribute as answered). False when the link is busy or a read failed.
bool ReadBackTexts(link::Link& link, const DeviceConfiguration& expected,
                   const std::vector<ParameterAddress>& addresses, ReadReport& report);

// The words a difference names its section and field with: "Услуги", "Строка 2"...
std::string SectionWord(Section section);
std::string FieldWord(Section section, int field);

// The differences between the expected forms and record and what report says the device holds:
// blank forms first, then the record in the order of CompareConfigurations. A cliché 2 row that
// differs while the device accepts cliché 1 carries kClicheTwoNotWritten as its note.
std::vector<Difference> CompareWithReading(const BlankFormTable& expected_forms, const DeviceConfiguration& expected,
                                           const ReadReport& report);

}  // namespace tarnis::config
