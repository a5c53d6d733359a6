#pragma once
// tarnisctl config diff / verify / export / import: checking what a file or a device holds, and
// the readable JSON form of a file.
#include <QStringList>

namespace tarnis::ctl {

int RunConfigDiff(const QStringList& arguments);
int RunConfigVerify(const QStringList& arguments);
int RunConfigExport(const QStringList& arguments);
int RunConfigImport(const QStringList& arguments);

}  // namespace tarnis::ctl
