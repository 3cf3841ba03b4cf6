// Standard descriptions of the run-time errors this module raises, in the language's wording,
// so that error-log entries read as the users know them.
#include "platform/runtime/vb_error.h"

namespace runtime {

const char* VbErrorDescription(long number) {
  switch (number) {
    case kVbInvalidCall: return "Invalid procedure call or argument";
    case kVbOverflow: return "Overflow";
    case kVbTypeMismatch: return "Type mismatch";
    case kVbFileNotFound: return "File not found";
    case kVbFileAlreadyExists: return "File already exists";
    case kVbPermissionDenied: return "Permission denied";
    case kVbPathFileAccess: return "Path/File access error";
    case kVbPathNotFound: return "Path not found";
    case kVbInvalidUseOfNull: return "Invalid use of Null";
    default: return "Application-defined or object-defined error";
  }
}

void RaiseVbError(long number) {
  throw VbError(number, kVbRuntimeSource, VbErrorDescription(number));
}

}  // namespace runtime
