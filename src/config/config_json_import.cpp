// Reads the JSON form through QJsonDocument and checks every value against the record's fields
// before anything is built; the first problem ends the import with its path.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <cctype>
#include <initializer_list>
#include <optional>
#include <set>

#include "config/config_json.h"
#include "config/config_json_rules.h"
#include "link/device_charset.h"
#include "platform/cp1251_codec.h"

namespace tarnis::config {
namespace {

namespace rules = json_rules;

// The first problem found; every check after it is skipped.
struct Failure {
  std::string message;
};

class Reader {
 public:
  // Texts the device will hold otherwise ("$.path: Ё будет записана как Е"); they import as they are.
  std::vector<std::string> warnings;

  // The object at path with exactly these keys.
  QJsonObject Object(const QJsonValue& value, const std::string& path, std::initializer_list<const char*> keys) {
    if (!value.isObject()) Fail(path, "an object is expected");
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
      const std::string key = it.key().toStdString();
      if (std::none_of(keys.begin(), keys.end(), [&](const char* k) { return key == k; }))
        Fail(path + "." + key, "unknown key");
    }
    for (const char* key : keys)
      if (!object.contains(QLatin1String(key))) Fail(path + "." + key, "missing");
    return object;
  }

  // The object of numbered items "1".."count", each read by item(value, path, number).
  template <class Item>
  void Numbered(const QJsonValue& value, const std::string& path, int count, Item item) {
    if (!value.isObject()) Fail(path, "an object is expected");
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
      bool number = false;
      const int n = it.key().toInt(&number);
      if (!number || n < 1 || n > count || it.key() != QString::number(n))
        Fail(path + "." + it.key().toStdString(), "unknown key; items are numbered 1.." + std::to_string(count));
    }
    for (int n = 1; n <= count; ++n) {
      const std::string item_path = path + "." + std::to_string(n);
      if (!object.contains(QString::number(n))) Fail(item_path, "missing");
      item(object.value(QString::number(n)), item_path, n);
    }
  }

  QJsonArray Array(const QJsonValue& value, const std::string& path, std::size_t size) {
    if (!value.isArray()) Fail(path, "an array is expected");
    const QJsonArray array = value.toArray();
    if (static_cast<std::size_t>(array.size()) != size)
      Fail(path, std::to_string(array.size()) + " entries, " + std::to_string(size) + " are expected");
    return array;
  }

  bool Boolean(const QJsonValue& value, const std::string& path) {
    if (!value.isBool()) Fail(path, "true or false is expected");
    return value.toBool();
  }

  int Number(const QJsonValue& value, const std::string& path, int low, int high) {
    const double number = value.toDouble();
    if (!value.isDouble() || std::floor(number) != number) Fail(path, "a whole number is expected");
    if (std::fabs(number) > 1e9) Fail(path, "the number is out of range");
    if (const auto problem = rules::NumberProblem(static_cast<long long>(number), low, high)) Fail(path, *problem);
    return static_cast<int>(number);
  }

  // A string as Windows-1251, with no control character: a zero would end the field, the others
  // would reach the printer and terminals.
  std::string Cp1251(const QJsonValue& value, const std::string& path) {
    if (!value.isString()) Fail(path, "a string is expected");
    const QString text = value.toString();
    for (const QChar c : text)
      if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F))
        Fail(path, "a text cannot hold the character U+" + QString::asprintf("%04X", c.unicode()).toStdString());
    const auto converted = Utf8ToCp1251(text.toStdString());
    if (!converted) Fail(path, "holds a character that Windows-1251 lacks");
    return *converted;
  }

  void Text(const QJsonValue& value, const std::string& path, ConfigText& text) {
    const QJsonObject object = Object(value, path, {"text", "width"});
    const QJsonValue width_value = object.value(QLatin1String("width"));
    const std::string width = width_value.toString().toStdString();
    if (!width_value.isString() || (width != rules::kWidthNone && width != rules::kWidthNarrow && width != rules::kWidthWide))
      Fail(path + ".width", "\"narrow\", \"wide\" or \"none\" is expected");
    const std::string body = Cp1251(object.value(QLatin1String("text")), path + ".text");
    if (const auto problem = rules::TextProblem(width, body)) Fail(path + ".text", *problem);
    if (const std::string held = link::HeldDifferentlyNotice(body); !held.empty())
      warnings.push_back(path + ".text: " + held);
    if (width == rules::kWidthNone) {
      text.Clear();
    } else {
      text.SetBody(width == rules::kWidthWide ? ConfigText::kWide : ConfigText::kNarrow, body);
    }
  }

  void Lines(const QJsonValue& value, const std::string& path, std::span<ConfigText> lines) {
    const QJsonArray array = Array(value, path, lines.size());
    for (std::size_t l = 0; l < lines.size(); ++l)
      Text(array[static_cast<qsizetype>(l)], path + "[" + std::to_string(l) + "]", lines[l]);
  }

  [[noreturn]] static void Fail(const std::string& path, const std::string& what) { throw Failure{path + ": " + what}; }
};

