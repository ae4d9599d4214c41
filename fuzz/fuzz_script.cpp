// libFuzzer entry for the batch tool's commands.
#include <cstdio>
#include <cstdlib>

#include "fuzz/script_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string fault = brimoss::testing::check_script(data, size);
  if (!fault.empty()) {
    std::fprintf(stderr, "script fault: %s\n", fault.c_str());
    std::abort();
  }
  return 0;
}
