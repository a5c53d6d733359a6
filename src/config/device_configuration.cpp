#include "config/device_configuration.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/cp1251_codec.h"

namespace tarnis::config {

std::string_view FieldText(std::span<const char> field) {
  const auto end = std::find(field.begin(), field.end(), '\0');
  return {field.data(), static_cast<std::size_t>(end - field.begin())};
}

void SetFieldText(std::span<char> field, std::string_view text) {
  if (field.empty()) return;
  const std::size_t length = std::min(text.size(), field.size() - 1);
  // The text may be a view into this very field (SetWidth): move before zeroing the tail. An
  // empty view may hold no pointer at all, which memmove must not be given.
  if (length > 0) std::memmove(field.data(), text.data(), length);
  std::fill(field.begin() + length, field.end(), '\0');
}

std::string_view ConfigText::Body() const {
  const std::string_view text = Text();
  return text.empty() ? text : text.substr(1);
}

void ConfigText::SetBody(char width, std::string_view body) {
  std::string text(1, width);
  text.append(body.substr(0, std::min(body.size(), BodyLimit(width))));
  Set(text);
}

std::optional<std::int32_t> PasswordNumber(std::string_view password) {
  if (password.empty() || password.size() > 9) return std::nullopt;
  std::int32_t number = 0;
  for (const char c : password) {
    if (c < '0' || c > '9') return std::nullopt;
    number = number * 10 + (c - '0');
  }
  return number;
}

std::span<std::uint8_t, kConfigurationSize> Bytes(DeviceConfiguration& configuration) {
  return std::span<std::uint8_t, kConfigurationSize>(reinterpret_cast<std::uint8_t*>(&configuration),
                                                     kConfigurationSize);
}

std::span<const std::uint8_t, kConfigurationSize> Bytes(const DeviceConfiguration& configuration) {
  return std::span<const std::uint8_t, kConfigurationSize>(
      reinterpret_cast<const std::uint8_t*>(&configuration), kConfigurationSize);
}

namespace {

// The default texts are written here in UTF-8; the record holds Windows-1251.
void SetDefault(ConfigText& text, const std::string& utf8) { text.Set(Utf8ToCp1251Lossy(utf8)); }

}  // namespace

void FillDefaults(DeviceConfiguration& configuration) {
  std::memset(&configuration, 0, sizeof configuration);
  for (int n = 1; n <= kOperatorCount; ++n) {
    OperatorRecord& record = configuration.operators[n - 1];
    record.enabled = 1;
    SetDefault(record.position, "0ОПЕРАТОР " + std::to_string(n));
    SetDefault(record.full_name, "0ФАМИЛИЯ " + std::to_string(n));
    record.password.Set(std::to_string(n));
  }
  SetDefault(configuration.document_name, "0СТРОКА ДСО");
  for (int s = 1; s <= kServiceCount; ++s) {
    ServiceRecord& record = configuration.services[s - 1];
    record.enabled = 1;
    for (int l = 1; l <= 2; ++l)
      SetDefault(record.lines[l - 1], "0УСЛУГА " + std::to_string(s) + " - СТРОКА " + std::to_string(l));
  }
  for (int r = 1; r <= kRequisiteCount; ++r) {
    RequisiteRecord& record = configuration.requisites[r - 1];
    record.enabled = 1;
    for (int l = 1; l <= 3; ++l)
      SetDefault(record.lines[l - 1], "0ДОП. РЕК " + std::to_string(r) + " - СТРОКА " + std::to_string(l));
  }
  for (ClicheRecord& record : configuration.cliches) {
    record.enabled = 1;
    for (int l = 1; l <= kClicheLineCount; ++l) SetDefault(record.lines[l - 1], "0СТРОКА КЛИШЕ " + std::to_string(l - 1));
  }
}

const SectionMap& MapOf(Section section) {
  return *std::find_if(kParameterMap.begin(), kParameterMap.end(),
                       [section](const SectionMap& map) { return map.section == section; });
}

const SectionMap* MapAt(ParameterAddress address) {
  const auto map = std::find_if(kParameterMap.begin(), kParameterMap.end(),
                                [&](const SectionMap& m) { return m.table == address.table; });
  if (map == kParameterMap.end() || address.row < 1 || address.row > map->rows || address.field < 1 ||
      address.field > map->fields)
    return nullptr;
  return &*map;
}

std::string ParameterName(ParameterAddress address) {
  static constexpr const char* kOperatorFields[] = {"Должность", "Ф.И.О.", "Пароль"};
  const std::string row = std::to_string(address.row);
  const std::string line = ", строка " + std::to_string(address.field);
  const SectionMap* map = MapAt(address);
  if (!map) return {};
  switch (map->section) {
    case Section::Operators:
      return "Операторы №" + row + ", " + kOperatorFields[address.field - 1];
    case Section::DocumentName:
      return "ДСО";
    case Section::Services:
      return "Услуги №" + row + line;
    case Section::Requisites:
      return "Дополнительные реквизиты №" + row + line;
    case Section::Cliches:
      break;
  }
  return "Клише " + row + line;
}

std::optional<ParameterTarget> ParameterAt(DeviceConfiguration& configuration, ParameterAddress address) {
  const SectionMap* map = MapAt(address);
  if (!map) return std::nullopt;
  const int row = address.row - 1;
  const int field = address.field - 1;
  ParameterTarget target;
  std::uint8_t* enabled = nullptr;
  switch (map->section) {
    case Section::Operators: {
      OperatorRecord& record = configuration.operators[row];
      target.text = field == 0 ? record.position.field() : field == 1 ? record.full_name.field() : record.password.field();
      enabled = &record.enabled;
      break;
    }
    case Section::DocumentName:
      target.text = configuration.document_name.field();
      break;
    case Section::Services:
      target.text = configuration.services[row].lines[field].field();
      enabled = &configuration.services[row].enabled;
      break;
    case Section::Requisites:
      target.text = configuration.requisites[row].lines[field].field();
      enabled = &configuration.requisites[row].enabled;
      break;
    case Section::Cliches:
      target.text = configuration.cliches[row].lines[field].field();
      break;
  }
  if (map->attribute == AttributeRule::EveryField || (map->attribute == AttributeRule::FirstField && field == 0))
    target.enabled = enabled;
  return target;
}

// ParameterAt only locates the field; nothing is written through it here.
std::string_view TextAt(const DeviceConfiguration& configuration, ParameterAddress address) {
  const auto target = ParameterAt(const_cast<DeviceConfiguration&>(configuration), address);
  return target ? FieldText(target->text) : std::string_view();
}

std::optional<std::uint8_t> EnabledAt(const DeviceConfiguration& configuration, ParameterAddress address) {
  const auto target = ParameterAt(const_cast<DeviceConfiguration&>(configuration), address);
  if (!target || !target->enabled) return std::nullopt;
  return *target->enabled;
}

}  // namespace tarnis::config
