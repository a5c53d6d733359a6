// tarnis: the desktop configurator of the ОРМИЗ КМ-07.
#include "app/program.h"

int main(int argc, char** argv) { return tarnis::app::RunProgram(argc, argv); }
