// tarnis: the desktop configurator of the ОРМИЗ КМ-07.
#include <cstring>
#include <iostream>

#include "app/program.h"
#include "platform/program_version.h"

int main(int argc, char** argv) {
  // Answered before the application object exists, so they need no display.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::cout << "tarnis " << tarnis::kProgramVersion << '\n';
      return 0;
    }
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::cout << "Usage: tarnis [--log <file>] [Qt options]\n"
                   "The desktop configurator of the ОРМИЗ КМ-07. \"man tarnis\" tells more.\n\n"
                   "  --log <file>  append every exchange with the device to this file\n"
                   "  --version     print the version and exit\n"
                   "  --help        print this text and exit\n";
      return 0;
    }
  }
  return tarnis::app::RunProgram(argc, argv);
}
