// tarnisctl config: the whole configuration between the device and a *.cfg file.
//   config read  --port COM1 --file x.cfg [--keep-going]   device → file (table at its start values)
//   config write --port COM1 --file x.cfg [--keep-going]   file → device
//                [--since y.cfg] [--verify]                only what differs from y.cfg; read back
//   config show x.cfg                                      every text and enabled byte, in UTF-8
//   config diff a.cfg b.cfg, config verify, config export, config import: see config_audit.h
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "config/config_file.h"
#include "config_audit.h"
#include "config/changes_write.h"
#include "config/config_transfer.h"
#include "config/config_verification.h"
#include "console_user_interface.h"
#include "device_run.h"
#include "platform/cp1251_codec.h"
#include "platform/whole_file.h"
#include "subcommand.h"

namespace tarnis::ctl {
namespace {

const QString kFile = QStringLiteral("file");
const QString kKeepGoing = QStringLiteral("keep-going");
const QString kSince = QStringLiteral("since");
const QString kVerify = QStringLiteral("verify");

// Exit code of a transfer: 0 only when it ran to its end without a failed request.
int TransferExitCode(bool complete, const ConsoleUserInterface& ui) { return complete && !ui.had_failure() ? 0 : 1; }

// config write of the file's configuration: the whole of it, or with since (what the device is
// stated to hold) only what differs; --verify then reads back what was written.
int RunWrite(const QCommandLineParser& parser, const config::DeviceConfiguration& file_configuration,
             const std::optional<config::DeviceConfiguration>& since, ConsoleUserInterface& ui, link::Link& link) {
  config::DeviceConfiguration configuration = file_configuration;  // each device its own copy
  std::vector<config::ParameterAddress> written;
  bool complete = false;
  if (since) {
    config::ConfigurationStates states(*since);
    complete = config::WriteChangesToDevice(link, ui, configuration, states, &written);
  } else {
    complete = config::WriteAllToDevice(link, ui, configuration, nullptr, &written);
  }
  if (!parser.isSet(kVerify)) return TransferExitCode(complete, ui);
  const config::Verification verification = config::VerifyTexts(link, configuration, written);
  ui.Out(DifferencesText(verification.differences, "файл", "КМ"));
  if (!verification.complete || !verification.differences.empty()) return 1;
  ui.Out("Прочитано обратно совпадает: " + std::to_string(written.size()) + ".\n");
  return TransferExitCode(complete, ui);
}

int RunTransfer(const QStringList& arguments, bool reading) {
  const char* name = reading ? "config read" : "config write";
  QCommandLineParser parser;
  parser.setApplicationDescription(reading ? QStringLiteral("Читает всю конфигурацию из КМ и сохраняет её в файл.")
                                           : QStringLiteral("Записывает всю конфигурацию из файла в КМ."));
  parser.addOption({kFile, QStringLiteral("Файл конфигурации (*.cfg)."), QStringLiteral("путь")});
  parser.addOption({kKeepGoing, QStringLiteral("Продолжать после неудачного запроса, а не останавливаться.")});
  if (!reading) {
    parser.addOption({kSince, QStringLiteral("Записать только тексты, отличные от этого файла (он считается тем, "
                                             "что хранит КМ)."),
                      QStringLiteral("путь")});
    parser.addOption({kVerify, QStringLiteral("Прочитать обратно каждый записанный текст; код выхода 1 при любом отличии.")});
  }
  DeviceOptions options;
  if (const auto done = ParseManyDeviceSubcommand(parser, arguments, name, options)) return *done;
  if (parser.value(kFile).isEmpty()) {
    PrintError("tarnisctl " + std::string(name) + ": нужен параметр --file.");
    return 2;
  }
  const std::string path = parser.value(kFile).toStdString();
  if (reading && !FileNamePerPort(parser, path, name)) return 2;

  config::DeviceConfiguration file_configuration;
  config::FillDefaults(file_configuration);
  config::BlankFormTable table;
  config::ResetBlankForms(table);
  // The files are read once, whatever the number of devices.
  std::optional<config::DeviceConfiguration> since;
  if (!reading) {
    ConsoleUserInterface ui = SharedUserInterface(parser);
    if (!config::OpenConfigurationFile(path, table, file_configuration, ui)) return 1;
    if (parser.isSet(kSince)) {
      since.emplace(file_configuration);
      config::BlankFormTable since_table;
      if (!config::OpenConfigurationFile(parser.value(kSince).toStdString(), since_table, *since, ui)) return 1;
    }
  }
  return RunOnDevices(parser, options, name, parser.isSet(kKeepGoing), [&](DeviceContext& device) {
    if (!reading) return RunWrite(parser, file_configuration, since, device.ui, device.link);
    config::DeviceConfiguration configuration = file_configuration;  // each device its own copy
    const bool complete = config::ReadAllFromDevice(device.link, device.ui, configuration);
    if (!complete) return 1;
    if (!config::SaveConfigurationFile(device.PathFor(path), table, configuration, device.ui)) return 1;
    return TransferExitCode(complete, device.ui);
  });
}

// A record text in UTF-8, quoted; control characters (as a terminal would take them), quotes and
// backslashes as \xNN.
std::string Quoted(std::string_view cp1251) {
  std::string text = "\"";
  for (const char c : cp1251) {
    const std::string shown = Cp1251ToTerminalUtf8(std::string_view(&c, 1));
    if (shown == kTerminalPlaceholder || c == '"' || c == '\\') {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
      text += escaped;
    } else {
      text += shown;
    }
  }
  return text + "\"";
}

void PrintConfiguration(const config::BlankFormTable& table, config::DeviceConfiguration& configuration) {
  std::cout << "Формы БСО (запрограммирована, вариант, реквизит, typeSk):\n";
  for (int form = 1; form <= config::kFormCount; ++form) {
    const config::BlankFormEntry& entry = *table.Form(form);
    std::cout << "  " << form << ": " << int(entry.programmed) << ' ' << int(entry.variant) << ' '
              << int(entry.requisite) << ' ' << int(entry.typeSk) << '\n';
  }
  static constexpr const char* kTitles[] = {"Операторы (должность, Ф.И.О., пароль)", "ДСО", "Услуги",
                                            "Дополнительные реквизиты", "Клише"};
  for (const config::SectionMap& map : config::kParameterMap) {
    std::cout << kTitles[static_cast<int>(map.section)] << ":\n";
    for (int row = 1; row <= map.rows; ++row) {
      std::cout << "  " << row << ':';
      std::uint8_t* enabled = nullptr;
      for (int field = 1; field <= map.fields; ++field) {
        const auto target = config::ParameterAt(
            configuration, {map.table, static_cast<std::uint8_t>(row), static_cast<std::uint8_t>(field)});
        std::cout << (map.fields > 3 ? "\n    " : " ") << Quoted(config::FieldText(target->text));
        if (target->enabled) enabled = target->enabled;
      }
      if (map.section == config::Section::Cliches) enabled = &configuration.cliches[row - 1].enabled;
      if (enabled) std::cout << (map.fields > 3 ? "\n    " : " ") << "дост. " << int(*enabled);
      std::cout << '\n';
    }
  }
}

int RunShow(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("Печатает все тексты и байты разрешения файла конфигурации."));
  parser.addPositionalArgument(QStringLiteral("файл"), QStringLiteral("Файл конфигурации (*.cfg)."));
  if (const auto done = ParseSubcommandArguments(parser, arguments, "config show")) return *done;
  if (parser.positionalArguments().size() != 1) {
    PrintError("tarnisctl config show: укажите один файл конфигурации.");
    return 2;
  }
  const FileRead read = ReadFile(parser.positionalArguments()[0].toStdString(), config::kConfigurationFileSize);
  if (read.status == FileRead::Status::CannotOpen) {
    PrintError("Не удалось открыть файл...");
    return 1;
  }
  config::BlankFormTable table;
  config::DeviceConfiguration configuration;
  if (read.status != FileRead::Status::Ok || !config::DecodeConfigurationFile(read.bytes, table, configuration)) {
    PrintError("Файл конфигурации некорректен...");
    return 1;
  }
  PrintConfiguration(table, configuration);
  return 0;
}

int RunConfig(const QStringList& arguments) {
  using namespace std::placeholders;
  return RunAction(arguments,
                   {{"read", std::bind(RunTransfer, _1, true)},
                    {"write", std::bind(RunTransfer, _1, false)},
                    {"show", RunShow},
                    {"diff", RunConfigDiff},
                    {"verify", RunConfigVerify},
                    {"export", RunConfigExport},
                    {"import", RunConfigImport}},
                   "Использование: tarnisctl config read  --port COM1 --file x.cfg [--keep-going]\n"
                   "               tarnisctl config write --port COM1 --file x.cfg [--since y.cfg] [--verify] [--keep-going]\n"
                   "               tarnisctl config write --ports COM1,COM2 --file x.cfg [--json]   (read: --file x-{port}.cfg)\n"
                   "               tarnisctl config show x.cfg\n"
                   "               tarnisctl config diff a.cfg b.cfg\n"
                   "               tarnisctl config verify --port COM1 --file x.cfg [--fix] [--keep-going]\n"
                   "               tarnisctl config export --file x.cfg --json x.json\n"
                   "               tarnisctl config import --json x.json --file x.cfg\n"
                   "\"tarnisctl config <action> --help\" расскажет больше.\n");
}

const RegisterSubcommand kConfig({"config", "Вся конфигурация: КМ ⇄ файл *.cfg; просмотр, сравнение, сверка, JSON.", &RunConfig});

}  // namespace
}  // namespace tarnis::ctl
