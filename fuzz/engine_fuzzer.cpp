// libFuzzer harness: a T-SQL batch run by the engine on a fresh in-memory database, its run
// time bounded by inputs.cpp.
#include "fuzz/inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_inputs::RunSql(data, size, /*budget_ms=*/1000);
  return 0;
}
