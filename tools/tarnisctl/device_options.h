#pragma once
// The options every device subcommand shares, parsed and checked in one place:
//   --port COM1 --baud 115200 --factory 1 --timeouts 250,2500 --trace
// The defaults are those of the connection settings dialog.
#include <QCommandLineParser>
#include <optional>

#include "link/link.h"
#include "link/serial_transport.h"

namespace tarnis::ctl {

void AddDeviceOptions(QCommandLineParser& parser);

struct DeviceOptions {
  link::LinkSettings settings;
  bool trace = false;
};

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

// The link to the device of the options; with --trace every frame goes to standard error in hex.
class DeviceSession {
 public:
  explicit DeviceSession(const DeviceOptions& options);
  link::Link& link() { return link_; }

 private:
  link::SerialTransport transport_;
  link::Link link_{transport_};
};

// Prints a UTF-8 text and a line break to standard error.
void PrintError(const std::string& text);

}  // namespace tarnis::ctl
