#include "device_options.h"

#include <cstdio>
#include <iostream>

#include "connection/port_failure.h"
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

// Puts the subcommand's name into the usage line: "Usage: tarnisctl status [options] ...".
QString SubcommandHelp(const QCommandLineParser& parser, const char* name) {
  QString help = parser.helpText();
  const int line_end = help.indexOf(QLatin1Char('\n'));
  QString usage = help.left(line_end);
  const int options = usage.indexOf(QLatin1String("[options]"));
  const QString rest = options >= 0 ? usage.mid(options) : QString();
  return QStringLiteral("Usage: tarnisctl %1 %2").arg(QLatin1String(name), rest) + help.mid(line_end);
}

}  // namespace

void PrintError(const std::string& text) { std::cerr << text << '\n'; }

void SetDefaultLogPath(std::string path) { DefaultLogPathStorage() = std::move(path); }

const std::string& DefaultLogPath() { return DefaultLogPathStorage(); }

void AddDeviceOptions(QCommandLineParser& parser) {
  parser.addOption({kPort, QStringLiteral("Port COM1..COM100, resolved through the ports directory (default COM1)."),
                    QStringLiteral("name"), QStringLiteral("COM1")});
  parser.addOption({kBaud, QStringLiteral("Speed: 2400, 4800, 9600, 19200, 38400, 57600 or 115200 (default 115200)."),
                    QStringLiteral("baud"), QString::number(link::kDefaultBaudRate)});
  parser.addOption({kFactory, QStringLiteral("Factory number of the device (default 1)."), QStringLiteral("number"),
                    QStringLiteral("1")});
  parser.addOption({kTimeouts, QStringLiteral("Inter-byte and total read time-outs in ms (default 250,2500)."),
                    QStringLiteral("gap,total"),
                    QStringLiteral("%1,%2").arg(link::kDefaultInterByteTimeoutMs).arg(link::kDefaultTotalTimeoutMs)});
  parser.addOption({kTrace, QStringLiteral("Print every frame in hex on standard error.")});
  parser.addOption({kRetries, QStringLiteral("Send a request again up to N times (0..5, default 0) after no answer or a "
                                             "garbled one; never a device error, never the INN."),
                    QStringLiteral("N"), QStringLiteral("0")});
  parser.addOption({kLog, QStringLiteral("Append every exchange, in words and hex, to this file."),
                    QStringLiteral("file")});
}

std::optional<DeviceOptions> ReadDeviceOptions(const QCommandLineParser& parser, QString* error) {
  DeviceOptions options;
  auto& settings = options.settings;
  const QString port = parser.value(kPort);
  if (!PortNumber(port.toStdString())) {
    *error = QStringLiteral("--port: \"%1\" is not a port name COM1..COM100.").arg(port);
    return std::nullopt;
  }
  settings.port_name = port.toStdString();
  bool number = false;
  settings.baud_rate = parser.value(kBaud).toInt(&number);
  if (!number || !IsSupportedBaudRate(settings.baud_rate)) {
    *error = QStringLiteral("--baud: \"%1\" is not one of 2400, 4800, 9600, 19200, 38400, 57600, 115200.")
                 .arg(parser.value(kBaud));
    return std::nullopt;
  }
  settings.factory_number = parser.value(kFactory).toStdString();
  if (!link::ParseFactoryNumber(settings.factory_number)) {
    *error = QStringLiteral("--factory: ") + QString::fromUtf8(link::kBadFactoryNumberMessage);
    return std::nullopt;
  }
  const QStringList timeouts = parser.value(kTimeouts).split(QLatin1Char(','));
  const auto gap = timeouts.size() == 2 ? link::ParseInterByteTimeoutMs(timeouts[0].toStdString()) : std::nullopt;
  const auto total = timeouts.size() == 2 ? link::ParseTimeoutMs(timeouts[1].toStdString()) : std::nullopt;
  if (!gap || !total) {
    *error = QStringLiteral("--timeouts: \"%1\" is not two time-outs in ms, the gap 0..600000 (0: no limit) and the total 1..600000, as in 250,2500.")
                 .arg(parser.value(kTimeouts));
    return std::nullopt;
  }
  const int retries = parser.value(kRetries).toInt(&number);
  if (!number || retries < 0 || retries > link::kMaxRetries) {
    *error = QStringLiteral("--retries: \"%1\" is not a number from 0 to 5.").arg(parser.value(kRetries));
    return std::nullopt;
  }
  settings.retries = retries;
  settings.inter_byte_timeout_ms = *gap;
  settings.total_timeout_ms = *total;
  settings.settings_applied = true;
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
    PrintError("tarnisctl " + std::string(name) + ": " + parser.errorText().toStdString());
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

DeviceSession::DeviceSession(const DeviceOptions& options) {
  link_.settings() = options.settings;
  connection::ExplainPortFailures(link_);
  if (!options.log_path.empty() && log_file_.Open(options.log_path, nullptr))
    log_.SetListener([this](const link::ExchangeRecord& record) { log_file_.Append(record); });
  if (!options.trace && !log_file_.is_open()) return;
  link_.SetTraceObserver([this, trace = options.trace](link::TraceDirection direction,
                                                       std::span<const std::uint8_t> bytes) {
    if (trace && !bytes.empty())  // an empty Received: nothing arrived
      std::cerr << (direction == link::TraceDirection::Sent ? ">" : "<") << HexLine(bytes) << std::endl;
    if (log_file_.is_open()) log_.Observe(link_.settings(), direction, bytes, link_.last_transport(), link_.retry());
  });
  if (log_file_.is_open())
    link_.SetNoteObserver([this](const std::string& text) { log_.AddNote(link_.settings(), text); });
}

}  // namespace tarnis::ctl
