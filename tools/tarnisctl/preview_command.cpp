// tarnisctl preview: the preview lines of one blank form of a configuration file.
#include <iostream>

#include "config/config_file.h"
#include "constructor/preview.h"
#include "device_options.h"
#include "platform/cp1251_codec.h"
#include "platform/whole_file.h"
#include "subcommand.h"

namespace tarnis::ctl {
namespace {

int RunPreview(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      QStringLiteral("Печатает образец одного бланка из файла конфигурации, строка за строкой, "
                     "с пробелами в конце строк."));
  parser.addPositionalArgument(QStringLiteral("файл"), QStringLiteral("Файл конфигурации (*.cfg)."));
  parser.addOption({QStringLiteral("form"), QStringLiteral("Бланк 1..8."), QStringLiteral("N")});
  if (const auto done = ParseSubcommandArguments(parser, arguments, "preview")) return *done;

  const QStringList positional = parser.positionalArguments();
  bool number = false;
  const int form = parser.value(QStringLiteral("form")).toInt(&number);
  if (positional.size() != 1) {
    PrintError("tarnisctl preview: укажите один файл конфигурации.");
    return 2;
  }
  if (!number || form < 1 || form > constructor::kFormCount) {
    PrintError("tarnisctl preview: --form: номер формы от 1 до 8.");
    return 2;
  }

  const std::string path = positional[0].toStdString();
  const FileRead read = ReadFile(path, config::kConfigurationFileSize);
  if (read.status == FileRead::Status::CannotOpen) {
    PrintError("Не удалось открыть файл... " + path);
    return 1;
  }
  constructor::BlankFormTable table;
  config::DeviceConfiguration configuration;
  if (read.status != FileRead::Status::Ok || !config::DecodeConfigurationFile(read.bytes, table, configuration)) {
    PrintError("Файл конфигурации некорректен... " + path);
    return 1;
  }
  for (const std::string& line : constructor::PreviewLines(configuration, *table.Form(form)))
    std::cout << Cp1251ToTerminalUtf8(line) << '\n';
  return 0;
}

const RegisterSubcommand kPreview({"preview", "Напечатать строки образца бланка из файла *.cfg.", &RunPreview});

}  // namespace
}  // namespace tarnis::ctl
