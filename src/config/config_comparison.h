#pragma once
// Field-by-field comparison of two configurations, in the words the wizard and constructor pages
// use, with both values as the user sees them (UTF-8, the width attribute in words).
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "config/device_configuration.h"
#include "constructor/blank_forms.h"

namespace tarnis::config {

struct Difference {
  std::string section;  // "Операторы", "ДСО", "Услуги", "Дополнительные реквизиты", "Клише", "Формы БСО"
  int item = 0;         // operator, service, requisite, cliché or form number; 0 for the document name
  std::string field;    // "Должность", "Ф.И.О.", "Пароль", "Строка 2", "Дост.", "Вариант"...
  std::string first;    // the value in the first configuration
  std::string second;   // the value in the second configuration

  friend bool operator==(const Difference&, const Difference&) = default;
};

// Compares what the pages show: texts up to their terminating zero with their width attribute,
// and the enabled bytes as "да"/"нет". Requisite slots 9..16 and the cliché enabled byte, which
// nothing shows or uses, are left out.
// A text of the second configuration for which unread(field) holds is reported as "не прочитано"
// whatever it holds.
using UnreadText = std::function<bool(std::span<const char> field)>;
std::vector<Difference> CompareConfigurations(const DeviceConfiguration& first, const DeviceConfiguration& second,
                                              const UnreadText& unread = {});

inline constexpr const char* kUnreadValue = "не прочитано";

// The eight blank forms: programmed, variant, requisite and extra line.
std::vector<Difference> CompareBlankForms(const constructor::BlankFormTable& first,
                                          const constructor::BlankFormTable& second);

// A configuration text as the user sees it: «БОДИ», узкий / «БОДИ», широкий; "пусто" for an
// empty field. A width attribute other than '0' and '1' is shown as the character itself.
std::string DescribeText(const ConfigText& text);

// One line: section, item, field: first → second.
std::string FormatDifference(const Difference& difference);

}  // namespace tarnis::config
