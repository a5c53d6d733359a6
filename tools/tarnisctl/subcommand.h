#pragma once
// tarnisctl's subcommands register themselves: each <group>_command.cpp in this folder defines
// its functions and a static RegisterSubcommand, and the build picks the file up by its name.
#include <QStringList>
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

}  // namespace tarnis::ctl
