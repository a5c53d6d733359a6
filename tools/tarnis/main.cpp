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
      std::cout << "Usage: tarnis [--port COM1] [--baud 115200] [--factory 1] [--timeouts 250,2500]\n"
                   "              [--log <file>] [Qt options]\n"
                   "The desktop configurator of the ОРМИЗ КМ-07. \"man tarnis\" tells more.\n\n"
                   "  --port <name>          apply this port (COM1..COM100) at start, as \"Применить\"\n"
                   "                         of the connection settings would\n"
                   "  --baud <baud>          the speed applied with it (default 115200)\n"
                   "  --factory <number>     the factory number applied with it (default 1)\n"
                   "  --timeouts <gap,total> the time-outs in ms applied with it (default 250,2500)\n"
                   "  --log <file>           append every exchange with the device to this file\n"
                   "  --version              print the version and exit\n"
                   "  --help                 print this text and exit\n";
      return 0;
    }
  }
  return tarnis::app::RunProgram(argc, argv);
}
