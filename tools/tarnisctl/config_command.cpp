// tarnisctl config: the whole configuration between the device and a *.cfg file.
//   config read  --port COM1 --file x.cfg [--keep-going]   device → file (table at its start values)
//   config write --port COM1 --file x.cfg [--keep-going]   file → device
//                [--since y.cfg] [--verify]                only what differs from y.cfg; read back
//   config show x.cfg                                      every text and enabled byte, in UTF-8
//   config diff a.cfg b.cfg, config verify, config export, config import: see config_audit.h
#include <cstdio>
#include <iostream>
#include <string>

#include "config/config_file.h"
#include "config_audit.h"
#include "config/config_transfer.h"
#include "config/config_verification.h"
#include "console_user_interface.h"
#include "device_options.h"
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

// config write: the whole file, or with --since only what differs from the stated device contents;
// --verify then reads back what was written.
int RunWrite(const QCommandLineParser& parser, const std::string& path, ConsoleUserInterface& ui, link::Link& link) {
  config::DeviceConfiguration configuration;
  config::FillDefaults(configuration);
  config::BlankFormTable table;
  config::ResetBlankForms(table);
  std::vector<config::ParameterAddress> written;
  bool complete = false;
  if (parser.isSet(kSince)) {
    if (!config::OpenConfigurationFile(parser.value(kSince).toStdString(), table, configuration, ui)) return 1;
    config::ConfigurationStates states(configuration);
    if (!config::OpenConfigurationFile(path, table, configuration, ui)) return 1;
    complete = config::WriteChangesToDevice(link, ui, configuration, states, &written);
  } else {
    if (!config::OpenConfigurationFile(path, table, configuration, ui)) return 1;
    complete = config::WriteAllToDevice(link, ui, configuration, nullptr, &written);
  }
  if (!parser.isSet(kVerify)) return TransferExitCode(complete, ui);
  const config::Verification verification = config::VerifyTexts(link, configuration, written);
  PrintDifferences(verification.differences);
  if (!verification.complete || !verification.differences.empty()) return 1;
  std::cout << "Прочитано обратно совпадает: " << written.size() << ".\n";
  return TransferExitCode(complete, ui);
}

int RunTransfer(const QStringList& arguments, bool reading) {
  const char* name = reading ? "config read" : "config write";
  QCommandLineParser parser;
  parser.setApplicationDescription(reading ? QStringLiteral("Reads the whole configuration and saves it to a file.")
                                           : QStringLiteral("Writes the whole configuration of a file to the device."));
  parser.addOption({kFile, QStringLiteral("The configuration file (*.cfg)."), QStringLiteral("path")});
  parser.addOption({kKeepGoing, QStringLiteral("Go on after a failed request instead of stopping.")});
  if (!reading) {
    parser.addOption({kSince, QStringLiteral("Write only the texts that differ from this file, taken as what the "
                                             "device holds."),
                      QStringLiteral("path")});
    parser.addOption({kVerify, QStringLiteral("Read back every text written; exit 1 on any difference.")});
  }
  DeviceOptions options;
  if (const auto done = ParseDeviceSubcommand(parser, arguments, name, options)) return *done;
  if (parser.value(kFile).isEmpty()) {
    PrintError("tarnisctl " + std::string(name) + ": --file is required.");
    return 2;
  }
  const std::string path = parser.value(kFile).toStdString();

  ConsoleUserInterface ui(parser.isSet(kKeepGoing));
  DeviceSession session(options);
  if (reading) {
    config::DeviceConfiguration configuration;
    config::FillDefaults(configuration);
    config::BlankFormTable table;
    config::ResetBlankForms(table);
    const bool complete = config::ReadAllFromDevice(session.link(), ui, configuration);
    if (!complete) return 1;
    if (!config::SaveConfigurationFile(path, table, configuration, ui)) return 1;
    return TransferExitCode(complete, ui);
  }
  return RunWrite(parser, path, ui, session.link());
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
  std::cout << "Формы БСО (programmed variant requisite typeSk):\n";
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
  parser.setApplicationDescription(QStringLiteral("Prints every text and enabled byte of a configuration file."));
  parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The configuration file (*.cfg)."));
  if (const auto done = ParseSubcommandArguments(parser, arguments, "config show")) return *done;
  if (parser.positionalArguments().size() != 1) {
    PrintError("tarnisctl config show: give one configuration file.");
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
                   "Usage: tarnisctl config read  --port COM1 --file x.cfg [--keep-going]\n"
                   "       tarnisctl config write --port COM1 --file x.cfg [--since y.cfg] [--verify] [--keep-going]\n"
                   "       tarnisctl config show x.cfg\n"
                   "       tarnisctl config diff a.cfg b.cfg\n"
                   "       tarnisctl config verify --port COM1 --file x.cfg [--keep-going]\n"
                   "       tarnisctl config export --file x.cfg --json x.json\n"
                   "       tarnisctl config import --json x.json --file x.cfg\n"
                   "\"tarnisctl config <action> --help\" tells more.\n");
}

const RegisterSubcommand kConfig({"config", "Whole configuration: device ⇄ *.cfg file; show, compare, verify, JSON.", &RunConfig});

}  // namespace
}  // namespace tarnis::ctl
