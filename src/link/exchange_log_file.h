#pragma once
// `--log FILE`: every exchange of the log appended to a text file as it completes, one line each,
// flushed at once so that a crash or a pulled cable loses nothing already logged.
#include <cstdio>
#include <memory>
#include <string>

#include "link/exchange_log.h"

namespace tarnis::link {

class ExchangeLogFile {
 public:
  // Opens path for appending; false, with errno's text in error, when it cannot.
  bool Open(const std::string& path, std::string* error);
  bool is_open() const { return file_ != nullptr; }
  void Append(const ExchangeRecord& record);

 private:
  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, Closer> file_;
};

}  // namespace tarnis::link
