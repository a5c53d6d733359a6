#include "device_run.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <chrono>
#include <cstdio>
#include <map>
#include <thread>

#include "link/connection_options.h"
#include "connection/device_search.h"
#include "connection/port_survey.h"
#include "platform/port_names.h"

namespace tarnis::ctl {
namespace {

const QString kPorts = QStringLiteral("ports");
const QString kJson = QStringLiteral("json");
const QString kFactory = QStringLiteral("factory");
constexpr const char* kAllFound = "all-found";

struct DeviceTarget {
  std::string port;
  std::string factory_number;
  int baud = 0;  // 0: the options' speed
};

struct DeviceOutcome {
  DeviceTarget target;
  int exit_code = 0;
  int requests = 0;
  int failures = 0;
  double seconds = 0;
};

std::string Fail(const char* name, const std::string& why) {
  PrintError("tarnisctl " + std::string(name) + ": " + why);
  return {};
}

// "COM1=4242,COM2=4243" by port; one number for every port; nothing after telling what is wrong.
std::optional<std::map<std::string, std::string>> FactoryNumbers(const std::string& text, const char* name,
                                                                 std::string* common) {
  std::map<std::string, std::string> by_port;
  if (text.find('=') == std::string::npos) {
    *common = text;
    return by_port;
  }
  for (const QString& pair : QString::fromStdString(text).split(QLatin1Char(','))) {
    const qsizetype equals = pair.lastIndexOf(QLatin1Char('='));
    const std::string port = pair.left(equals).trimmed().toStdString();
    const std::string number = pair.mid(equals + 1).trimmed().toStdString();
    if (equals < 0 || !IsPortNameOrUrl(port) || !link::ParseFactoryNumber(number)) {
      Fail(name, "--factory: \"" + pair.toStdString() + "\" — не ПОРТ=НОМЕР.");
      return std::nullopt;
    }
    by_port[port] = number;
  }
  return by_port;
}

// The devices of --ports: the names given, or those the search finds.
std::optional<std::vector<DeviceTarget>> Targets(const QCommandLineParser& parser, const DeviceOptions& options,
                                                 const char* name) {
  std::string common = "1";
  const auto by_port = FactoryNumbers(options.settings.factory_number, name, &common);
  if (!by_port) return std::nullopt;
  std::vector<DeviceTarget> targets;
  const QString ports = parser.value(kPorts).trimmed();
  if (ports == QLatin1String(kAllFound)) {
    connection::SearchRequest request;
    request.ports = connection::SurveyPorts();
    request.factory_number = common;
    for (const connection::FoundDevice& found : connection::FindDevices(request)) {
      const std::string number = found.factory_number ? std::to_string(*found.factory_number) : common;
      targets.push_back({found.port, number, found.baud});
    }
    if (targets.empty()) Fail(name, "--ports all-found: устройства не найдены.");
  } else {
    for (const QString& text : ports.split(QLatin1Char(','))) {
      const std::string port = text.trimmed().toStdString();
      if (!IsPortNameOrUrl(port)) {
        Fail(name, "--ports: \"" + port + "\"" + link::kPortNameForms);
        return std::nullopt;
      }
      for (const DeviceTarget& known : targets)
        if (known.port == port) {
          Fail(name, "--ports: " + port + " назван дважды.");
          return std::nullopt;
        }
      targets.push_back({port, common, 0});
    }
  }
  for (auto& target : targets)
    if (const auto number = by_port->find(target.port); number != by_port->end()) target.factory_number = number->second;
  for (const auto& [port, number] : *by_port)
    if (std::none_of(targets.begin(), targets.end(), [&](const DeviceTarget& t) { return t.port == port; }))
      Fail(name, "--factory: " + port + " нет среди --ports, его номер не используется.");
  return targets;
}

std::string SecondsText(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", seconds);
  std::string result = text;
  if (const auto dot = result.find('.'); dot != std::string::npos) result[dot] = ',';
  return result;
}

const char* ResultWord(int exit_code) { return exit_code == 0 ? "успешно" : "ошибка"; }

// Characters, not bytes: the table is read on a terminal.
std::size_t Width(const std::string& text) {
  std::size_t width = 0;
  for (const char c : text) width += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return width;
}

void PrintTable(const std::vector<DeviceOutcome>& outcomes) {
  std::vector<std::vector<std::string>> rows = {{"Порт", "Заводской номер", "Результат", "Запросов", "Сбоев", "Время, с"}};
  for (const DeviceOutcome& o : outcomes)
    rows.push_back({o.target.port, o.target.factory_number, ResultWord(o.exit_code), std::to_string(o.requests),
                    std::to_string(o.failures), SecondsText(o.seconds)});
  std::vector<std::size_t> widths(rows.front().size(), 0);
  for (const auto& row : rows)
    for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], Width(row[i]));
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
      const std::string padding(widths[i] - Width(row[i]), ' ');
      line += i < 3 ? row[i] + padding : padding + row[i];  // words left, numbers right
      if (i + 1 < row.size()) line += "  ";
    }
    std::cout << line << '\n';
  }
}

