#pragma once
// tarnisctl config diff / verify / export / import: checking what a file or a device holds, and
// the readable JSON form of a file.
#include <QStringList>
#include <string>
#include <vector>

#include "config/config_comparison.h"

namespace tarnis::ctl {

int RunConfigDiff(const QStringList& arguments);
int RunConfigVerify(const QStringList& arguments);
int RunConfigExport(const QStringList& arguments);
int RunConfigImport(const QStringList& arguments);

// A header line naming the sides ("left ← → right"), then one line a difference, its texts last;
// nothing when there is none. Bytes from files and the device are shown as visible placeholders.
std::string DifferencesText(const std::vector<config::Difference>& differences, const std::string& left,
                            const std::string& right);

}  // namespace tarnis::ctl
