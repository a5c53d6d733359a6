#include "app_test_support.h"

#include <cstdlib>

namespace tarnis::test {

PrivatePortsDirectory::PrivatePortsDirectory() {
  if (const char* previous = std::getenv("TARNIS_PORTS_DIR")) {
    had_previous_ = true;
    previous_ = previous;
  }
  ::setenv("TARNIS_PORTS_DIR", directory_.path().toLocal8Bit().constData(), 1);
}

PrivatePortsDirectory::~PrivatePortsDirectory() {
  if (had_previous_) ::setenv("TARNIS_PORTS_DIR", previous_.c_str(), 1);
  else ::unsetenv("TARNIS_PORTS_DIR");
}

}  // namespace tarnis::test
