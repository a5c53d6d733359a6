#pragma once
// The options every device subcommand shares, parsed and checked in one place:
//   --port COM1 --baud 115200 --factory 1 --timeouts 250,2500 --trace --log FILE
// The defaults are those of the connection settings dialog.
#include <QCommandLineParser>
#include <optional>

#include <string>

#include "link/exchange_log.h"
#include "link/exchange_log_file.h"
#include "link/link.h"
#include "link/serial_transport.h"

namespace tarnis::ctl {

void AddDeviceOptions(QCommandLineParser& parser);

struct DeviceOptions {
  link::LinkSettings settings;
  bool trace = false;
  std::string log_path;  // every exchange appended to this file; empty: none
};

// "tarnisctl --log FILE <subcommand> ...": the log file of every device subcommand that does not
// name its own.
void SetDefaultLogPath(std::string path);
const std::string& DefaultLogPath();

// The options as link settings, or nothing with the reason in error.
std::optional<DeviceOptions> ReadDeviceOptions(const QCommandLineParser& parser, QString* error);

// Parses a subcommand's arguments with its parser (device options included when asked).
// Returns the exit code when the subcommand is to end here: 0 after --help, 2 after printing
// what is wrong; nothing when it should go on.
std::optional<int> ParseSubcommandArguments(QCommandLineParser& parser, const QStringList& arguments,
                                            const char* name);
// The same for a device subcommand, filling options.
std::optional<int> ParseDeviceSubcommand(QCommandLineParser& parser, const QStringList& arguments,
                                         const char* name, DeviceOptions& options);

// The link to the device of the options; with --trace every frame goes to standard error in hex,
// with --log every exchange to the log file.
class DeviceSession {
 public:
  explicit DeviceSession(const DeviceOptions& options);
  link::Link& link() { return link_; }

 private:
  link::SerialTransport transport_;
  link::Link link_{transport_};
  link::ExchangeLog log_{1};  // the file gets every exchange; the ring keeps only the last
  link::ExchangeLogFile log_file_;
};

// Prints a UTF-8 text and a line break to standard error.
void PrintError(const std::string& text);

}  // namespace tarnis::ctl
