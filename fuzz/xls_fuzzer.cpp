// libFuzzer harness: an .xls workbook (or a bare Workbook stream) through FreeXL and through the
// workbook record reader.
#include "fuzz/inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz_inputs::ReadXls(data, size);
  return 0;
}
