#pragma once
// The one way a fuzz target reports a broken invariant: a message and abort(), which libFuzzer
// records as a crash with its input and the corpus replay reports as a failed test.
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                  \
  do {                                                                                         \
    if (!(condition)) {                                                                        \
      std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition);   \
      std::abort();                                                                            \
    }                                                                                          \
  } while (false)
