#pragma once
// tarnisctl's subcommands register themselves: each <group>_command.cpp in this folder defines
// its functions and a static RegisterSubcommand, and the build picks the file up by its name.
#include <QStringList>
#include <functional>
#include <vector>

namespace tarnis::ctl {

struct Subcommand {
  const char* name;     // as typed after "tarnisctl"
  const char* summary;  // one line for the list of subcommands
  // Gets the program name followed by the subcommand's own arguments; returns the exit code.
  int (*run)(const QStringList& arguments);
};

// Every registered subcommand, sorted by name.
std::vector<Subcommand> Subcommands();
const Subcommand* FindSubcommand(const QString& name);

struct RegisterSubcommand {
  explicit RegisterSubcommand(const Subcommand& subcommand);
};

// The program name followed by what comes after the word at `arguments[1]`: what a subcommand
// or an action of a group is handed.
QStringList ArgumentsAfterWord(const QStringList& arguments);

// A group of actions under one subcommand ("goods read", "goods write", ...).
struct Action {
  const char* name;
  std::function<int(const QStringList& arguments)> run;
};
// Runs the action named by arguments[1] with ArgumentsAfterWord(arguments). "--help" prints
// usage on standard output and returns 0; a missing or unknown action prints it on standard
// error and returns 2.
int RunAction(const QStringList& arguments, const std::vector<Action>& actions, const char* usage);

}  // namespace tarnis::ctl
