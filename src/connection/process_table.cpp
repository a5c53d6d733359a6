#include "connection/process_table.h"

#include <charconv>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "platform/whole_file.h"

namespace tarnis::connection {
namespace {

std::optional<int> DecimalPid(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '\0')) text.remove_suffix(1);
  int pid = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), pid);
  if (ec != std::errc() || end != text.data() + text.size() || pid <= 0) return std::nullopt;
  return pid;
}

// Names in a folder that are whole decimal numbers (the process folders of /proc).
std::vector<int> NumberedEntries(const std::string& folder) {
  std::vector<int> numbers;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return numbers;
  while (const dirent* entry = ::readdir(dir)) {
    if (const auto n = DecimalPid(entry->d_name)) numbers.push_back(*n);
  }
  ::closedir(dir);
  std::sort(numbers.begin(), numbers.end());
  return numbers;
}

std::string SmallFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string text;
  char buffer[256];
  in.read(buffer, sizeof buffer);
  text.assign(buffer, static_cast<std::size_t>(in.gcount()));
  return text;
}

// Anyone may create files in the lock folder: only a regular file in that folder is read, so that
// a FIFO cannot hold the survey up and a link cannot make it open a device elsewhere.
std::string LockFileText(const std::string& folder, const std::string& name) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path file = fs::canonical(fs::path(folder) / name, ec);
  if (ec) return {};
  const fs::path own_folder = fs::canonical(folder, ec);
  if (ec || file.parent_path() != own_folder) return {};
  const auto bytes = ReadFileUpTo(file.string(), 256);
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
}

}  // namespace

ProcessTable::ProcessTable(std::string proc_root, std::string lock_root)
    : proc_(std::move(proc_root)), lock_(std::move(lock_root)) {}

std::string ProcessTable::CommandOf(int pid) const {
  std::string command = SmallFile(proc_ + "/" + std::to_string(pid) + "/comm");
  while (!command.empty() && (command.back() == '\n' || command.back() == '\0')) command.pop_back();
  return command;
}

bool ProcessTable::IsAlive(int pid) const {
  struct stat info {};
  return ::stat((proc_ + "/" + std::to_string(pid)).c_str(), &info) == 0;
}

void ProcessTable::ReadLocks() {
  locks_read_ = true;
  std::ifstream in(proc_ + "/locks");
  std::string line;
  // "1: FLOCK  ADVISORY  WRITE 4242 00:19:7 0 EOF"; waiting requests carry "->" and hold nothing.
  while (std::getline(in, line)) {
    if (line.find("->") != std::string::npos) continue;
    std::istringstream words(line);
    std::string word, previous;
    while (words >> word) {
      unsigned major = 0, minor = 0;
      unsigned long long inode = 0;
      char tail = 0;
      if (std::sscanf(word.c_str(), "%x:%x:%llu%c", &major, &minor, &inode, &tail) == 3) {
        if (const auto pid = DecimalPid(previous)) locks_.emplace(std::make_tuple(major, minor, inode), *pid);
        break;
      }
      previous = word;
    }
  }
}

std::optional<ProcessInfo> ProcessTable::LockHolder(dev_t file_system, ino_t inode, const std::string& tty_name) {
  if (!locks_read_) ReadLocks();
  const auto key = std::make_tuple(static_cast<unsigned>(major(file_system)), static_cast<unsigned>(minor(file_system)),
                                   static_cast<unsigned long long>(inode));
  if (const auto lock = locks_.find(key); lock != locks_.end()) return ProcessInfo{lock->second, CommandOf(lock->second)};

  // A UUCP lock file holds the PID as text ("      4242\n") or, from old programs, as a binary int.
  const std::string text = LockFileText(lock_, "LCK.." + tty_name);
  if (text.empty()) return std::nullopt;
  std::optional<int> pid = DecimalPid(text);
  if (!pid && text.size() == sizeof(int)) {
    int binary = 0;
    std::memcpy(&binary, text.data(), sizeof binary);
    if (binary > 0) pid = binary;
  }
  // A lock left behind by a process that has ended holds nothing.
  if (!pid || !IsAlive(*pid)) return std::nullopt;
  return ProcessInfo{*pid, CommandOf(*pid)};
}

void ProcessTable::ReadOpeners(const std::set<std::string>& wanted) {
  openers_.clear();
  if (wanted.empty()) return;
  char target[4096];
  for (const int pid : NumberedEntries(proc_)) {
    const std::string fd_folder = proc_ + "/" + std::to_string(pid) + "/fd";
    DIR* dir = ::opendir(fd_folder.c_str());
    if (!dir) continue;
    std::vector<std::string> seen;
    while (const dirent* entry = ::readdir(dir)) {
      if (entry->d_name[0] == '.') continue;
      const ssize_t n = ::readlink((fd_folder + "/" + entry->d_name).c_str(), target, sizeof target - 1);
      if (n <= 0) continue;
      std::string path(target, static_cast<std::size_t>(n));
      if (!wanted.contains(path) || std::find(seen.begin(), seen.end(), path) != seen.end()) continue;
      seen.push_back(path);
    }
    ::closedir(dir);
    if (seen.empty()) continue;
    const std::string command = CommandOf(pid);
    for (const std::string& path : seen) openers_[path].push_back(ProcessInfo{pid, command});
  }
}

const std::vector<ProcessInfo>& ProcessTable::Openers(const std::string& path) const {
  static const std::vector<ProcessInfo> kNone;
  const auto found = openers_.find(path);
  return found == openers_.end() ? kNone : found->second;
}

}  // namespace tarnis::connection
