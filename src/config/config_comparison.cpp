#include "config/config_comparison.h"

#include <string_view>

#include "platform/cp1251_codec.h"

namespace tarnis::config {
namespace {

std::string LineWord(int line) { return "Строка " + std::to_string(line); }

class Comparison {
 public:
  explicit Comparison(std::vector<Difference>& out) : out_(out) {}

  void Text(const char* section, int item, const std::string& field, const ConfigText& first,
            const ConfigText& second) {
    if (first.Text() != second.Text()) out_.push_back({section, item, field, DescribeText(first), DescribeText(second)});
  }

  void Password(const char* section, int item, const PasswordText& first, const PasswordText& second) {
    Value(section, item, "Пароль", DescribePassword(first.Text()), DescribePassword(second.Text()));
  }

  void Enabled(const char* section, int item, std::uint8_t first, std::uint8_t second) {
    if ((first != 0) != (second != 0))
      out_.push_back({section, item, "Дост.", DescribeAccess(first), DescribeAccess(second)});
  }

  void Value(const char* section, int item, const char* field, std::string first, std::string second) {
    if (first != second) out_.push_back({section, item, field, std::move(first), std::move(second)});
  }

 private:
  std::vector<Difference>& out_;
};

std::string VariantValue(std::uint8_t variant) { return variant == 0 ? "нет" : std::to_string(variant); }
std::string RequisiteValue(std::uint8_t requisite) { return requisite == 0 ? "Нет" : std::to_string(requisite); }
std::string ExtraLineValue(std::uint8_t type_sk) {
  static constexpr const char* kLetters[] = {"нет", "С", "Н", "К"};
  return type_sk <= kMaxTypeSk ? kLetters[type_sk] : std::to_string(type_sk);
}

}  // namespace

std::string DescribePassword(std::string_view cp1251) {
  return cp1251.empty() ? "пусто" : "«" + Cp1251ToUtf8(cp1251) + "»";
}

std::string DescribeAccess(std::uint8_t enabled) { return enabled != 0 ? "да" : "нет"; }

std::string DescribeText(const ConfigText& text) {
  if (text.Text().empty()) return "пусто";
  const std::string body = "«" + Cp1251ToUtf8(text.Body()) + "»";
  switch (text.Width()) {
    case ConfigText::kNarrow:
      return body + ", узкий";
    case ConfigText::kWide:
      return body + ", широкий";
    default:
      return body + ", признак ширины «" + Cp1251ToUtf8(std::string_view(text.bytes, 1)) + "»";
  }
}

std::vector<Difference> CompareConfigurations(const DeviceConfiguration& first, const DeviceConfiguration& second) {
  std::vector<Difference> out;
  Comparison compare(out);
  for (int n = 0; n < kOperatorCount; ++n) {
    const OperatorRecord& a = first.operators[n];
    const OperatorRecord& b = second.operators[n];
    compare.Text("Операторы", n + 1, "Должность", a.position, b.position);
    compare.Text("Операторы", n + 1, "Ф.И.О.", a.full_name, b.full_name);
    compare.Password("Операторы", n + 1, a.password, b.password);
    compare.Enabled("Операторы", n + 1, a.enabled, b.enabled);
  }
  compare.Text("ДСО", 0, "ДСО", first.document_name, second.document_name);
  for (int s = 0; s < kServiceCount; ++s) {
    for (int line = 0; line < 2; ++line)
      compare.Text("Услуги", s + 1, LineWord(line + 1), first.services[s].lines[line], second.services[s].lines[line]);
    compare.Enabled("Услуги", s + 1, first.services[s].enabled, second.services[s].enabled);
  }
  for (int r = 0; r < kRequisiteCount; ++r) {
    for (int line = 0; line < 3; ++line)
      compare.Text("Дополнительные реквизиты", r + 1, LineWord(line + 1), first.requisites[r].lines[line],
                   second.requisites[r].lines[line]);
    compare.Enabled("Дополнительные реквизиты", r + 1, first.requisites[r].enabled, second.requisites[r].enabled);
  }
  for (int c = 0; c < kClicheCount; ++c) {
    for (int line = 0; line < kClicheLineCount; ++line)
      compare.Text("Клише", c + 1, LineWord(line + 1), first.cliches[c].lines[line], second.cliches[c].lines[line]);
  }
  return out;
}

std::vector<Difference> CompareBlankForms(const BlankFormTable& first,
                                          const BlankFormTable& second) {
  std::vector<Difference> out;
  Comparison compare(out);
  for (int form = 1; form <= kFormCount; ++form) {
    const BlankFormEntry& a = *first.Form(form);
    const BlankFormEntry& b = *second.Form(form);
    compare.Value("Формы БСО", form, "Запрограммирована", DescribeAccess(a.programmed), DescribeAccess(b.programmed));
    compare.Value("Формы БСО", form, "Вариант", VariantValue(a.variant), VariantValue(b.variant));
    compare.Value("Формы БСО", form, "Текущий реквизит", RequisiteValue(a.requisite), RequisiteValue(b.requisite));
    compare.Value("Формы БСО", form, "Скидка/Налог/Код", ExtraLineValue(a.typeSk), ExtraLineValue(b.typeSk));
  }
  return out;
}

std::string FormatDifference(const Difference& difference) {
  std::string line = difference.section;
  if (difference.item != 0) line += " №" + std::to_string(difference.item);
  line += ", " + difference.field + ": " + difference.first + " → " + difference.second;
  return difference.note.empty() ? line : line + " (" + difference.note + ")";
}

}  // namespace tarnis::config
