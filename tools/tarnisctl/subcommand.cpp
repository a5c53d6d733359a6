#include "subcommand.h"

#include <algorithm>

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

}  // namespace tarnis::ctl