void PrintJson(const std::vector<DeviceOutcome>& outcomes) {
  QJsonArray array;
  for (const DeviceOutcome& o : outcomes)
    array.append(QJsonObject{{"port", QString::fromStdString(o.target.port)},
                             {"factory_number", QString::fromStdString(o.target.factory_number)},
                             {"result", o.exit_code == 0 ? "ok" : "failed"},
                             {"exit_code", o.exit_code},
                             {"requests", o.requests},
                             {"failures", o.failures},
                             {"seconds", o.seconds}});
  std::cout << QJsonDocument(array).toJson(QJsonDocument::Indented).toStdString();
}

DeviceOutcome RunOne(const DeviceTarget& target, DeviceOptions options, bool keep_going, bool json,
                     const DeviceWork& work) {
  const auto started = std::chrono::steady_clock::now();
  options.settings.port_name = target.port;
  options.settings.factory_number = target.factory_number;
  if (target.baud > 0) options.settings.baud_rate = target.baud;
  const std::string tag = "[" + target.port + "] ";
  DeviceSession session(options, tag);
  ConsoleUserInterface ui(keep_going, tag, json);
  DeviceContext context{session.link(), ui, target.port, true};
  DeviceOutcome outcome{target};
  outcome.exit_code = work(context);
  outcome.requests = session.requests();
  outcome.failures = session.failures();
  outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  ui.Out(std::string("Готово: ") + ResultWord(outcome.exit_code) + "; запросов " + std::to_string(outcome.requests) +
         ", сбоев " + std::to_string(outcome.failures) + ", " + SecondsText(outcome.seconds) + " с\n");
  return outcome;
}

}  // namespace

std::string DeviceContext::PathFor(const std::string& path) const {
  std::string fit;
  for (const char c : port) fit += std::isalnum(static_cast<unsigned char>(c)) || c == '.' || c == '-' ? c : '_';
  std::string result = path;
  for (auto at = result.find("{port}"); at != std::string::npos; at = result.find("{port}", at + fit.size()))
    result.replace(at, 6, fit);
  return result;
}

void AddManyDeviceOptions(QCommandLineParser& parser) {
  parser.addOption({kPorts,
                    QStringLiteral("Работать с этими портами сразу, например COM1,COM2,tcp://box:4001, или all-found "
                                   "(сначала поиск КМ). --factory тогда принимает и пары ПОРТ=НОМЕР."),
                    QStringLiteral("имена")});
  parser.addOption({kJson, QStringLiteral("С --ports: напечатать итог в JSON в стандартный вывод.")});
}

bool ManyDevices(const QCommandLineParser& parser) { return parser.isSet(kPorts); }

ConsoleUserInterface SharedUserInterface(const QCommandLineParser& parser) {
  return ConsoleUserInterface(false, {}, parser.isSet(kJson));
}

bool FileNamePerPort(const QCommandLineParser& parser, const std::string& path, const char* name) {
  if (!ManyDevices(parser) || path.find("{port}") != std::string::npos) return true;
  Fail(name, "--file: с --ports имя файла должно содержать {port}, например x-{port}.cfg, чтобы у каждого устройства был свой файл.");
  return false;
}

std::optional<int> ParseManyDeviceSubcommand(QCommandLineParser& parser, const QStringList& arguments,
                                             const char* name, DeviceOptions& options) {
  AddDeviceOptions(parser);
  AddManyDeviceOptions(parser);
  if (const auto done = ParseSubcommandArguments(parser, arguments, name)) return *done;
  QString error;
  auto read = ReadDeviceOptions(parser, &error, parser.isSet(kPorts));
  if (read && parser.isSet(kJson) && !parser.isSet(kPorts)) error = QStringLiteral("--json задается вместе с --ports.");
  if (read && parser.isSet(kPorts) && parser.isSet(QStringLiteral("port")))
    error = QStringLiteral("--port и --ports не задаются вместе.");
  if (!read || !error.isEmpty()) {
    PrintError("tarnisctl " + std::string(name) + ": " + error.toStdString());
    return 2;
  }
  options = *read;
  return std::nullopt;
}

int RunOnDevices(const QCommandLineParser& parser, const DeviceOptions& options, const char* name, bool keep_going,
                 const DeviceWork& work) {
  if (!ManyDevices(parser)) {
    DeviceSession session(options);
    ConsoleUserInterface ui(keep_going);
    DeviceContext context{session.link(), ui, options.settings.port_name};
    return work(context);
  }
  const auto targets = Targets(parser, options, name);
  if (!targets) return 2;
  if (targets->empty()) return 1;
  const bool json = parser.isSet(kJson);
  std::vector<DeviceOutcome> outcomes(targets->size());
  {
    std::vector<std::jthread> threads;
    for (std::size_t i = 0; i < targets->size(); ++i)
      threads.emplace_back([&, i] { outcomes[i] = RunOne((*targets)[i], options, keep_going, json, work); });
  }
  if (json) PrintJson(outcomes);
  else PrintTable(outcomes);
  return std::all_of(outcomes.begin(), outcomes.end(), [](const DeviceOutcome& o) { return o.exit_code == 0; }) ? 0 : 1;
}

}  // namespace tarnis::ctl
