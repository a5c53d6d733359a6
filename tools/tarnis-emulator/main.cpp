// tarnis-emulator: an ОРМИЗ КМ-07 on a pseudo-terminal, registered as a COM port, until
// SIGINT or SIGTERM.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <csignal>
#include <ctime>
#include <iostream>
#include <type_traits>

#include "emulator/device_state_file.h"
#include "emulator/fault_options.h"
#include "emulator/pty_server.h"
#include "platform/port_names.h"
#include "platform/program_version.h"
#include "platform/serial_port.h"

namespace {

using tarnis::emulator::Km07Device;

struct Options {
  std::string port = "COM1";
  std::string state_file;
  std::optional<std::uint32_t> factory_number;
  std::optional<std::uint32_t> password;
  tarnis::emulator::Faults faults;
  std::vector<std::pair<std::uint8_t, std::uint8_t>> disabled;
  std::vector<int> locked_cliches;
  std::optional<double> fault_rate;
  std::uint64_t seed = 1;
};

// Fills options from the command line; false with a message for the first bad value.
bool ReadOptions(const QCommandLineParser& parser, Options& options, std::string& error) {
  using tarnis::emulator::ParseNumber;
  // Sets target from the option when it is given; false with a message when its value is bad.
  const auto take = [&](const char* name, std::uint64_t limit, auto& target) {
    if (!parser.isSet(QLatin1String(name))) return true;
    const QString text = parser.value(QLatin1String(name));
    const auto value = ParseNumber(text.toStdString(), limit);
    if (!value) {
      error = std::string("--") + name + ": \"" + text.toStdString() + "\" is not a number from 0 to " +
              std::to_string(limit) + ".";
      return false;
    }
    using Target = std::remove_reference_t<decltype(target)>;
    if constexpr (std::is_arithmetic_v<Target>) target = static_cast<Target>(*value);
    else target = static_cast<typename Target::value_type>(*value);
    return true;
  };
  options.port = parser.value(QStringLiteral("port")).toStdString();
  if (!tarnis::PortNumber(options.port)) {
    error = "--port: \"" + options.port + "\" is not a port name COM1..COM100.";
    return false;
  }
  options.state_file = parser.value(QStringLiteral("state")).toStdString();
  auto& faults = options.faults;
  faults.silent = parser.isSet(QStringLiteral("silent"));
  if (!take("factory", 0xFFFFFFFF, options.factory_number) || !take("password", 0xFFFFFFFF, options.password) ||
      !take("baud", 4'000'000, faults.baud_rate) || !take("cut-after", 128, faults.cut_after) ||
      !take("length-byte", 255, faults.length_byte) || !take("answer-code", 255, faults.answer_code))
    return false;
  if (parser.isSet(QStringLiteral("line-speed"))) {
    const QString text = parser.value(QStringLiteral("line-speed"));
    const auto speed = ParseNumber(text.toStdString(), 4'000'000);
    if (!speed || !tarnis::IsSupportedBaudRate(static_cast<int>(*speed))) {
      error = "--line-speed: \"" + text.toStdString() + "\" is not one of 2400, 4800, 9600, 19200, 38400, 57600, 115200.";
      return false;
    }
    faults.line_speed = static_cast<int>(*speed);
  }
  if (!take("seed", UINT64_MAX, options.seed)) return false;
  if (parser.isSet(QStringLiteral("fault-rate"))) {
    const QString text = parser.value(QStringLiteral("fault-rate"));
    options.fault_rate = tarnis::emulator::ParseProbability(text.toStdString());
    if (!options.fault_rate) {
      error = "--fault-rate: \"" + text.toStdString() + "\" is not a probability from 0 to 1 (e.g. 0.05).";
      return false;
    }
  }
  for (const QString& option : parser.values(QStringLiteral("error"))) {
    const auto forced = tarnis::emulator::ParseForcedError(option.toStdString());
    if (!forced) {
      error = "--error: \"" + option.toStdString() + "\" is not <command>[:<address>]=<code>.";
      return false;
    }
    faults.forced_errors.push_back(*forced);
  }
  for (const QString& option : parser.values(QStringLiteral("disable"))) {
    const auto item = tarnis::emulator::ParseItemAddress(option.toStdString());
    if (!item) {
      error = "--disable: \"" + option.toStdString() + "\" is not <table>.<row> of the parameter map.";
      return false;
    }
    options.disabled.push_back(*item);
  }
  for (const QString& option : parser.values(QStringLiteral("lock-cliche"))) {
    const auto cliche = ParseNumber(option.toStdString(), 2);
    if (!cliche || *cliche == 0) {
      error = "--lock-cliche: \"" + option.toStdString() + "\" is not 1 or 2.";
      return false;
    }
    options.locked_cliches.push_back(static_cast<int>(*cliche));
  }
  return true;
}

void AddOptions(QCommandLineParser& parser) {
  parser.setApplicationDescription(QStringLiteral(
      "Emulates an ОРМИЗ КМ-07 on a pseudo-terminal registered in the ports directory\n"
      "($TARNIS_PORTS_DIR, default ~/.config/tarnis/ports) until SIGINT or SIGTERM.\n"
      "Forced errors: parameter[:table[.row[.field]]]=code, blank[:number]=code,\n"
      "goods[:record]=code, inn=code, status=code (for example goods:5=59)."));
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addOptions({
      {QStringLiteral("port"), QStringLiteral("COM name to register (default COM1)."), QStringLiteral("name"), QStringLiteral("COM1")},
      {QStringLiteral("factory"), QStringLiteral("Factory number of the device (default 1; 0: not set)."), QStringLiteral("number")},
      {QStringLiteral("password"), QStringLiteral("INN password the device expects (0: any)."), QStringLiteral("number")},
      {QStringLiteral("baud"), QStringLiteral("Pace answers like a line of this speed (10 bits a byte)."),
       QStringLiteral("baud")},
      {QStringLiteral("line-speed"),
       QStringLiteral("Answer only a client set to this speed; stay silent at any other."), QStringLiteral("baud")},
      {QStringLiteral("state"), QStringLiteral("Keep the device memory in this file between runs."),
       QStringLiteral("file")},
      {QStringLiteral("silent"), QStringLiteral("Answer nothing.")},
      {QStringLiteral("cut-after"), QStringLiteral("Send only the first N bytes of every answer."), QStringLiteral("N")},
      {QStringLiteral("length-byte"), QStringLiteral("Put this value in every answer's length byte."),
       QStringLiteral("N")},
      {QStringLiteral("answer-code"), QStringLiteral("Put this value in every answer's code byte."),
       QStringLiteral("N")},
      {QStringLiteral("error"), QStringLiteral("Answer a device error (repeatable)."), QStringLiteral("option")},
      {QStringLiteral("disable"), QStringLiteral("Refuse writes to item table.row (repeatable), e.g. 0.5."),
       QStringLiteral("item")},
      {QStringLiteral("lock-cliche"), QStringLiteral("Refuse cliché 1 or 2 with error 51 (repeatable)."),
       QStringLiteral("number")},
      {QStringLiteral("fault-rate"),
       QStringLiteral("Before each answer, with probability P, inject one random line fault: silence, a cut "
                      "answer, a wrong start, length or code byte, a device error or a pause of over 100 ms."),
       QStringLiteral("P")},
      {QStringLiteral("seed"), QStringLiteral("Seed of the random faults (default 1): same seed, same faults."),
       QStringLiteral("S")},
  });
}

bool SaveState(tarnis::emulator::PtyServer& server, const std::string& path, std::string& last_saved) {
  const auto text = server.WithDevice([](Km07Device& device) { return tarnis::emulator::SaveDeviceState(device.state()); });
  if (text == last_saved) return true;
  std::string error;
  const bool saved = server.WithDevice([&](Km07Device& device) {
    return tarnis::emulator::WriteDeviceStateFile(path, device.state(), &error);
  });
  if (!saved) {
    std::cerr << "tarnis-emulator: " << error << '\n';
    return false;
  }
  last_saved = text;
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication application(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("tarnis-emulator"));
  QCoreApplication::setApplicationVersion(QString::fromLatin1(tarnis::kProgramVersion));
  QCommandLineParser parser;
  AddOptions(parser);
  parser.process(application);
  if (!parser.positionalArguments().isEmpty()) {
    std::cerr << "tarnis-emulator: unexpected argument \"" << parser.positionalArguments().first().toStdString() << "\".\n";
    return 2;
  }
  Options options;
  std::string error;
  if (!ReadOptions(parser, options, error)) {
    std::cerr << "tarnis-emulator: " << error << '\n';
    return 2;
  }

  Km07Device device;
  std::string last_saved;
  if (!options.state_file.empty()) {
    bool exists = false;
    if (!tarnis::emulator::ReadDeviceStateFile(options.state_file, device.state(), &exists, &error)) {
      // The file is left as it is: it may hold what someone wants to keep.
      std::cerr << "tarnis-emulator: " << error << '\n';
      return 1;
    }
    if (exists) last_saved = tarnis::emulator::SaveDeviceState(device.state());
  }
  auto& state = device.state();
  if (options.factory_number) state.factory_number = *options.factory_number;
  if (options.password) state.password = *options.password;
  for (const auto& [table, row] : options.disabled) state.enabled[table][row - 1] = 0;
  for (const int cliche : options.locked_cliches) state.cliche_locked[cliche - 1] = true;
  device.faults() = options.faults;
  if (options.fault_rate) device.InjectLineFaults(*options.fault_rate, options.seed);

  // Signals are taken synchronously below, so they must not reach the server's thread.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);

  tarnis::emulator::PtyServer server(std::move(device));
  if (!server.Start(options.port, &error)) {
    std::cerr << "tarnis-emulator: " << error << '\n';
    return 1;
  }
  std::cout << "tarnis-emulator: " << options.port << " is " << server.slave_path() << " (ports directory "
            << tarnis::PortsDirectory() << ")" << std::endl;

  int status = 0;
  const timespec tick{1, 0};
  while (true) {
    const int received = sigtimedwait(&stop_signals, nullptr, &tick);
    if (received == SIGINT || received == SIGTERM) break;
    if (!options.state_file.empty() && !SaveState(server, options.state_file, last_saved)) status = 1;
  }
  server.Stop();
  if (!options.state_file.empty() && !SaveState(server, options.state_file, last_saved)) status = 1;
  server.WithDevice([](const Km07Device& device) {
    if (device.line_faults()) std::cout << "tarnis-emulator: " << device.line_faults()->Summary() << std::endl;
  });
  return status;
}