// QJsonDocument keeps the last of two equal keys without a word, and a hand-edited file may well
// hold such a slip; so the text, already known to be valid JSON, is scanned for them first.
std::optional<std::string> DuplicateKeyPath(std::string_view json) {
  struct Level {
    bool object;
    std::string path;
    std::set<std::string> keys;
    int index = 0;
  };
  std::vector<Level> stack;
  std::string next_path = "$";  // the path of the object member whose value comes next
  std::size_t i = 0;
  while (i < json.size()) {
    const char c = json[i];
    if (c == '"') {
      const std::size_t start = ++i;
      while (i < json.size() && json[i] != '"') i += json[i] == '\\' ? 2 : 1;
      const std::string_view raw = json.substr(start, i - start);
      ++i;
      std::size_t after = i;
      while (after < json.size() && std::isspace(static_cast<unsigned char>(json[after]))) ++after;
      if (after < json.size() && json[after] == ':' && !stack.empty() && stack.back().object) {
        std::string key(raw);
        if (key.find('\\') != std::string::npos)  // escapes: let the parser decode them
          key = QJsonDocument::fromJson(QByteArray("[\"") + QByteArray(raw.data(), static_cast<qsizetype>(raw.size())) +
                                        "\"]")
                    .array()
                    .at(0)
                    .toString()
                    .toStdString();
        next_path = stack.back().path + "." + key;
        if (!stack.back().keys.insert(key).second) return next_path;
      }
      continue;
    }
    if (c == '{' || c == '[') {
      std::string path = "$";
      if (!stack.empty())
        path = stack.back().object ? next_path : stack.back().path + "[" + std::to_string(stack.back().index) + "]";
      stack.push_back({c == '{', std::move(path), {}, 0});
    } else if ((c == '}' || c == ']') && !stack.empty()) {
      stack.pop_back();
    } else if (c == ',' && !stack.empty() && !stack.back().object) {
      ++stack.back().index;
    }
    ++i;
  }
  return std::nullopt;
}

