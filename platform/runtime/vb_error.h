// The one error type that crosses the client boundary: VB's Err object (number, source,
// description). Database clients, file helpers and conversions throw it; the windows catch it
// where their logic has a handler and write the error-log entry from its three parts.
#pragma once

#include <stdexcept>
#include <string>

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

}  // namespace runtime
