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

// The options as link settings, or nothing with the reason in error. factory_per_port: --factory
// may hold NAME=NUMBER pairs, left in the settings as text for the caller to split.
std::optional<DeviceOptions> ReadDeviceOptions(const QCommandLineParser& parser, QString* error,
                                               bool factory_per_port = false);

// Parses a subcommand's arguments with its parser (device options included when asked).
// Returns the exit code when the subcommand is to end here: 0 after --help, 2 after printing
// what is wrong; nothing when it should go on.
std::optional<int> ParseSubcommandArguments(QCommandLineParser& parser, const QStringList& arguments,
                                            const char* name);
// The same for a device subcommand, filling options.
std::optional<int> ParseDeviceSubcommand(QCommandLineParser& parser, const QStringList& arguments,
                                         const char* name, DeviceOptions& options);

// The link to the device of the options; with --trace every frame goes to standard error in hex
// (each line after tag), with --log every exchange to the log file. Counts the requests sent
// and those that failed (no answer or an answer the link refuses, a device error included).
class DeviceSession {
 public:
  explicit DeviceSession(const DeviceOptions& options, std::string tag = {});
  link::Link& link() { return link_; }
  int requests() const { return requests_; }
  int failures() const { return failures_; }

 private:
  int requests_ = 0;
  int failures_ = 0;
  std::uint8_t last_command_ = 0;
  link::SerialTransport transport_;
  link::Link link_{transport_};
  link::ExchangeLog log_{1};  // the file gets every exchange; the ring keeps only the last
  link::ExchangeLogFile log_file_;
};

// Prints a UTF-8 text and a line break to standard error.
void PrintError(const std::string& text);

// The command-line parser's error in Russian ("неизвестный параметр \"x\"."); a text it does not know as is.
QString ParserErrorInRussian(const QString& error);

}  // namespace tarnis::ctl
