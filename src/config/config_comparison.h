#pragma once
// Field-by-field comparison of two configurations, in the words the wizard and constructor pages
// use, with both values as the user sees them (UTF-8, the width attribute in words).
#include <string>
#include <vector>

#include "config/device_configuration.h"
#include "config/blank_form_table.h"

namespace tarnis::config {

struct Difference {
  std::string section;  // "Операторы", "ДСО", "Услуги", "Дополнительные реквизиты", "Клише", "Формы БСО"
  int item = 0;         // operator, service, requisite, cliché or form number; 0 for the document name
  std::string field;    // "Должность", "Ф.И.О.", "Пароль", "Строка 2", "Дост.", "Вариант"...
  std::string first;    // the value in the first configuration
  std::string second;   // the value in the second configuration
  std::string note{};   // why the two may differ, as a cliché the device does not take; often empty

  friend bool operator==(const Difference&, const Difference&) = default;
};

// Compares what the pages show: texts up to their terminating zero with their width attribute,
// and the enabled bytes as "да"/"нет". Requisite slots 9..16 and the cliché enabled byte, which
// nothing shows or uses, are left out.
std::vector<Difference> CompareConfigurations(const DeviceConfiguration& first, const DeviceConfiguration& second);

// What a comparison with the device shows for something it could not read.
inline constexpr const char* kUnreadValue = "не прочитано";

// The eight blank forms: programmed, variant, requisite and extra line.
std::vector<Difference> CompareBlankForms(const BlankFormTable& first,
                                          const BlankFormTable& second);

// A configuration text as the user sees it: «БОДИ», узкий / «БОДИ», широкий; "пусто" for an
// empty field. A width attribute other than '0' and '1' is shown as the character itself.
std::string DescribeText(const ConfigText& text);

// A password as the user sees it: «12345»; "пусто" for none.
std::string DescribePassword(std::string_view cp1251);
// An enabled byte: "да" / "нет".
std::string DescribeAccess(std::uint8_t enabled);

// One line: section, item, field: first → second, and the note in brackets when there is one.
std::string FormatDifference(const Difference& difference);

}  // namespace tarnis::config
