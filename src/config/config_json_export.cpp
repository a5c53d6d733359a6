// Writes the JSON form by hand: its key order is the order of the pages, which a JSON object
// library (sorting its keys) would not keep.
#include <algorithm>
#include <cstdio>

#include "config/config_json.h"
#include "config/config_json_rules.h"
#include "platform/cp1251_codec.h"

namespace tarnis::config {
namespace {

namespace rules = json_rules;

std::string Quoted(std::string_view utf8) {
  std::string out = "\"";
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04X", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

const char* Boolean(bool value) { return value ? "true" : "false"; }

class Writer {
 public:
  std::vector<std::string> warnings;

  // {"text": ..., "width": ...} for one configuration text at path.
  std::string Text(const std::string& path, const ConfigText& text) {
    CheckTail(path, text.field());
    const std::string_view stored = text.Text();
    std::string_view width = rules::kWidthNone;
    if (!stored.empty()) {
      width = text.IsWide() ? rules::kWidthWide : rules::kWidthNarrow;
      if (text.Width() != ConfigText::kNarrow && !text.IsWide())
        Warn(path + ".width", "байт ширины " + Hex(text.Width()) + " записан как \"wide\"");
    }
    if (const auto problem = rules::TextProblem(width, text.Body())) Warn(path + ".text", *problem + "; импорт его не примет");
    return "{\"text\": " + Quoted(Cp1251ToUtf8(text.Body())) + ", \"width\": \"" + std::string(width) + "\"}";
  }

  std::string Password(const std::string& path, const PasswordText& password) {
    CheckTail(path, password.field());
    if (password.Text().size() > static_cast<std::size_t>(rules::kPasswordLimit))
      Warn(path, "пароль заполняет поле без конца строки; импорт его не примет");
    return Quoted(Cp1251ToUtf8(password.Text()));
  }

  std::string Enabled(const std::string& path, std::uint8_t enabled) {
    if (enabled > 1) Warn(path, "байт доступа " + std::to_string(enabled) + " записан как true");
    return Boolean(enabled != 0);
  }

  std::string Number(const std::string& path, std::uint8_t value, int high) {
    if (const auto problem = rules::NumberProblem(value, 0, high)) Warn(path, *problem + "; импорт его не примет");
    return std::to_string(value);
  }

  void Warn(const std::string& path, const std::string& what) { warnings.push_back(path + ": " + what); }

 private:
  static std::string Hex(char c) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned char>(c));
    return text;
  }

  // Bytes behind the terminating zero: the format has no place for them.
  void CheckTail(const std::string& path, std::span<const char> field) {
    const auto end = std::find(field.begin(), field.end(), '\0');
    if (std::any_of(end, field.end(), [](char c) { return c != '\0'; }))
      Warn(path, "байты после конца текста не переносятся");
  }
};

std::string Lines(Writer& writer, const std::string& path, std::span<const ConfigText> lines,
                  const char* indent) {
  std::string out = "[";
  for (std::size_t l = 0; l < lines.size(); ++l) {
    out += l == 0 ? "\n" : ",\n";
    out += indent + writer.Text(path + ".lines[" + std::to_string(l) + "]", lines[l]);
  }
  return out + "]";
}

// "key": {"1": ..., "2": ...} from item(number) for numbers 1..count.
template <class Item>
std::string Numbered(const char* key, int count, Item item) {
  std::string out = std::string("  \"") + key + "\": {";
  for (int n = 1; n <= count; ++n) out += std::string(n == 1 ? "\n" : ",\n") + "    \"" + std::to_string(n) + "\": " + item(n);
  return out + "\n  }";
}

}  // namespace

JsonExport ConfigurationToJson(const BlankFormTable& table, const DeviceConfiguration& configuration) {
  Writer writer;
  std::vector<std::string> parts;
  parts.push_back(std::string("  \"format\": \"") + kJsonFormatName + "\"");
  parts.push_back("  \"version\": " + std::to_string(kJsonFormatVersion));

  parts.push_back(Numbered("blank_forms", kFormCount, [&](int form) {
    const BlankFormEntry& entry = *table.Form(form);
    const std::string path = "$.blank_forms." + std::to_string(form);
    std::string extra_line;
    if (entry.typeSk < rules::kExtraLines.size()) {
      extra_line = std::string("\"") + rules::kExtraLines[entry.typeSk] + "\"";
    } else {
      writer.Warn(path + ".extra_line", "typeSk " + std::to_string(entry.typeSk) + " без имени; импорт его не примет");
      extra_line = std::to_string(entry.typeSk);
    }
    return "{\"programmed\": " + writer.Enabled(path + ".programmed", entry.programmed) +
           ", \"variant\": " + writer.Number(path + ".variant", entry.variant, rules::kMaxVariant) +
           ", \"requisite\": " + writer.Number(path + ".requisite", entry.requisite, rules::kMaxRequisite) +
           ", \"extra_line\": " + extra_line + "}";
  }));

  parts.push_back(Numbered("operators", kOperatorCount, [&](int n) {
    const OperatorRecord& record = configuration.operators[n - 1];
    const std::string path = "$.operators." + std::to_string(n);
    return "{\n      \"position\": " + writer.Text(path + ".position", record.position) +
           ",\n      \"full_name\": " + writer.Text(path + ".full_name", record.full_name) +
           ",\n      \"password\": " + writer.Password(path + ".password", record.password) +
           ", \"enabled\": " + writer.Enabled(path + ".enabled", record.enabled) + "}";
  }));

  parts.push_back("  \"document_name\": " + writer.Text("$.document_name", configuration.document_name));

  const auto with_lines = [&](const std::string& path, std::span<const ConfigText> lines, std::uint8_t enabled) {
    return "{\"lines\": " + Lines(writer, path, lines, "      ") + ", \"enabled\": " +
           writer.Enabled(path + ".enabled", enabled) + "}";
  };
  parts.push_back(Numbered("services", kServiceCount, [&](int s) {
    const ServiceRecord& record = configuration.services[s - 1];
    return with_lines("$.services." + std::to_string(s), record.lines, record.enabled);
  }));
  parts.push_back(Numbered("requisites", kRequisiteCount, [&](int r) {
    const RequisiteRecord& record = configuration.requisites[r - 1];
    return with_lines("$.requisites." + std::to_string(r), record.lines, record.enabled);
  }));
  parts.push_back(Numbered("cliches", kClicheCount, [&](int c) {
    const ClicheRecord& record = configuration.cliches[c - 1];
    return with_lines("$.cliches." + std::to_string(c), record.lines, record.enabled);
  }));

  // Slots 9..16 are never used and stay zero; anything else there cannot be carried.
  const auto* unused = reinterpret_cast<const std::uint8_t*>(&configuration.requisites[kRequisiteCount]);
  const std::size_t unused_size = sizeof(RequisiteRecord) * (kRequisiteSlots - kRequisiteCount);
  if (std::any_of(unused, unused + unused_size, [](std::uint8_t b) { return b != 0; }))
    writer.Warn("$.requisites", "неиспользуемые места 9..16 содержат байты, которые не переносятся");

  JsonExport result;
  result.json = "{\n";
  for (std::size_t i = 0; i < parts.size(); ++i) result.json += parts[i] + (i + 1 < parts.size() ? ",\n" : "\n");
  result.json += "}\n";
  result.warnings = std::move(writer.warnings);
  return result;
}

}  // namespace tarnis::config
