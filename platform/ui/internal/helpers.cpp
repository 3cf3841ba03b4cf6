// The toolkit's run-time errors for bad indexes and values. Internal to consolida_ui.
#include "platform/ui/internal/helpers.h"

#include "platform/runtime/vb_error.h"

namespace ui::internal {

void ThrowBadIndex() {
  throw runtime::VbError(381, runtime::kVbRuntimeSource, "Invalid property array index");
}

void ThrowBadValue() {
  throw runtime::VbError(380, runtime::kVbRuntimeSource, "Invalid property value");
}

void ThrowGridError(long number, const char* description) {
  throw runtime::VbError(number, runtime::kVbRuntimeSource, description);
}

}  // namespace ui::internal
