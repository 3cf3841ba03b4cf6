// Helpers shared by the control models: the toolkit's run-time errors for bad indexes and
// values. Internal to consolida_ui.
#pragma once

namespace ui::internal {

// Throws runtime::VbError 381 "Invalid property array index".
[[noreturn]] void ThrowBadIndex();
// Throws runtime::VbError 380 "Invalid property value".
[[noreturn]] void ThrowBadValue();
// Throws runtime::VbError `number` with the grid's description.
[[noreturn]] void ThrowGridError(long number, const char* description);

}  // namespace ui::internal
