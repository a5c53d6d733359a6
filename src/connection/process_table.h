#pragma once
// Who holds or has open which tty, as /proc and the UUCP lock folder show it from outside.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <sys/types.h>
#include <tuple>
#include <vector>

#include "connection/port_survey.h"

namespace tarnis::connection {

class ProcessTable {
 public:
  ProcessTable(std::string proc_root, std::string lock_root);

  // The process holding a flock/fcntl lock on the file (st_dev of its file system, inode), or
  // the live process a UUCP lock file names for the tty's base name.
  std::optional<ProcessInfo> LockHolder(dev_t file_system, ino_t inode, const std::string& tty_name);
  // Reads which processes have descriptors on the wanted paths, best effort: other users'
  // descriptors are hidden from an unprivileged user.
  void ReadOpeners(const std::set<std::string>& wanted);
  // Of the paths last read.
  const std::vector<ProcessInfo>& Openers(const std::string& path) const;

  std::string CommandOf(int pid) const;
  bool IsAlive(int pid) const;

 private:
  void ReadLocks();

  std::string proc_;
  std::string lock_;
  bool locks_read_ = false;
  std::map<std::tuple<unsigned, unsigned, unsigned long long>, int> locks_;  // major, minor, inode → pid
  std::map<std::string, std::vector<ProcessInfo>> openers_;
};

}  // namespace tarnis::connection
