// The one error type that crosses the client boundary: VB's Err object (number, source,
// description). Database clients, file helpers and conversions throw it; the windows catch it
// where their logic has a handler and write the error-log entry from its three parts.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace runtime {

class VbError : public std::runtime_error {
 public:
  VbError(long number, std::string source, std::string description, long native_number = 0)
      : std::runtime_error(description),
        number_(number),
        native_number_(native_number),
        source_(std::move(source)),
        description_(std::move(description)) {}

  // Err.Number: for database errors the provider's code (as the OLE DB client raised it).
  long Number() const { return number_; }
  // The server's own error number (Errors(0).NativeError); 0 when the error did not come from a server.
  long NativeNumber() const { return native_number_; }
  const std::string& Source() const { return source_; }
  const std::string& Description() const { return description_; }

 private:
  long number_;
  long native_number_;
  std::string source_;
  std::string description_;
};

// The language's own run-time error numbers raised by this module.
inline constexpr long kVbInvalidCall = 5;          // "Invalid procedure call or argument"
inline constexpr long kVbOverflow = 6;             // "Overflow"
inline constexpr long kVbTypeMismatch = 13;        // "Type mismatch"
inline constexpr long kVbBadFileNameOrNumber = 52; // "Bad file name or number"
inline constexpr long kVbFileNotFound = 53;        // "File not found"
inline constexpr long kVbFileAlreadyExists = 58;   // "File already exists"
inline constexpr long kVbDiskFull = 61;            // "Disk full"
inline constexpr long kVbTooManyFiles = 67;        // "Too many files"
inline constexpr long kVbPermissionDenied = 70;    // "Permission denied"
inline constexpr long kVbPathFileAccess = 75;      // "Path/File access error"
inline constexpr long kVbPathNotFound = 76;        // "Path not found"
inline constexpr long kVbInvalidUseOfNull = 94;    // "Invalid use of Null"

// Err.Source of a run-time error: the program's project name, as the language sets it.
inline constexpr const char* kVbRuntimeSource = "Consolida";

// Returns the standard description of a run-time error number as the language's Spanish run
// time gives it ("Desbordamiento" for 6); "Error definido por la aplicación o por el objeto"
// for a number it does not know.
const char* VbErrorDescription(long number);

// Throws VbError(number, kVbRuntimeSource, VbErrorDescription(number)).
[[noreturn]] void RaiseVbError(long number);

}  // namespace runtime
