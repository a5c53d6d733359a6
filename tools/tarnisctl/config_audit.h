#pragma once
// tarnisctl config diff / verify / export / import: checking what a file or a device holds, and
// the readable JSON form of a file.
#include <QStringList>
#include <vector>

#include "config/config_comparison.h"

namespace tarnis::ctl {

int RunConfigDiff(const QStringList& arguments);
int RunConfigVerify(const QStringList& arguments);
int RunConfigExport(const QStringList& arguments);
int RunConfigImport(const QStringList& arguments);

// One line per difference, as "config diff" prints them.
void PrintDifferences(const std::vector<config::Difference>& differences);

}  // namespace tarnis::ctl
