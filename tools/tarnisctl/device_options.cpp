#include "device_options.h"

#include <QRegularExpression>
#include <cstdio>
#include <iostream>

#include "connection/port_failure.h"
#include "link/connection_options.h"
#include "platform/port_names.h"
#include "platform/serial_port.h"

namespace tarnis::ctl {
namespace {

const QString kPort = QStringLiteral("port");
const QString kBaud = QStringLiteral("baud");
const QString kFactory = QStringLiteral("factory");
const QString kTimeouts = QStringLiteral("timeouts");
const QString kTrace = QStringLiteral("trace");
const QString kLog = QStringLiteral("log");
const QString kRetries = QStringLiteral("retries");

std::string& DefaultLogPathStorage() {
  static std::string path;
  return path;
}

std::string HexLine(std::span<const std::uint8_t> bytes) {
  std::string line;
  char hex[4];
  for (const std::uint8_t byte : bytes) {
    std::snprintf(hex, sizeof hex, " %02X", byte);
    line += hex;
  }
  return line;
}

// Puts the subcommand's name into the usage line ("Использование: tarnisctl status [параметры] ...") and
// gives the parser's own headings and help line in Russian, as the rest of the output.
QString SubcommandHelp(const QCommandLineParser& parser, const char* name) {
  QString help = parser.helpText();
  const int line_end = help.indexOf(QLatin1Char('\n'));
  QString usage = help.left(line_end);
  const int options = usage.indexOf(QLatin1String("[options]"));
  const QString rest = options >= 0 ? usage.mid(options) : QString();
  help = QStringLiteral("Использование: tarnisctl %1 %2").arg(QLatin1String(name), rest) + help.mid(line_end);
  static const std::pair<QLatin1String, QString> kHeadings[] = {
      {QLatin1String("[options]"), QStringLiteral("[параметры]")},
      {QLatin1String("\nOptions:\n"), QStringLiteral("\nПараметры:\n")},
      {QLatin1String("\nArguments:\n"), QStringLiteral("\nАргументы:\n")},
      {QLatin1String("Displays help on commandline options."), QStringLiteral("Показывает эту справку.")},
      {QLatin1String("Displays help including Qt specific options."),
       QStringLiteral("Показывает справку вместе с параметрами Qt.")},
  };
  for (const auto& [english, russian] : kHeadings) help.replace(english, russian);
  return help;
}

}  // namespace

void PrintError(const std::string& text) { std::cerr << text << '\n'; }

QString ParserErrorInRussian(const QString& error) {
  static const std::pair<QRegularExpression, QString> kErrors[] = {
      {QRegularExpression(QStringLiteral("^Unknown option '(.*)'\\.$")), QStringLiteral("неизвестный параметр \"\\1\".")},
      {QRegularExpression(QStringLiteral("^Unknown options: (.*)\\.$")), QStringLiteral("неизвестные параметры: \\1.")},
      {QRegularExpression(QStringLiteral("^Missing value after '(.*)'\\.$")), QStringLiteral("нет значения после \"\\1\".")},
      {QRegularExpression(QStringLiteral("^Unexpected value after '(.*)'\\.$")),
       QStringLiteral("лишнее значение после \"\\1\".")},
  };
  for (const auto& [pattern, russian] : kErrors) {
    const QRegularExpressionMatch match = pattern.match(error);
    if (match.hasMatch()) return QString(russian).replace(QLatin1String("\\1"), match.captured(1));
  }
  return error;  // a fault the parser gained later: its own words rather than none
}

void SetDefaultLogPath(std::string path) { DefaultLogPathStorage() = std::move(path); }

const std::string& DefaultLogPath() { return DefaultLogPathStorage(); }

void AddDeviceOptions(QCommandLineParser& parser) {
  parser.addOption({kPort, QStringLiteral("Порт COM1..COM100, через каталог портов, или сетевой порт tcp://УЗЕЛ:ПОРТ "
                                          "или rfc2217://УЗЕЛ:ПОРТ (по умолчанию COM1)."),
                    QStringLiteral("имя"), QStringLiteral("COM1")});
  parser.addOption({kBaud, QStringLiteral("Скорость: 2400, 4800, 9600, 19200, 38400, 57600 или 115200 (по умолчанию 115200)."),
                    QStringLiteral("скорость"), QString::number(link::kDefaultBaudRate)});
  parser.addOption({kFactory, QStringLiteral("Заводской номер КМ (по умолчанию 1)."), QStringLiteral("номер"),
                    QStringLiteral("1")});
  parser.addOption({kTimeouts, QStringLiteral("Межбайтовый и общий тайм-ауты чтения в мс (по умолчанию 250,2500)."),
                    QStringLiteral("между,всего"),
                    QStringLiteral("%1,%2").arg(link::kDefaultInterByteTimeoutMs).arg(link::kDefaultTotalTimeoutMs)});
  parser.addOption({kTrace, QStringLiteral("Печатать каждый кадр в hex в стандартный поток ошибок.")});
  parser.addOption({kRetries, QStringLiteral("Повторять запрос до N раз (0..5, по умолчанию 0) после отсутствия ответа "
                                             "или искажённого ответа; ошибку аппарата и ИНН — никогда."),
                    QStringLiteral("N"), QStringLiteral("0")});
  parser.addOption({kLog, QStringLiteral("Дописывать каждый обмен, словами и в hex, в этот файл."),
                    QStringLiteral("файл")});
}

std::optional<DeviceOptions> ReadDeviceOptions(const QCommandLineParser& parser, QString* error,
                                               bool factory_per_port) {
  DeviceOptions options;
  link::ConnectionOptionTexts texts{parser.value(kPort).toStdString(), parser.value(kBaud).toStdString(),
                                    parser.value(kFactory).toStdString(), parser.value(kTimeouts).toStdString(),
                                    factory_per_port};
  std::string reason;
  const auto settings = link::ParseConnectionOptions(texts, &reason);
  if (!settings) {
    *error = QString::fromStdString(reason);
    return std::nullopt;
  }
  options.settings = *settings;
  bool number = false;
  const int retries = parser.value(kRetries).toInt(&number);
  if (!number || retries < 0 || retries > link::kMaxRetries) {
    *error = QStringLiteral("--retries: \"%1\" — не число от 0 до 5.").arg(parser.value(kRetries));
    return std::nullopt;
  }
  options.settings.retries = retries;
  options.trace = parser.isSet(kTrace);
  options.log_path = parser.isSet(kLog) ? parser.value(kLog).toStdString() : DefaultLogPath();
  if (!options.log_path.empty()) {
    link::ExchangeLogFile probe;
    std::string reason;
    if (!probe.Open(options.log_path, &reason)) {
      *error = QStringLiteral("--log: ") + QString::fromStdString(reason);
      return std::nullopt;
    }
  }
  return options;
}

std::optional<int> ParseSubcommandArguments(QCommandLineParser& parser, const QStringList& arguments,
                                            const char* name) {
  const QCommandLineOption help = parser.addHelpOption();
  if (!parser.parse(arguments)) {
    PrintError("tarnisctl " + std::string(name) + ": " + ParserErrorInRussian(parser.errorText()).toStdString());
    return 2;
  }
  if (parser.isSet(help)) {
    std::cout << SubcommandHelp(parser, name).toStdString();
    return 0;
  }
  return std::nullopt;
}

std::optional<int> ParseDeviceSubcommand(QCommandLineParser& parser, const QStringList& arguments,
                                         const char* name, DeviceOptions& options) {
  AddDeviceOptions(parser);
  if (const auto done = ParseSubcommandArguments(parser, arguments, name)) return done;
  QString error;
  const auto read = ReadDeviceOptions(parser, &error);
  if (!read) {
    PrintError("tarnisctl " + std::string(name) + ": " + error.toStdString());
    return 2;
  }
  options = *read;
  return std::nullopt;
}

DeviceSession::DeviceSession(const DeviceOptions& options, std::string tag) {
  link_.settings() = options.settings;
  connection::ExplainPortFailures(link_);
  if (!options.log_path.empty() && log_file_.Open(options.log_path, nullptr))
    log_.SetListener([this](const link::ExchangeRecord& record) { log_file_.Append(record); });
  link_.SetTraceObserver([this, trace = options.trace, tag = std::move(tag)](link::TraceDirection direction,
                                                                             std::span<const std::uint8_t> bytes) {
    constexpr std::size_t kCommandOffset = 6;
    if (direction == link::TraceDirection::Sent) {
      ++requests_;
      last_command_ = bytes.size() > kCommandOffset ? bytes[kCommandOffset] : 0;
    } else if (!link::ValidateAnswer(static_cast<link::Command>(last_command_), {bytes.begin(), bytes.end()})
                    .status.ok()) {
      ++failures_;
    }
    if (trace && !bytes.empty())  // an empty Received: nothing arrived
      std::cerr << tag + (direction == link::TraceDirection::Sent ? ">" : "<") + HexLine(bytes) + "\n" << std::flush;
    if (log_file_.is_open()) log_.Observe(link_.settings(), direction, bytes, link_.last_transport(), link_.retry());
  });
  if (log_file_.is_open())
    link_.SetNoteObserver([this](const std::string& text) { log_.AddNote(link_.settings(), text); });
}

}  // namespace tarnis::ctl
