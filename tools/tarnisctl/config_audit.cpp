#include "config_audit.h"

#include <iostream>
#include <string>

#include "config/config_file.h"
#include "config/config_json.h"
#include "config/config_verification.h"
#include "console_user_interface.h"
#include "device_options.h"
#include "platform/cp1251_codec.h"
#include "platform/whole_file.h"

namespace tarnis::ctl {
namespace {

const QString kFile = QStringLiteral("file");
const QString kJson = QStringLiteral("json");
const QString kKeepGoing = QStringLiteral("keep-going");

// Far above any configuration in JSON (about 60 KB), small enough to read whole.
constexpr std::size_t kJsonSizeLimit = 4 * 1024 * 1024;

struct ConfigurationFile {
  config::BlankFormTable table;
  config::DeviceConfiguration configuration;
};

// The file, or nothing after telling why.
std::optional<ConfigurationFile> LoadFile(const std::string& path, const char* name) {
  const auto bytes = ReadFileUpTo(path, config::kConfigurationFileSize);
  if (!bytes) {
    PrintError("tarnisctl " + std::string(name) + ": " + path + ": Не удалось открыть файл...");
    return std::nullopt;
  }
  ConfigurationFile file;
  if (!config::DecodeConfigurationFile(*bytes, file.table, file.configuration)) {
    PrintError("tarnisctl " + std::string(name) + ": " + path + ": Файл конфигурации некорректен...");
    return std::nullopt;
  }
  return file;
}

// The value of a required option, or nothing after telling that it is missing.
std::optional<std::string> Required(const QCommandLineParser& parser, const QString& option, const char* name) {
  if (parser.value(option).isEmpty()) {
    PrintError("tarnisctl " + std::string(name) + ": --" + option.toStdString() + " is required.");
    return std::nullopt;
  }
  return parser.value(option).toStdString();
}

}  // namespace

void PrintDifferences(const std::vector<config::Difference>& differences) {
  // The texts come from files and the device: no byte of theirs may drive the terminal.
  for (const auto& difference : differences)
    std::cout << TerminalSafeUtf8(config::FormatDifference(difference)) << '\n';
}

int RunConfigDiff(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Prints how two configuration files differ, one field a line. Exit 0: equal, 1: different, 2: bad file."));
  parser.addPositionalArgument(QStringLiteral("first"), QStringLiteral("The first configuration file (*.cfg)."));
  parser.addPositionalArgument(QStringLiteral("second"), QStringLiteral("The second configuration file (*.cfg)."));
  if (const auto done = ParseSubcommandArguments(parser, arguments, "config diff")) return *done;
  const QStringList files = parser.positionalArguments();
  if (files.size() != 2) {
    PrintError("tarnisctl config diff: give two configuration files.");
    return 2;
  }
  const auto first = LoadFile(files[0].toStdString(), "config diff");
  const auto second = first ? LoadFile(files[1].toStdString(), "config diff") : std::nullopt;
  if (!second) return 2;
  auto differences = config::CompareBlankForms(first->table, second->table);
  const auto records = config::CompareConfigurations(first->configuration, second->configuration);
  differences.insert(differences.end(), records.begin(), records.end());
  PrintDifferences(differences);
  return differences.empty() ? 0 : 1;
}

int RunConfigVerify(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Reads the whole configuration from the device and prints how it differs from a file (the file first). "
      "Exit 0: equal, 1: different or not read."));
  parser.addOption({kFile, QStringLiteral("The configuration file (*.cfg)."), QStringLiteral("path")});
  parser.addOption({kKeepGoing, QStringLiteral("Go on after a failed request instead of stopping.")});
  DeviceOptions options;
  if (const auto done = ParseDeviceSubcommand(parser, arguments, "config verify", options)) return *done;
  const auto path = Required(parser, kFile, "config verify");
  if (!path) return 2;
  const auto file = LoadFile(*path, "config verify");
  if (!file) return 2;

  ConsoleUserInterface ui(parser.isSet(kKeepGoing));
  DeviceSession session(options);
  const config::Verification verification = config::VerifyDevice(session.link(), ui, file->table, file->configuration);
  PrintDifferences(verification.differences);
  if (verification.differences.empty() && verification.complete) {
    std::cout << "Совпадает полностью\n";
    return 0;
  }
  return 1;
}

int RunConfigExport(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Writes a configuration file as readable JSON; what JSON cannot carry is warned about on standard error."));
  parser.addOption({kFile, QStringLiteral("The configuration file to read (*.cfg)."), QStringLiteral("path")});
  parser.addOption({kJson, QStringLiteral("The JSON file to write."), QStringLiteral("path")});
  if (const auto done = ParseSubcommandArguments(parser, arguments, "config export")) return *done;
  const auto cfg = Required(parser, kFile, "config export");
  const auto json = cfg ? Required(parser, kJson, "config export") : std::nullopt;
  if (!json) return 2;
  const auto file = LoadFile(*cfg, "config export");
  if (!file) return 1;
  const config::JsonExport exported = config::ConfigurationToJson(file->table, file->configuration);
  for (const auto& warning : exported.warnings) PrintError("warning: " + warning);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(exported.json.data());
  if (!ReplaceFile(*json, std::span(bytes, exported.json.size()))) {
    PrintError("tarnisctl config export: " + *json + ": Не удалось создать файл...");
    return 1;
  }
  return 0;
}

int RunConfigImport(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Checks a JSON configuration whole, then writes it as a configuration file; on the first problem it "
      "names its JSON path and writes nothing."));
  parser.addOption({kJson, QStringLiteral("The JSON file to read."), QStringLiteral("path")});
  parser.addOption({kFile, QStringLiteral("The configuration file to write (*.cfg)."), QStringLiteral("path")});
  if (const auto done = ParseSubcommandArguments(parser, arguments, "config import")) return *done;
  const auto json = Required(parser, kJson, "config import");
  const auto cfg = json ? Required(parser, kFile, "config import") : std::nullopt;
  if (!cfg) return 2;
  const auto text = ReadFileUpTo(*json, kJsonSizeLimit);
  if (!text) {
    PrintError("tarnisctl config import: " + *json + ": Не удалось открыть файл...");
    return 1;
  }
  if (text->size() > kJsonSizeLimit) {
    PrintError("tarnisctl config import: " + *json + ": larger than 4 MiB, not a configuration.");
    return 1;
  }
  const config::JsonImport imported =
      config::ConfigurationFromJson(std::string_view(reinterpret_cast<const char*>(text->data()), text->size()));
  if (!imported.ok) {
    PrintError("tarnisctl config import: " + *json + ": " + imported.error);
    return 1;
  }
  for (const auto& warning : imported.warnings) PrintError("warning: " + warning);
  const config::ConfigurationFileImage image = config::EncodeConfigurationFile(imported.table, imported.configuration);
  if (!ReplaceFile(*cfg, image)) {
    PrintError("tarnisctl config import: " + *cfg + ": Не удалось создать файл...");
    return 1;
  }
  return 0;
}

}  // namespace tarnis::ctl
