#include "admin/inn.h"

#include <algorithm>
#include <charconv>

namespace tarnis::admin {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

InnFormCheck Refuse(InnField field, std::string message) {
  InnFormCheck check;
  check.field = field;
  check.message = std::move(message);
  return check;
}

std::optional<std::int32_t> ParsePassword(const std::string& text) {
  if (text.empty() || text.size() > static_cast<std::size_t>(kPasswordMaxLength) ||
      !std::all_of(text.begin(), text.end(), IsDigit)) {
    return std::nullopt;
  }
  std::int32_t value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

bool IsValidDate(int year, int month, int day) {
  static constexpr int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < kFirstInnYear || year > kLastInnYear || month < 1 || month > 12 || day < 1) return false;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return day <= kDaysInMonth[month - 1] + ((month == 2 && leap) ? 1 : 0);
}

}  // namespace

InnFormCheck BuildInnRequest(const InnForm& form) {
  if (form.inn_text.empty()) return Refuse(InnField::Inn, "Поле ИНН не заполнено...");
  if (form.password_text.empty()) return Refuse(InnField::Password, "Поле пароль не заполнено...");
  const std::optional<std::int32_t> password = ParsePassword(form.password_text);
  if (!password) return Refuse(InnField::Password, "Пароль должен быть числом от 0 до 99999...");
  if (!IsValidDate(form.year, form.month, form.day)) {
    return Refuse(InnField::Date, "Дата должна быть не раньше 01.01.2000 и не позже 31.12.2255...");
  }
  if (form.group_index < 0 || form.group_index >= kGroupCount) {
    return Refuse(InnField::Group, "Не выбрана группа бланков...");
  }

  link::InnRequest request;
  request.password = *password;
  request.year = static_cast<std::uint8_t>(form.year - kFirstInnYear);
  request.month = static_cast<std::uint8_t>(form.month);
  request.day = static_cast<std::uint8_t>(form.day);
  request.group = static_cast<std::uint8_t>(form.group_index + 1);
  const auto first_non_digit = std::find_if_not(form.inn_text.begin(), form.inn_text.end(), IsDigit);
  request.inn_text.assign(form.inn_text.begin(), first_non_digit);
  InnFormCheck check;
  check.request = std::move(request);
  return check;
}

InnApplyResult ApplyInnForm(link::Link& link, ui::UserInterface& ui, const InnForm& form) {
  const link::Link::Operation operation(link);
  if (!operation) return {false, InnField::None};
  const InnFormCheck check = BuildInnRequest(form);
  if (!check.request) {
    ui::ShowNotice(ui, check.message);
    return {false, check.field};
  }
  if (!ui::Confirm(ui,
                   "Ранее запрограммированные формы будут стерты.\n"
                   "Вы уверены, что хотите запрограммировать ИНН?\n")) {
    return {true, InnField::None};
  }
  link::CommandResult result;
  {
    ui::BusyCursor busy(ui);
    result = link::ProgramInn(link, *check.request);
  }
  if (result.ok()) {
    ui::ShowNotice(ui, "Записано удачно...");
  } else {
    ui::ShowError(ui, "Не удалось записать параметр... " + result.message);
  }
  return {true, InnField::None};
}

}  // namespace tarnis::admin
