#include "link/exchange_log_file.h"

#include <cerrno>
#include <cstring>

namespace tarnis::link {

bool ExchangeLogFile::Open(const std::string& path, std::string* error) {
  file_.reset(std::fopen(path.c_str(), "a"));
  if (!file_ && error) *error = path + ": " + std::strerror(errno);
  return file_ != nullptr;
}

void ExchangeLogFile::Append(const ExchangeRecord& record) {
  if (!file_) return;
  const std::string line = FormatExchange(record) + "\n";
  std::fwrite(line.data(), 1, line.size(), file_.get());
  std::fflush(file_.get());
}

}  // namespace tarnis::link
