#include "config/config_verification.h"

#include <memory>

#include "config/config_transfer.h"
#include "config/parameter_exchange.h"
#include "link/device_charset.h"

namespace tarnis::config {
namespace {

// A text as the comparison shows it: passwords plain, configuration texts with their width.
std::string Shown(Section section, int field, std::string_view cp1251) {
  if (section == Section::Operators && field == 3) return DescribePassword(cp1251);
  ConfigText text{};
  text.Set(cp1251);
  return DescribeText(text);
}

void CompareTexts(DeviceConfiguration& expected, const ReadReport& report, std::vector<Difference>& out) {
  // The device holds cliché 1 when its first line could be read: then a whole write never writes
  // cliché 2.
  const ParameterReading* cliche_one = report.Find({MapOf(Section::Cliches).table, 1, 1});
  const bool cliche_one_held = cliche_one && cliche_one->status.ok();
  for (const SectionMap& map : kParameterMap) {
    const std::string section = SectionWord(map.section);
    const int item_of_row = map.section == Section::DocumentName ? 0 : 1;
    for (int row = 1; row <= map.rows; ++row) {
      const int item = item_of_row * row;
      for (int field = 1; field <= map.fields; ++field) {
        const ParameterAddress address{map.table, static_cast<std::uint8_t>(row), static_cast<std::uint8_t>(field)};
        const std::string_view text = FieldText(ParameterAt(expected, address)->text);
        const ParameterReading* reading = report.Find(address);
        Difference difference{section, item, FieldWord(map.section, field), Shown(map.section, field, text), ""};
        if (!reading || !reading->status.ok()) {
          difference.second = kUnreadValue;
        } else if (link::AsDeviceHolds(text) != reading->text) {
          difference.second = Shown(map.section, field, reading->text);
        } else {
          continue;
        }
        if (map.section == Section::Cliches && row == 2 && cliche_one_held) difference.note = kClicheTwoNotWritten;
        out.push_back(std::move(difference));
      }
      if (map.attribute == AttributeRule::None) continue;
      const std::uint8_t wanted = *ParameterAt(expected, {map.table, static_cast<std::uint8_t>(row), 1})->enabled;
      const auto access = report.Access(map, row);
      if (!access) {
        out.push_back({section, item, "Дост.", DescribeAccess(wanted), kUnreadValue});
      } else if ((wanted != 0) != (*access != 0)) {
        out.push_back({section, item, "Дост.", DescribeAccess(wanted), DescribeAccess(*access)});
      }
    }
  }
}

}  // namespace

std::string SectionWord(Section section) {
  static constexpr const char* kWords[] = {"Операторы", "ДСО", "Услуги", "Дополнительные реквизиты", "Клише"};
  return kWords[static_cast<int>(section)];
}

std::string FieldWord(Section section, int field) {
  static constexpr const char* kOperatorFields[] = {"Должность", "Ф.И.О.", "Пароль"};
  if (section == Section::Operators) return kOperatorFields[field - 1];
  if (section == Section::DocumentName) return "ДСО";
  return "Строка " + std::to_string(field);
}

std::vector<Difference> CompareWithReading(const BlankFormTable& expected_forms, const DeviceConfiguration& expected,
                                           const ReadReport& report) {
  // The device's forms as a table; a form not read stands as the expected one and is named apart.
  BlankFormTable device_forms = expected_forms;
  std::vector<Difference> unread_forms;
  for (int form = 1; form <= kFormCount; ++form) {
    const BlankReading* reading = report.Blank(form);
    if (!reading || !reading->status.ok()) {
      unread_forms.push_back({"Формы БСО", form, "Запрограммирована",
                              DescribeAccess(expected_forms.Form(form)->programmed), kUnreadValue});
      continue;
    }
    const link::BlankFields& fields = reading->fields;
    *device_forms.Form(form) = {static_cast<std::uint8_t>(fields.number != 0 ? 1 : 0), fields.variant,
                                fields.requisite, fields.type_sk};
  }
  std::vector<Difference> out = CompareBlankForms(expected_forms, device_forms);
  out.insert(out.end(), unread_forms.begin(), unread_forms.end());
  auto record = std::make_unique<DeviceConfiguration>(expected);  // ParameterAt works on a mutable record
  CompareTexts(*record, report, out);
  return out;
}

Verification VerifyDevice(link::Link& link, ui::UserInterface& ui, const BlankFormTable& expected_forms,
                          const DeviceConfiguration& expected) {
  // The read fills a scratch record (the whole read's own rules) and the report; only the report
  // is compared.
  auto scratch = std::make_unique<DeviceConfiguration>(expected);
  Verification verification;
  verification.complete = ReadAllFromDevice(link, ui, *scratch, {}, &verification.report);
  verification.differences = CompareWithReading(expected_forms, expected, verification.report);
  return verification;
}

bool ReadBackTexts(link::Link& link, const DeviceConfiguration& expected,
                   const std::vector<ParameterAddress>& addresses, ReadReport& report) {
  const link::Link::Operation operation(link);
  if (!operation) return false;
  auto scratch = std::make_unique<DeviceConfiguration>(expected);  // the reads land here, never in expected
  bool complete = true;
  for (const ParameterAddress& address : addresses) {
    if (!ParameterAt(*scratch, address)) continue;
    const link::ParameterReply reply =
        ExchangeConfigurationText(link, link::Mode::Read, *scratch, address, EnabledByte::Keep);
    report.Add(address, reply, std::string(FieldText(ParameterAt(*scratch, address)->text)));
    complete = complete && reply.ok();
  }
  return complete;
}

Verification VerifyTexts(link::Link& link, const DeviceConfiguration& expected,
                         const std::vector<ParameterAddress>& addresses) {
  Verification verification;
  if (link.busy()) return verification;
  verification.complete = ReadBackTexts(link, expected, addresses, verification.report);
  auto record = std::make_unique<DeviceConfiguration>(expected);  // ParameterAt works on a mutable record
  for (const ParameterAddress& address : addresses) {
    if (!ParameterAt(*record, address)) continue;
    const ParameterReading* reading = verification.report.Find(address);
    const SectionMap& map = kParameterMap[address.table];
    const std::string wanted(FieldText(ParameterAt(*record, address)->text));
    Difference difference{SectionWord(map.section), map.section == Section::DocumentName ? 0 : address.row,
                          FieldWord(map.section, address.field), Shown(map.section, address.field, wanted), ""};
    if (!reading->status.ok()) {
      difference.second = kUnreadValue;
    } else if (link::AsDeviceHolds(wanted) != link::AsDeviceHolds(reading->text)) {
      difference.second = Shown(map.section, address.field, reading->text);
    } else {
      continue;
    }
    verification.differences.push_back(std::move(difference));
  }
  return verification;
}

}  // namespace tarnis::config
