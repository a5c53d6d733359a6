// tarnisctl: the device link from the command line, one subcommand per task.
#include <QCoreApplication>
#include <iostream>
#include <string>

#include "platform/program_version.h"
#include "device_options.h"
#include "subcommand.h"

namespace {

void PrintUsage(std::ostream& out) {
  out << "Использование: tarnisctl <подкоманда> [параметры]\n"
         "               tarnisctl --log ФАЙЛ <подкоманда> [параметры]   (каждый обмен дописывается в ФАЙЛ)\n"
         "Работает с ОРМИЗ КМ-07 через последовательный порт. \"tarnisctl <подкоманда> --help\" расскажет больше.\n\n"
         "Подкоманды:\n";
  for (const auto& subcommand : tarnis::ctl::Subcommands()) {
    const std::string name = subcommand.name;
    out << "  " << name << std::string(name.size() < 14 ? 14 - name.size() : 1, ' ') << subcommand.summary << '\n';
  }
  out << "\n\"tarnisctl --version\" печатает версию.\n";
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication application(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("tarnisctl"));
  QStringList arguments = QCoreApplication::arguments();
  // "--log FILE" ahead of the subcommand applies to whatever device subcommand follows.
  if (arguments.size() >= 3 && arguments[1] == QLatin1String("--log")) {
    tarnis::ctl::SetDefaultLogPath(arguments[2].toStdString());
    arguments.remove(1, 2);
  }
  if (arguments.size() < 2) {
    PrintUsage(std::cerr);
    return 2;
  }
  const QString& name = arguments[1];
  if (name == QLatin1String("--help") || name == QLatin1String("-h") || name == QLatin1String("help")) {
    PrintUsage(std::cout);
    return 0;
  }
  if (name == QLatin1String("--version")) {
    std::cout << "tarnisctl " << tarnis::kProgramVersion << '\n';
    return 0;
  }
  const tarnis::ctl::Subcommand* subcommand = tarnis::ctl::FindSubcommand(name);
  if (!subcommand) {
    std::cerr << "tarnisctl: неизвестная подкоманда \"" << name.toStdString() << "\".\n";
    PrintUsage(std::cerr);
    return 2;
  }
  return subcommand->run(tarnis::ctl::ArgumentsAfterWord(arguments));
}
