#include "config/difference_actions.h"

#include <algorithm>

#include "config/changes_write.h"

namespace tarnis::config {
namespace {

constexpr const char* kBlankSection = "Формы БСО";
constexpr const char* kAccessField = "Дост.";

// The field of a blank form a row names, in the form entry; null for another word.
std::uint8_t BlankFormEntry::*BlankField(const std::string& word) {
  if (word == "Запрограммирована") return &BlankFormEntry::programmed;
  if (word == "Вариант") return &BlankFormEntry::variant;
  if (word == "Текущий реквизит") return &BlankFormEntry::requisite;
  if (word == "Скидка/Налог/Код") return &BlankFormEntry::typeSk;
  return nullptr;
}

std::string Joined(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : "; ") + part;
  return text;
}

}  // namespace

std::optional<DifferenceSubject> SubjectOf(const Difference& row) {
  if (row.section == kBlankSection) {
    if (row.item < 1 || row.item > kFormCount || !BlankField(row.field)) return std::nullopt;
    return DifferenceSubject{DifferenceSubject::Kind::BlankForm, {}, row.item};
  }
  for (const SectionMap& map : kParameterMap) {
    if (SectionWord(map.section) != row.section) continue;
    const int item = map.section == Section::DocumentName ? 1 : row.item;
    if (item < 1 || item > map.rows || (map.section == Section::DocumentName && row.item != 0)) return std::nullopt;
    const auto at = [&](int field) {
      return ParameterAddress{map.table, static_cast<std::uint8_t>(item), static_cast<std::uint8_t>(field)};
    };
    if (row.field == kAccessField) {
      if (map.attribute == AttributeRule::None) return std::nullopt;
      return DifferenceSubject{DifferenceSubject::Kind::Access, at(1), 0};
    }
    for (int field = 1; field <= map.fields; ++field)
      if (FieldWord(map.section, field) == row.field) return DifferenceSubject{DifferenceSubject::Kind::Text, at(field), 0};
    return std::nullopt;
  }
  return std::nullopt;
}

std::string NotWrittenText(const std::vector<Difference>& left_out) {
  if (left_out.empty()) return {};
  bool access = false, forms = false, cliche = false;
  for (const Difference& row : left_out) {
    const auto subject = SubjectOf(row);
    if (!subject) continue;
    access = access || subject->kind == DifferenceSubject::Kind::Access;
    forms = forms || subject->kind == DifferenceSubject::Kind::BlankForm;
    cliche = cliche || subject->kind == DifferenceSubject::Kind::Text;
  }
  std::vector<std::string> reasons;
  if (access) reasons.push_back("доступ («Дост.») задаётся в КМ");
  if (forms) reasons.push_back("формы БСО записываются из конструктора");
  if (cliche) reasons.push_back("клише 2 КМ не принимает");
  return "Не записано строк: " + std::to_string(left_out.size()) + " (" + Joined(reasons) + ").";
}

std::string NotTakenText(const std::vector<Difference>& left_out) {
  if (left_out.empty()) return {};
  return "Не взято строк: " + std::to_string(left_out.size()) + " (значение в КМ не прочитано).";
}

DeviceComparison::DeviceComparison(BlankFormTable& forms, DeviceConfiguration& configuration,
                                   Verification verification)
    : forms_(forms),
      configuration_(configuration),
      report_(std::move(verification.report)),
      differences_(std::move(verification.differences)) {}

std::vector<Difference> DeviceComparison::Chosen(const std::vector<int>& rows) const {
  if (rows.empty()) return differences_;
  std::vector<Difference> chosen;
  for (const int row : rows)
    if (row >= 0 && row < static_cast<int>(differences_.size())) chosen.push_back(differences_[static_cast<std::size_t>(row)]);
  return chosen;
}

ActionOutcome DeviceComparison::WriteToDevice(link::Link& link, ui::UserInterface& ui, ConfigurationStates& states,
                                              const std::vector<int>& rows) {
  ActionOutcome outcome;
  std::vector<ParameterAddress> texts;
  for (const Difference& row : Chosen(rows)) {
    const auto subject = SubjectOf(row);
    if (subject && subject->kind == DifferenceSubject::Kind::Text && row.note.empty()) texts.push_back(subject->address);
    else outcome.left_out.push_back(row);
  }
  if (texts.empty()) return outcome;
  if (link.busy()) {  // another operation holds the link: nothing is sent
    outcome.ran = false;
    return outcome;
  }
  std::vector<ParameterAddress> written;
  outcome.ran = WriteTextsToDevice(link, ui, configuration_, texts, states, &written);
  ReadBackTexts(link, configuration_, outcome.ran ? texts : written, report_);
  Compare();
  return outcome;
}

bool DeviceComparison::Take(const Difference& row, const DifferenceSubject& subject, ConfigurationStates& states) {
  if (subject.kind == DifferenceSubject::Kind::BlankForm) {
    const BlankReading* reading = report_.Blank(subject.form);
    if (!reading || !reading->status.ok()) return false;
    forms_.Form(subject.form)->*BlankField(row.field) = BlankEntryOf(reading->fields).*BlankField(row.field);
    return true;
  }
  const auto target = ParameterAt(configuration_, subject.address);
  if (subject.kind == DifferenceSubject::Kind::Access) {
    const auto access = report_.Access(kParameterMap[subject.address.table], subject.address.row);
    if (!access || !target->enabled) return false;
    *target->enabled = *access;
    return true;
  }
  const ParameterReading* reading = report_.Find(subject.address);
  if (!reading || !reading->status.ok()) return false;
  SetFieldText(target->text, reading->text);
  states.MarkOnDevice(configuration_, subject.address);
  return true;
}

ActionOutcome DeviceComparison::TakeFromDevice(ConfigurationStates& states, const std::vector<int>& rows) {
  ActionOutcome outcome;
  for (const Difference& row : Chosen(rows)) {
    const auto subject = SubjectOf(row);
    if (!subject || !Take(row, *subject, states)) outcome.left_out.push_back(row);
  }
  Compare();
  return outcome;
}

}  // namespace tarnis::config
