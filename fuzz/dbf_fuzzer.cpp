// libFuzzer harness: a DBF table and its memo file (layout in inputs.h).
#include "fuzz/inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_inputs::ReadDbf(data, size);
  return 0;
}