void ReadDocument(const QJsonObject& root, BlankFormTable& table, DeviceConfiguration& configuration,
                  std::vector<std::string>& warnings) {
  Reader reader;
  reader.Object(root, "$",
                {"format", "version", "blank_forms", "operators", "document_name", "services", "requisites", "cliches"});
  if (root.value(QLatin1String("format")).toString() != QLatin1String(kJsonFormatName))
    Reader::Fail("$.format", std::string("\"") + kJsonFormatName + "\" is expected");
  reader.Number(root.value(QLatin1String("version")), "$.version", kJsonFormatVersion, kJsonFormatVersion);

  reader.Numbered(root.value(QLatin1String("blank_forms")), "$.blank_forms", kFormCount,
                  [&](const QJsonValue& value, const std::string& path, int form) {
                    const QJsonObject entry = reader.Object(value, path, {"programmed", "variant", "requisite", "extra_line"});
                    BlankFormEntry& out = *table.Form(form);
                    out.programmed = reader.Boolean(entry.value(QLatin1String("programmed")), path + ".programmed");
                    out.variant = static_cast<std::uint8_t>(
                        reader.Number(entry.value(QLatin1String("variant")), path + ".variant", 0, rules::kMaxVariant));
                    out.requisite = static_cast<std::uint8_t>(reader.Number(entry.value(QLatin1String("requisite")),
                                                                            path + ".requisite", 0, rules::kMaxRequisite));
                    const std::string extra = entry.value(QLatin1String("extra_line")).toString().toStdString();
                    const auto found = std::find(rules::kExtraLines.begin(), rules::kExtraLines.end(), extra);
                    if (!entry.value(QLatin1String("extra_line")).isString() || found == rules::kExtraLines.end())
                      Reader::Fail(path + ".extra_line", "\"none\", \"discount\", \"tax\" or \"code\" is expected");
                    out.typeSk = static_cast<std::uint8_t>(found - rules::kExtraLines.begin());
                  });

  reader.Numbered(root.value(QLatin1String("operators")), "$.operators", kOperatorCount,
                  [&](const QJsonValue& value, const std::string& path, int n) {
                    const QJsonObject object = reader.Object(value, path, {"position", "full_name", "password", "enabled"});
                    OperatorRecord& record = configuration.operators[n - 1];
                    reader.Text(object.value(QLatin1String("position")), path + ".position", record.position);
                    reader.Text(object.value(QLatin1String("full_name")), path + ".full_name", record.full_name);
                    const std::string password = reader.Cp1251(object.value(QLatin1String("password")), path + ".password");
                    if (password.size() > static_cast<std::size_t>(rules::kPasswordLimit))
                      Reader::Fail(path + ".password", std::to_string(password.size()) + " characters, a password holds at most " +
                                                           std::to_string(rules::kPasswordLimit));
                    record.password.Set(password);
                    record.enabled = reader.Boolean(object.value(QLatin1String("enabled")), path + ".enabled");
                  });

  reader.Text(root.value(QLatin1String("document_name")), "$.document_name", configuration.document_name);

  const auto lines_and_enabled = [&](const QJsonValue& value, const std::string& path, std::span<ConfigText> lines,
                                     std::uint8_t& enabled) {
    const QJsonObject object = reader.Object(value, path, {"lines", "enabled"});
    reader.Lines(object.value(QLatin1String("lines")), path + ".lines", lines);
    enabled = reader.Boolean(object.value(QLatin1String("enabled")), path + ".enabled");
  };
  reader.Numbered(root.value(QLatin1String("services")), "$.services", kServiceCount,
                  [&](const QJsonValue& value, const std::string& path, int s) {
                    lines_and_enabled(value, path, configuration.services[s - 1].lines, configuration.services[s - 1].enabled);
                  });
  reader.Numbered(root.value(QLatin1String("requisites")), "$.requisites", kRequisiteCount,
                  [&](const QJsonValue& value, const std::string& path, int r) {
                    lines_and_enabled(value, path, configuration.requisites[r - 1].lines,
                                      configuration.requisites[r - 1].enabled);
                  });
  reader.Numbered(root.value(QLatin1String("cliches")), "$.cliches", kClicheCount,
                  [&](const QJsonValue& value, const std::string& path, int c) {
                    lines_and_enabled(value, path, configuration.cliches[c - 1].lines, configuration.cliches[c - 1].enabled);
                  });
  warnings = std::move(reader.warnings);
}

}  // namespace

JsonImport ConfigurationFromJson(std::string_view json) {
  JsonImport result;
  std::memset(&result.table, 0, sizeof result.table);
  std::memset(&result.configuration, 0, sizeof result.configuration);
  QJsonParseError parse_error{};
  const QJsonDocument document =
      QJsonDocument::fromJson(QByteArray(json.data(), static_cast<qsizetype>(json.size())), &parse_error);
  if (parse_error.error != QJsonParseError::NoError) {
    result.error = "$: not JSON at byte " + std::to_string(parse_error.offset) + ": " +
                   parse_error.errorString().toStdString();
    return result;
  }
  if (!document.isObject()) {
    result.error = "$: an object is expected";
    return result;
  }
  if (const auto duplicate = DuplicateKeyPath(json)) {
    result.error = *duplicate + ": the key appears twice";
    return result;
  }
  try {
    ReadDocument(document.object(), result.table, result.configuration, result.warnings);
  } catch (const Failure& failure) {
    result.error = failure.message;
    std::memset(&result.table, 0, sizeof result.table);
    std::memset(&result.configuration, 0, sizeof result.configuration);
    return result;
  }
  result.ok = true;
  return result;
}

}  // namespace tarnis::config
