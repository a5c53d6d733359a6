// tarnisctl ports: what is on each port; tarnisctl find: which ports the device answers on.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <iostream>

#include "connection/device_search.h"
#include "connection/port_survey.h"
#include "device_options.h"
#include "link/exchange_log_file.h"
#include "link/link_settings.h"
#include "platform/cp1251_codec.h"
#include "platform/port_names.h"
#include "subcommand.h"

namespace tarnis::ctl {
namespace {

using connection::PortReport;
using connection::PortState;

const QString kJson = QStringLiteral("json");

QJsonValue TextOrNull(const std::string& text) {
  return text.empty() ? QJsonValue() : QJsonValue(QString::fromStdString(text));
}

QJsonObject PortJson(const PortReport& port) {
  QJsonArray openers;
  for (const connection::ProcessInfo& opener : port.openers)
    openers.append(QJsonObject{{"pid", opener.pid}, {"command", TextOrNull(opener.command)}});
  return QJsonObject{
      {"name", QString::fromStdString(port.name)},
      {"device", TextOrNull(port.device)},
      {"state", QString::fromLatin1(connection::PortStateName(port.state))},
      {"holder_pid", port.holder ? QJsonValue(port.holder->pid) : QJsonValue()},
      {"holder_command", port.holder ? TextOrNull(port.holder->command) : QJsonValue()},
      {"openers", openers},
      {"description", TextOrNull(port.description)},
      {"by_id", TextOrNull(port.by_id)},
      {"group", TextOrNull(port.group)},
  };
}

std::string ProcessText(const connection::ProcessInfo& process) {
  return (process.command.empty() ? std::string("?") : process.command) + " (PID " + std::to_string(process.pid) + ")";
}

// Process names, USB strings and device names are anyone's to choose: none may drive the terminal.
void PrintPort(const PortReport& port) {
  std::string text = port.name + '\t' + (port.device.empty() ? "-" : TerminalSafeUtf8(port.device)) + '\t' +
                     connection::PortStateName(port.state);
  if (!port.description.empty()) text += '\t' + TerminalSafeUtf8(port.description);
  text += '\n';
  if (!port.by_id.empty()) text += "  " + TerminalSafeUtf8(port.by_id) + '\n';
  if (!port.openers.empty()) {
    text += "  open in:";
    for (const auto& opener : port.openers) text += ' ' + TerminalSafeUtf8(ProcessText(opener));
    text += '\n';
  }
  if (const std::string reason = connection::FailureReason(port); !reason.empty() && port.device.size())
    text += "  " + TerminalSafeUtf8(reason) + '\n';
  std::cout << text;
}

// Neither subcommand takes arguments besides its options: exit code 2 for one.
std::optional<int> RefuseArguments(const QCommandLineParser& parser, const char* name) {
  if (parser.positionalArguments().isEmpty()) return std::nullopt;
  PrintError("tarnisctl " + std::string(name) + ": unexpected argument \"" +
             parser.positionalArguments().first().toStdString() + "\".");
  return 2;
}

void PrintJson(const QJsonArray& array) {
  std::cout << QJsonDocument(array).toJson(QJsonDocument::Indented).toStdString();
}

int RunPorts(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Shows what each port name stands for and its state (free, busy, no-access, missing) without opening any "
      "port. Names that stand for nothing present are left out unless --all is given."));
  parser.addOption({kJson, QStringLiteral("Print a JSON array of every name, missing ones included.")});
  parser.addOption({QStringLiteral("all"), QStringLiteral("List missing names too.")});
  if (const auto done = ParseSubcommandArguments(parser, arguments, "ports")) return *done;
  if (const auto refused = RefuseArguments(parser, "ports")) return *refused;
  const auto survey = connection::SurveyPorts();
  if (parser.isSet(kJson)) {
    QJsonArray array;
    for (const PortReport& port : survey) array.append(PortJson(port));
    PrintJson(array);
    return 0;
  }
  for (const PortReport& port : survey)
    if (port.state != PortState::Missing || parser.isSet(QStringLiteral("all"))) PrintPort(port);
  return 0;
}

