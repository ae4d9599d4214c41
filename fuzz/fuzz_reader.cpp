// libFuzzer entry for the surface-file reader (Open and Open and append).
#include <cstdio>
#include <cstdlib>

#include "fuzz/reader_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string fault = brimoss::testing::check_input(data, size);
  if (!fault.empty()) {
    std::fprintf(stderr, "reader fault: %s\n", fault.c_str());
    std::abort();
  }
  return 0;
}
