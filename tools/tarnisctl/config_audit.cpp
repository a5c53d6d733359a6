#include "config_audit.h"

#include <iostream>
#include <string>

#include "config/config_file.h"
#include "config/config_json.h"
#include "config/config_verification.h"
#include "config/difference_actions.h"
#include "console_user_interface.h"
#include "device_run.h"
#include "platform/cp1251_codec.h"
#include "platform/whole_file.h"

namespace tarnis::ctl {
namespace {

const QString kFile = QStringLiteral("file");
const QString kJson = QStringLiteral("json");
const QString kKeepGoing = QStringLiteral("keep-going");
const QString kFix = QStringLiteral("fix");

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

// config verify --fix after the first verification: writes the differing texts, reads them back
// and prints what still differs. 0 only when nothing does.
int FixDifferences(DeviceContext& device, const ConfigurationFile& file, config::Verification verification) {
  ConfigurationFile written = file;  // each device its own copy
  config::ConfigurationStates states(written.configuration);
  config::DeviceComparison comparison(written.table, written.configuration, std::move(verification));
  const config::ActionOutcome outcome = comparison.WriteToDevice(device.link, device.ui, states, {});
  // Against the file itself: the writes took the items' access as the device answered into the copy.
  const auto after = config::CompareWithReading(file.table, file.configuration, comparison.report());
  device.ui.Out("После записи:\n" + DifferencesText(after, "файл", "КМ"));
  if (const std::string left = config::NotWrittenText(outcome.left_out); !left.empty()) device.ui.Out(left + '\n');
  if (!outcome.ran || !after.empty()) return 1;
  device.ui.Out("Совпадает полностью\n");
  return 0;
}

// The value of a required option, or nothing after telling that it is missing.
std::optional<std::string> Required(const QCommandLineParser& parser, const QString& option, const char* name) {
  if (parser.value(option).isEmpty()) {
    PrintError("tarnisctl " + std::string(name) + ": нужен параметр --" + option.toStdString() + ".");
    return std::nullopt;
  }
  return parser.value(option).toStdString();
}

}  // namespace

std::string DifferencesText(const std::vector<config::Difference>& differences, const std::string& left,
                            const std::string& right) {
  if (differences.empty()) return {};
  std::string text = TerminalSafeUtf8(left) + " ← → " + TerminalSafeUtf8(right) + '\n';
  // The texts come from files and the device: no byte of theirs may drive the terminal.
  for (const auto& difference : differences) text += TerminalSafeUtf8(config::FormatDifference(difference)) + '\n';
  return text;
}

int RunConfigDiff(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Печатает, чем различаются два файла конфигурации, по одному полю в строке. Код выхода 0: равны, 1: различаются, 2: плохой файл."));
  parser.addPositionalArgument(QStringLiteral("первый"), QStringLiteral("Первый файл конфигурации (*.cfg)."));
  parser.addPositionalArgument(QStringLiteral("второй"), QStringLiteral("Второй файл конфигурации (*.cfg)."));
  if (const auto done = ParseSubcommandArguments(parser, arguments, "config diff")) return *done;
  const QStringList files = parser.positionalArguments();
  if (files.size() != 2) {
    PrintError("tarnisctl config diff: укажите два файла конфигурации.");
    return 2;
  }
  const auto first = LoadFile(files[0].toStdString(), "config diff");
  const auto second = first ? LoadFile(files[1].toStdString(), "config diff") : std::nullopt;
  if (!second) return 2;
  auto differences = config::CompareBlankForms(first->table, second->table);
  const auto records = config::CompareConfigurations(first->configuration, second->configuration);
  differences.insert(differences.end(), records.begin(), records.end());
  std::cout << DifferencesText(differences, files[0].toStdString(), files[1].toStdString());
  return differences.empty() ? 0 : 1;
}

int RunConfigVerify(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Читает всю конфигурацию из КМ и печатает, чем она отличается от файла (файл первым). "
      "Код выхода 0: равны, 1: различаются или не прочитаны."));
  parser.addOption({kFile, QStringLiteral("Файл конфигурации (*.cfg)."), QStringLiteral("путь")});
  parser.addOption({kKeepGoing, QStringLiteral("Продолжать после неудачного запроса, а не останавливаться.")});
  parser.addOption({kFix, QStringLiteral("Записать отличающиеся тексты из файла в КМ, прочитать их обратно и сверить "
                                         "снова; код выхода 0, только если отличий не осталось.")});
  DeviceOptions options;
  if (const auto done = ParseManyDeviceSubcommand(parser, arguments, "config verify", options)) return *done;
  const auto path = Required(parser, kFile, "config verify");
  if (!path) return 2;
  const auto file = LoadFile(*path, "config verify");
  if (!file) return 2;

  return RunOnDevices(parser, options, "config verify", parser.isSet(kKeepGoing), [&](DeviceContext& device) {
    config::Verification verification =
        config::VerifyDevice(device.link, device.ui, file->table, file->configuration);
    device.ui.Out(DifferencesText(verification.differences, "файл", "КМ"));
    if (verification.differences.empty() && verification.complete) {
      device.ui.Out("Совпадает полностью\n");
      return 0;
    }
    if (!parser.isSet(kFix) || !verification.complete) return 1;
    return FixDifferences(device, *file, std::move(verification));
  });
}

int RunConfigExport(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Записывает файл конфигурации в читаемый JSON; о том, что JSON не может передать, предупреждает в стандартный поток ошибок."));
  parser.addOption({kFile, QStringLiteral("Файл конфигурации для чтения (*.cfg)."), QStringLiteral("путь")});
  parser.addOption({kJson, QStringLiteral("Файл JSON для записи."), QStringLiteral("путь")});
  if (const auto done = ParseSubcommandArguments(parser, arguments, "config export")) return *done;
  const auto cfg = Required(parser, kFile, "config export");
  const auto json = cfg ? Required(parser, kJson, "config export") : std::nullopt;
  if (!json) return 2;
  const auto file = LoadFile(*cfg, "config export");
  if (!file) return 1;
  const config::JsonExport exported = config::ConfigurationToJson(file->table, file->configuration);
  for (const auto& warning : exported.warnings) PrintError("предупреждение: " + warning);
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
      "Проверяет конфигурацию JSON целиком, затем записывает её в файл конфигурации; при первой ошибке "
      "называет её путь в JSON и ничего не записывает."));
  parser.addOption({kJson, QStringLiteral("Файл JSON для чтения."), QStringLiteral("путь")});
  parser.addOption({kFile, QStringLiteral("Файл конфигурации для записи (*.cfg)."), QStringLiteral("путь")});
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
    PrintError("tarnisctl config import: " + *json + ": больше 4 МиБ, это не конфигурация.");
    return 1;
  }
  const config::JsonImport imported =
      config::ConfigurationFromJson(std::string_view(reinterpret_cast<const char*>(text->data()), text->size()));
  if (!imported.ok) {
    PrintError("tarnisctl config import: " + *json + ": " + imported.error);
    return 1;
  }
  for (const auto& warning : imported.warnings) PrintError("предупреждение: " + warning);
  const config::ConfigurationFileImage image = config::EncodeConfigurationFile(imported.table, imported.configuration);
  if (!ReplaceFile(*cfg, image)) {
    PrintError("tarnisctl config import: " + *cfg + ": Не удалось создать файл...");
    return 1;
  }
  return 0;
}

}  // namespace tarnis::ctl
