// tarnisctl ports: what is on each port; tarnisctl find: which ports the device answers on.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <iostream>

#include "connection/device_search.h"
#include "connection/port_survey.h"
#include "console_user_interface.h"
#include "device_options.h"
#include "link/connection_options.h"
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
                     connection::StateWord(port.state);
  if (!port.description.empty()) text += '\t' + TerminalSafeUtf8(port.description);
  text += '\n';
  if (!port.by_id.empty()) text += "  " + TerminalSafeUtf8(port.by_id) + '\n';
  if (!port.openers.empty()) {
    text += "  открыт в:";
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
  PrintError("tarnisctl " + std::string(name) + ": лишний аргумент \"" +
             parser.positionalArguments().first().toStdString() + "\".");
  return 2;
}

void PrintJson(const QJsonArray& array) {
  std::cout << QJsonDocument(array).toJson(QJsonDocument::Indented).toStdString();
}

int RunPorts(const QStringList& arguments) {
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Показывает, что стоит за каждым именем порта, и его состояние (свободен, занят, нет доступа, нет устройства), "
      "не открывая портов; для сетевого порта — его URL и состояние (доступен, отклонено, нет ответа, недоступен) "
      "по соединению, через которое ничего не посылается. Имена без устройства не печатаются, если не задан --all."));
  parser.addOption({kJson, QStringLiteral("Напечатать массив JSON со всеми именами, включая отсутствующие.")});
  parser.addOption({QStringLiteral("all"), QStringLiteral("Печатать и отсутствующие имена.")});
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
      "Ищет КМ: запрос состояния на каждом свободном порту на скоростях 115200, 9600, 57600, 38400, 19200, 4800 и "
      "2400 бод (и на портах rfc2217://; порт tcp:// — один раз, на скорости дальнего конца, скорость 0). "
      "Занятые порты не трогаются. Код выхода 0, если аппарат ответил, 1, если нет."));
  parser.addOption({kJson, QStringLiteral("Напечатать массив JSON из {port, baud, factory_number, factory_number_matched}; "
                                          "у аппарата, отвергшего заводской номер, null и false.")});
  parser.addOption({QStringLiteral("log"), QStringLiteral("Дописывать каждую попытку, словами и в hex, в этот файл."),
                    QStringLiteral("файл")});
  parser.addOption({QStringLiteral("ports"), QStringLiteral("Пробовать только эти имена, например COM1,COM9."),
                    QStringLiteral("имена")});
  parser.addOption({QStringLiteral("factory"), QStringLiteral("Заводской номер в запросе (по умолчанию 1)."),
                    QStringLiteral("номер"), QStringLiteral("1")});
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
      if (!IsPortNameOrUrl(name.trimmed().toStdString())) {
        PrintError("tarnisctl find: --ports: \"" + name.toStdString() + "\"" + link::kPortNameForms);
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
  // The tries as requests on a self-updating line, when a person watches standard error.
  ConsoleUserInterface progress(false, {}, false, StandardErrorIsTerminal() && !parser.isSet(kJson));
  progress.ProgressStart();
  connection::SearchCallbacks callbacks;
  callbacks.progress = [&progress](int done, int total) { progress.ProgressStep(done, total); };
  const auto found = connection::FindDevices(request, callbacks);
  progress.ProgressEnd();
  if (parser.isSet(kJson)) {
    QJsonArray array;
    for (const auto& device : found)
      array.append(QJsonObject{{"port", QString::fromStdString(device.port)},
                               {"baud", device.baud > 0 ? QJsonValue(device.baud) : QJsonValue()},
                               {"factory_number", device.factory_number
                                                      ? QJsonValue(static_cast<qint64>(*device.factory_number))
                                                      : QJsonValue()},
                               {"factory_number_matched", device.factory_number_matched}});
    PrintJson(array);
  } else {
    for (const auto& device : found)
      std::cout << device.port << '\t' << (device.baud > 0 ? std::to_string(device.baud) : std::string("-")) << '\t'
                << (device.factory_number ? std::to_string(*device.factory_number) : std::string("-")) << '\n';
  }
  if (found.empty()) {
    const auto tried = std::count_if(request.ports.begin(), request.ports.end(),
                                     [](const PortReport& port) { return connection::Usable(port.state); });
    PrintError("tarnisctl find: ни один аппарат не ответил; свободных портов опрошено: " + std::to_string(tried) + ".");
    return 1;
  }
  return 0;
}

const RegisterSubcommand kPorts({"ports", "Показать, что на каждом имени порта, не открывая портов.", &RunPorts});
const RegisterSubcommand kFind({"find", "Искать КМ на свободных портах на всех скоростях.", &RunFind});

}  // namespace
}  // namespace tarnis::ctl
