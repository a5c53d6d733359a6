#pragma once
// One device operation on one port, or the same operation on many ports at once:
//   --ports COM1,COM2,tcp://box:4001   or   --ports all-found (the device search first)
//   --factory 4242 (every device) or COM1=4242,COM2=4243 (by port; others: the search's, else 1)
// One thread per port, each with its own link and log lines tagged by port; a failing device
// never stops the others. A line per device as it finishes, then a table (or --json).
#include <QCommandLineParser>
#include <functional>
#include <string>

#include "console_user_interface.h"
#include "device_options.h"

namespace tarnis::ctl {

struct DeviceContext {
  link::Link& link;
  ConsoleUserInterface& ui;
  std::string port;
  bool many = false;  // one of several devices run at once

  // A file path for this device: "{port}" in it becomes the port's name made fit for a file name.
  std::string PathFor(const std::string& path) const;
};

// The device's work; returns its exit code (0 success).
using DeviceWork = std::function<int(DeviceContext& device)>;

// --ports and --json, for the subcommands that run on many devices.
void AddManyDeviceOptions(QCommandLineParser& parser);

// Parses like ParseDeviceSubcommand; with --ports the factory number may be given per port.
std::optional<int> ParseManyDeviceSubcommand(QCommandLineParser& parser, const QStringList& arguments,
                                             const char* name, DeviceOptions& options);

// True when the subcommand was given --ports.
bool ManyDevices(const QCommandLineParser& parser);
// The messages of work done once before the devices run (loading the file they get): on standard
// error when standard output carries the JSON summary.
ConsoleUserInterface SharedUserInterface(const QCommandLineParser& parser);

// A file each device writes must be told apart by "{port}" in its name when many devices run;
// false after saying so.
bool FileNamePerPort(const QCommandLineParser& parser, const std::string& path, const char* name);

// Runs work on the device of options, or on every device of --ports in parallel. Exit code: the
// work's for one device; for many 0 only when every device's work returned 0, else 1 (2 for
// arguments that do not fit).
int RunOnDevices(const QCommandLineParser& parser, const DeviceOptions& options, const char* name,
                 bool keep_going, const DeviceWork& work);

}  // namespace tarnis::ctl
