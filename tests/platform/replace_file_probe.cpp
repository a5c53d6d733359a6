// Replaces the file named by its first argument with its second argument's bytes, so that tests
// can watch a save from outside (under another user, under strace). Exit 0 on success, 1 on failure.
#include <cstdint>
#include <cstring>

#include "platform/whole_file.h"

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(argv[2]);
  return tarnis::ReplaceFile(argv[1], {bytes, std::strlen(argv[2])}) ? 0 : 1;
}
