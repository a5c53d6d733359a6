// The JSON form: byte-identical round trips, the first bad value named by its path, and warnings
// for whatever the format does not carry.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>
#include <random>
#include <string>

#include "config/config_file.h"
#include "config/config_json.h"
#include "platform/cp1251_codec.h"

namespace tarnis::config {
namespace {

ConfigurationFileImage RoundTrip(const BlankFormTable& table, const DeviceConfiguration& configuration) {
  const JsonExport exported = ConfigurationToJson(table, configuration);
  EXPECT_TRUE(exported.warnings.empty()) << exported.warnings.front();
  const JsonImport imported = ConfigurationFromJson(exported.json);
  EXPECT_TRUE(imported.ok) << imported.error;
  return EncodeConfigurationFile(imported.table, imported.configuration);
}

std::string Cp(const char* utf8) { return Utf8ToCp1251Lossy(utf8); }

TEST(ConfigJsonTest, DefaultRecordRoundTripsByteForByteAndReadsAsText) {
  DeviceConfiguration configuration;
  FillDefaults(configuration);
  BlankFormTable table;
  ResetBlankForms(table);
  EXPECT_EQ(RoundTrip(table, configuration), EncodeConfigurationFile(table, configuration));

  const std::string json = ConfigurationToJson(table, configuration).json;
  EXPECT_NE(json.find("\"1\": {\"programmed\": true, \"variant\": 0, \"requisite\": 0, \"extra_line\": \"none\"}"),
            std::string::npos);
  EXPECT_NE(json.find("\"position\": {\"text\": \"ОПЕРАТОР 1\", \"width\": \"narrow\"}"), std::string::npos);
  EXPECT_NE(json.find("\"document_name\": {\"text\": \"СТРОКА ДСО\", \"width\": \"narrow\"}"), std::string::npos);
  EXPECT_LT(json.find("\"operators\""), json.find("\"services\""));

  // A text the device will hold otherwise imports as it is, named among the warnings.
  configuration.services[2].lines[1].SetBody(ConfigText::kNarrow, Utf8ToCp1251Lossy("ЁЖИК"));
  const JsonImport imported = ConfigurationFromJson(ConfigurationToJson(table, configuration).json);
  ASSERT_TRUE(imported.ok) << imported.error;
  EXPECT_EQ(imported.configuration.services[2].lines[1].Body(), Utf8ToCp1251Lossy("ЁЖИК"));
  EXPECT_EQ(imported.warnings, std::vector<std::string>{"$.services.3.lines[1].text: Ё будет записана как Е"});
}

TEST(ConfigJsonTest, EveryFieldAtItsLimitRoundTrips) {
  DeviceConfiguration configuration{};
  BlankFormTable table{};
  const std::string narrow = Cp("ЯЯЯЯЯЯЯЯЯЯЯЯЯЯЯЯЯЯЯЯЯЯ\"\\");  // 24 characters, JSON escapes included
  const std::string wide = Cp("ЁЁЁЁЁЁЁЁЁЁЁ~");               // 12
  for (int n = 0; n < kOperatorCount; ++n) {
    configuration.operators[n].position.SetBody(ConfigText::kNarrow, narrow);
    configuration.operators[n].full_name.SetBody(ConfigText::kWide, wide);
    configuration.operators[n].password.Set("99999");
    configuration.operators[n].enabled = n % 2;
  }
  configuration.document_name.SetBody(ConfigText::kWide, wide);
  for (auto& service : configuration.services) service.lines[1].SetBody(ConfigText::kNarrow, narrow);
  for (int r = 0; r < kRequisiteCount; ++r) configuration.requisites[r].lines[2].SetBody(ConfigText::kWide, wide);
  for (auto& cliche : configuration.cliches) cliche.lines[7].SetBody(ConfigText::kNarrow, "\x99\xFF");
  for (int form = 1; form <= kFormCount; ++form) *table.Form(form) = {0, 6, 8, 3};
  EXPECT_EQ(RoundTrip(table, configuration), EncodeConfigurationFile(table, configuration));
}

// Replaces the value at a dotted path of the default export and imports the result.
std::string ImportError(const std::string& dotted_path, const QJsonValue& value) {
  DeviceConfiguration configuration;
  FillDefaults(configuration);
  BlankFormTable table;
  ResetBlankForms(table);
  const std::string json = ConfigurationToJson(table, configuration).json;
  QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(json)).object();
  const QStringList keys = QString::fromStdString(dotted_path).split('.');
  // Rebuild the nested objects from the leaf up (Qt's JSON values are copies).
  std::function<QJsonValue(const QJsonValue&, int)> replace = [&](const QJsonValue& node, int depth) -> QJsonValue {
    if (depth == keys.size()) return value;
    if (node.isArray()) {
      QJsonArray array = node.toArray();
      const int index = keys[depth].toInt();
      array[index] = replace(array[index], depth + 1);
      return array;
    }
    QJsonObject object = node.toObject();
    if (depth + 1 == keys.size() && value.isUndefined()) {
      object.remove(keys[depth]);
      return object;
    }
    object[keys[depth]] = replace(object.value(keys[depth]), depth + 1);
    return object;
  };
  root = replace(root, 0).toObject();
  const JsonImport imported = ConfigurationFromJson(QJsonDocument(root).toJson().toStdString());
  EXPECT_FALSE(imported.ok);
  return imported.error;
}

TEST(ConfigJsonTest, EachKindOfBadValueIsNamedByItsPath) {
  EXPECT_EQ(ImportError("operators.3.nickname", QString("x")), "$.operators.3.nickname: unknown key");
  EXPECT_EQ(ImportError("services.100", QJsonObject{}), "$.services.100: unknown key; items are numbered 1..99");
  EXPECT_EQ(ImportError("cliches.2.enabled", QJsonValue(QJsonValue::Undefined)), "$.cliches.2.enabled: missing");
  EXPECT_EQ(ImportError("operators.7.position.text", QString(25, QChar(u'Ж'))),
            "$.operators.7.position.text: 25 characters, a narrow text holds at most 24");
  QJsonObject wide{{"text", QString(13, QChar(u'Ж'))}, {"width", "wide"}};
  EXPECT_EQ(ImportError("document_name", wide), "$.document_name.text: 13 characters, a wide text holds at most 12");
  EXPECT_EQ(ImportError("services.5.lines.1.text", QString::fromUtf8("ЦЕНА Ω")),
            "$.services.5.lines[1].text: holds a character that Windows-1251 lacks");
  EXPECT_EQ(ImportError("services.5.lines.0.width", QString("bold")),
            "$.services.5.lines[0].width: \"narrow\", \"wide\" or \"none\" is expected");
  EXPECT_EQ(ImportError("requisites.8.lines.1", QJsonObject{{"text", "X"}, {"width", "none"}}),
            "$.requisites.8.lines[1].text: a text with width \"none\" must be empty");
  EXPECT_EQ(ImportError("operators.1.password", QString("123456")),
            "$.operators.1.password: 6 characters, a password holds at most 5");
  EXPECT_EQ(ImportError("blank_forms.4.variant", 7), "$.blank_forms.4.variant: 7 is outside 0..6");
  EXPECT_EQ(ImportError("blank_forms.4.requisite", 2.5), "$.blank_forms.4.requisite: a whole number is expected");
  EXPECT_EQ(ImportError("blank_forms.8.extra_line", QString("vat")),
            "$.blank_forms.8.extra_line: \"none\", \"discount\", \"tax\" or \"code\" is expected");
  EXPECT_EQ(ImportError("operators.2.enabled", 1), "$.operators.2.enabled: true or false is expected");
  EXPECT_EQ(ImportError("requisites.1.lines", QJsonArray{}), "$.requisites.1.lines: 0 entries, 3 are expected");
  EXPECT_EQ(ImportError("version", 2), "$.version: 2 is outside 1..1");
  for (const char16_t control : {u'\0', u'\x1B', u'\x1F', u'\x7F', u'\x85', u'\x9F'})
    EXPECT_EQ(ImportError("cliches.1.lines.3.text", QString("AB") + QChar(control)),
              "$.cliches.1.lines[3].text: a text cannot hold the character U+" +
                  QString::asprintf("%04X", unsigned{control}).toStdString());

  // Two equal keys: the parser would keep the second silently.
  DeviceConfiguration defaults;
  FillDefaults(defaults);
  std::string twice = ConfigurationToJson({}, defaults).json;
  const std::string second_line = "\"lines\": [\n      {\"text\": \"УСЛУГА 2 - СТРОКА 1\"";
  twice.insert(twice.find(second_line), "\"enabled\": false, ");
  EXPECT_EQ(ConfigurationFromJson(twice).error, "$.services.2.enabled: the key appears twice");
  std::string escaped = ConfigurationToJson({}, defaults).json;
  escaped.insert(escaped.find("\"2\": {\"lines\""), "\"\\u0031\": {}, ");
  EXPECT_EQ(ConfigurationFromJson(escaped).error, "$.services.1: the key appears twice");

  const JsonImport broken = ConfigurationFromJson("{\"format\": ");
  EXPECT_FALSE(broken.ok);
  EXPECT_EQ(broken.error.rfind("$: not JSON at byte ", 0), 0u) << broken.error;
  EXPECT_EQ(ConfigurationFromJson("[]").error, "$: an object is expected");
}

TEST(ConfigJsonTest, BytesTheFormatCannotCarryAreWarnedAbout) {
  DeviceConfiguration configuration;
  FillDefaults(configuration);
  BlankFormTable table;
  ResetBlankForms(table);
  configuration.services[2].lines[0].bytes[25] = 'J';     // junk behind the terminating zero
  configuration.services[1].lines[0].bytes[3] = '\x1B';   // a control character
  configuration.operators[0].enabled = 7;                 // not a boolean
  configuration.document_name.bytes[0] = '2';             // an attribute the pages never write
  configuration.requisites[9].enabled = 1;                // an unused slot
  table.Form(2)->typeSk = 5;                              // import refuses it
  const JsonExport exported = ConfigurationToJson(table, configuration);
  EXPECT_EQ(exported.warnings,
            (std::vector<std::string>{
                "$.blank_forms.2.extra_line: typeSk 5 has no name; import refuses it",
                "$.operators.1.enabled: enabled byte 7 is written as true",
                "$.document_name.width: width attribute byte 0x32 is written as \"wide\"",
                "$.services.2.lines[0].text: a text cannot hold the character U+001B; import refuses it",
                "$.services.3.lines[0]: bytes after the end of the text are not carried",
                "$.requisites: the unused slots 9..16 hold bytes that are not carried",
            }));
}

TEST(ConfigJsonTest, DamagedDocumentsAreRefusedByPathOrReadBackConsistently) {
  DeviceConfiguration configuration;
  FillDefaults(configuration);
  BlankFormTable table;
  ResetBlankForms(table);
  const std::string json = ConfigurationToJson(table, configuration).json;
  std::mt19937 random(12);
  const char replacements[] = {'"', '\\', '{', '}', '[', ']', ',', ':', '1', 'x', ' ', '\0', '\xD0'};
  for (int round = 0; round < 400; ++round) {
    std::string damaged = json;
    for (int n = 1 + static_cast<int>(random() % 3); n > 0; --n) {
      const std::size_t at = random() % damaged.size();
      switch (random() % 3) {
        case 0: damaged[at] = replacements[random() % sizeof replacements]; break;
        case 1: damaged.erase(at, 1 + random() % 8); break;
        default: damaged.insert(at, 1, replacements[random() % sizeof replacements]); break;
      }
    }
    const JsonImport imported = ConfigurationFromJson(damaged);
    if (!imported.ok) {
      EXPECT_EQ(imported.error.rfind("$", 0), 0u) << imported.error;
      continue;
    }
    // Whatever was accepted is a whole configuration that exports and imports to itself.
    const JsonExport again = ConfigurationToJson(imported.table, imported.configuration);
    EXPECT_TRUE(again.warnings.empty());
    const JsonImport twice = ConfigurationFromJson(again.json);
    ASSERT_TRUE(twice.ok) << twice.error;
    EXPECT_EQ(EncodeConfigurationFile(twice.table, twice.configuration),
              EncodeConfigurationFile(imported.table, imported.configuration));
  }
}

}  // namespace
}  // namespace tarnis::config
