#include "subcommand.h"

#include <algorithm>
#include <iostream>

namespace tarnis::ctl {
namespace {

// Function-local, so registrations from other files' static initialisers find it built.
std::vector<Subcommand>& Registry() {
  static std::vector<Subcommand> registry;
  return registry;
}

}  // namespace

RegisterSubcommand::RegisterSubcommand(const Subcommand& subcommand) { Registry().push_back(subcommand); }

std::vector<Subcommand> Subcommands() {
  auto all = Registry();
  std::sort(all.begin(), all.end(), [](const Subcommand& a, const Subcommand& b) { return QString(a.name) < QString(b.name); });
  return all;
}

const Subcommand* FindSubcommand(const QString& name) {
  for (const Subcommand& subcommand : Registry())
    if (name == QLatin1String(subcommand.name)) return &subcommand;
  return nullptr;
}

QStringList ArgumentsAfterWord(const QStringList& arguments) {
  QStringList own = arguments.mid(2);
  own.prepend(arguments.value(0));
  return own;
}

int RunAction(const QStringList& arguments, const std::vector<Action>& actions, const char* usage) {
  const QString name = arguments.value(1);
  for (const Action& action : actions)
    if (name == QLatin1String(action.name)) return action.run(ArgumentsAfterWord(arguments));
  const bool help = name == QLatin1String("--help");
  (help ? std::cout : std::cerr) << usage;
  return help ? 0 : 2;
}

}  // namespace tarnis::ctl
