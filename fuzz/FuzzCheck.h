#pragma once
// The property check of the fuzz targets: ends the run with the failed
// condition named, so that the report says which property broke.

#include <cstdio>
#include <cstdlib>

#define Check(condition)                                                                       \
  do {                                                                                         \
    if (!(condition)) {                                                                        \
      std::fprintf(stderr, "%s:%d: Bedingung verletzt: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                            \
    }                                                                                          \
  } while (0)
