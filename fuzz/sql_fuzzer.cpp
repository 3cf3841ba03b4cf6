// libFuzzer harness: the T-SQL front end (tokenizer, parser, binder, translator), nothing run.
#include "fuzz/inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_inputs::CompileSql(data, size);
  return 0;
}
