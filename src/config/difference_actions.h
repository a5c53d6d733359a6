#pragma once
// Acting on a comparison with the device: writing the differing texts and reading them back, or
// taking the device's values into the program. Each row of the list is about one text, one
// item's access or one field of a blank form; the list is always compared anew from what the
// device answered, so it says "no difference" only when the answers do.
#include <optional>
#include <string>
#include <vector>

#include "config/config_verification.h"
#include "config/configuration_states.h"

namespace tarnis::config {

struct DifferenceSubject {
  enum class Kind { Text, Access, BlankForm };
  Kind kind = Kind::Text;
  ParameterAddress address{};  // Text: the text; Access: the item's table and row, field 1
  int form = 0;                // BlankForm: 1..8
};

// What row is about; nothing for a row no comparison with the device makes.
std::optional<DifferenceSubject> SubjectOf(const Difference& row);

// The chosen rows an action left as they were, and why.
struct ActionOutcome {
  bool ran = true;  // false: the write was refused (link busy) or stopped by the user
  std::vector<Difference> left_out;
};

// The line that tells which chosen rows the write does not touch (empty when none): access is
// the device's own, blank forms go through the constructor, cliché 2 is not taken.
std::string NotWrittenText(const std::vector<Difference>& left_out);
// The line that tells which chosen rows could not be taken (empty when none).
std::string NotTakenText(const std::vector<Difference>& left_out);

class DeviceComparison {
 public:
  // The verification made of forms and configuration; both are the program's own and the actions
  // change them.
  DeviceComparison(BlankFormTable& forms, DeviceConfiguration& configuration, Verification verification);

  const std::vector<Difference>& differences() const { return differences_; }
  // What the device answered: the first read, with every read-back over it.
  const ReadReport& report() const { return report_; }

  // Writes the texts of rows (indexes into differences(); every row when rows is empty) under the
  // whole write's rules, prompts and closing box, marking states; then reads back, without a
  // prompt, every text it meant to write (only those written when the user stopped) and compares
  // again. Rows about access or blank forms, and a cliché 2 the device does not take, are left.
  ActionOutcome WriteToDevice(link::Link& link, ui::UserInterface& ui, ConfigurationStates& states,
                              const std::vector<int>& rows);

  // Copies the device's values of rows (every row when empty) into the program: texts as the
  // record stores them, marked on the device; an item's access into its enabled byte; a blank
  // form's field into the form table. Rows the read could not fetch are left.
  ActionOutcome TakeFromDevice(ConfigurationStates& states, const std::vector<int>& rows);

 private:
  std::vector<Difference> Chosen(const std::vector<int>& rows) const;
  bool Take(const Difference& row, const DifferenceSubject& subject, ConfigurationStates& states);
  void Compare() { differences_ = CompareWithReading(forms_, configuration_, report_); }

  BlankFormTable& forms_;
  DeviceConfiguration& configuration_;
  ReadReport report_;
  std::vector<Difference> differences_;
};

}  // namespace tarnis::config