int RunFind(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Looks for the device: a status request on every free port at 115200, 9600, 57600, 38400, 19200, 4800 and "
      "2400 baud. Busy ports get nothing. Exit code 0 when a device answered, 1 when none did."));
  parser.addOption({kJson, QStringLiteral("Print a JSON array of {port, baud, factory_number, factory_number_matched}; "
                                          "a device that refused the factory number has null and false.")});
  parser.addOption({QStringLiteral("log"), QStringLiteral("Append every try, in words and hex, to this file."),
                    QStringLiteral("file")});
  parser.addOption({QStringLiteral("ports"), QStringLiteral("Try only these names, e.g. COM1,COM9."),
                    QStringLiteral("names")});
  parser.addOption({QStringLiteral("factory"), QStringLiteral("Factory number sent in the request (default 1)."),
                    QStringLiteral("number"), QStringLiteral("1")});
  if (const auto done = ParseSubcommandArguments(parser, arguments, "find")) return *done;
  if (const auto refused = RefuseArguments(parser, "find")) return *refused;
  connection::SearchRequest request;
  request.factory_number = parser.value(QStringLiteral("factory")).toStdString();
  if (!link::ParseFactoryNumber(request.factory_number)) {
    PrintError(std::string("tarnisctl find: --factory: ") + link::kBadFactoryNumberMessage);
    return 2;
  }
  if (parser.isSet(QStringLiteral("ports"))) {
    std::vector<std::string> names;
    for (const QString& name : parser.value(QStringLiteral("ports")).split(QLatin1Char(','))) {
      if (!PortNumber(name.trimmed().toStdString())) {
        PrintError("tarnisctl find: --ports: \"" + name.toStdString() + "\" is not a port name COM1..COM100.");
        return 2;
      }
      names.push_back(name.trimmed().toStdString());
    }
    request.ports = connection::SurveyNames(names);
  } else {
    request.ports = connection::SurveyPorts();
  }
  const std::string log_path = parser.isSet(QStringLiteral("log")) ? parser.value(QStringLiteral("log")).toStdString()
                                                                     : DefaultLogPath();
  link::ExchangeLog log{1};  // the file gets every try; the ring keeps only the last
  link::ExchangeLogFile log_file;
  if (!log_path.empty()) {
    std::string reason;
    if (!log_file.Open(log_path, &reason)) {
      PrintError("tarnisctl find: --log: " + reason);
      return 2;
    }
    log.SetListener([&log_file](const link::ExchangeRecord& record) { log_file.Append(record); });
    request.log = &log;
  }
  const auto found = connection::FindDevices(request);
  if (parser.isSet(kJson)) {
    QJsonArray array;
    for (const auto& device : found)
      array.append(QJsonObject{{"port", QString::fromStdString(device.port)},
                               {"baud", device.baud},
                               {"factory_number", device.factory_number
                                                      ? QJsonValue(static_cast<qint64>(*device.factory_number))
                                                      : QJsonValue()},
                               {"factory_number_matched", device.factory_number_matched}});
    PrintJson(array);
  } else {
    for (const auto& device : found)
      std::cout << device.port << '\t' << device.baud << '\t'
                << (device.factory_number ? std::to_string(*device.factory_number) : std::string("-")) << '\n';
  }
  if (found.empty()) {
    const auto tried = std::count_if(request.ports.begin(), request.ports.end(),
                                     [](const PortReport& port) { return port.state == PortState::Free; });
    PrintError("tarnisctl find: no device answered on " + std::to_string(tried) + " free port(s).");
    return 1;
  }
  return 0;
}

const RegisterSubcommand kPorts({"ports", "Show what is on each port name, without opening any.", &RunPorts});
const RegisterSubcommand kFind({"find", "Look for the device across the free ports and all speeds.", &RunFind});

}  // namespace
}  // namespace tarnis::ctl
