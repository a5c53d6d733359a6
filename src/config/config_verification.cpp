#include "config/config_verification.h"

#include <memory>
#include <optional>

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

// The number a row of the map goes by in the list: none for the document name.
int ItemOf(const SectionMap& map, int row) { return map.section == Section::DocumentName ? 0 : row; }

// The row for the text at address when the device's reading is not the expected text as the
// device holds it; nothing when they agree. A text not read is "не прочитано".
std::optional<Difference> TextDifference(const DeviceConfiguration& expected, ParameterAddress address,
                                         const ParameterReading* reading) {
  const SectionMap& map = *MapAt(address);
  const std::string_view wanted = TextAt(expected, address);
  Difference difference{SectionWord(map.section), ItemOf(map, address.row), FieldWord(map.section, address.field),
                        Shown(map.section, address.field, wanted), ""};
  if (!reading || !reading->status.ok()) {
    difference.second = kUnreadValue;
  } else if (link::AsDeviceHolds(wanted) != reading->text) {
    difference.second = Shown(map.section, address.field, reading->text);
  } else {
    return std::nullopt;
  }
  return difference;
}

void CompareTexts(const DeviceConfiguration& expected, const ReadReport& report, std::vector<Difference>& out) {
  // The device holds cliché 1 when its first line could be read: then a whole write never writes
  // cliché 2.
  const ParameterReading* cliche_one = report.Find({MapOf(Section::Cliches).table, 1, 1});
  const bool cliche_one_held = cliche_one && cliche_one->status.ok();
  for (const SectionMap& map : kParameterMap) {
    for (int row = 1; row <= map.rows; ++row) {
      for (int field = 1; field <= map.fields; ++field) {
        const ParameterAddress address{map.table, static_cast<std::uint8_t>(row), static_cast<std::uint8_t>(field)};
        auto difference = TextDifference(expected, address, report.Find(address));
        if (!difference) continue;
        if (map.section == Section::Cliches && row == 2 && cliche_one_held) difference->note = kClicheTwoNotWritten;
        out.push_back(std::move(*difference));
      }
      if (map.attribute == AttributeRule::None) continue;
      const std::uint8_t wanted = *EnabledAt(expected, {map.table, static_cast<std::uint8_t>(row), 1});
      const auto access = report.Access(map, row);
      if (!access) {
        out.push_back({SectionWord(map.section), ItemOf(map, row), "Дост.", DescribeAccess(wanted), kUnreadValue});
      } else if ((wanted != 0) != (*access != 0)) {
        out.push_back(
            {SectionWord(map.section), ItemOf(map, row), "Дост.", DescribeAccess(wanted), DescribeAccess(*access)});
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
    *device_forms.Form(form) = BlankEntryOf(reading->fields);
  }
  std::vector<Difference> out = CompareBlankForms(expected_forms, device_forms);
  out.insert(out.end(), unread_forms.begin(), unread_forms.end());
  CompareTexts(expected, report, out);
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
  for (const ParameterAddress& address : addresses) {
    if (!MapAt(address)) continue;
    if (auto difference = TextDifference(expected, address, verification.report.Find(address)))
      verification.differences.push_back(std::move(*difference));
  }
  return verification;
}

}  // namespace tarnis::config
