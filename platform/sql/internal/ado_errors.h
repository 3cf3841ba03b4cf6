// Raising the client's own errors with ADO's numbers, texts and sources, and the error of the
// SQL Server provider. Internal to platform/sql; callers only see runtime::VbError.
#pragma once

#include <string>

namespace sql::internal {

// Throws VbError(number, source, ADO's description of `number`).
[[noreturn]] void RaiseAdo(long number, const std::string& source);

// Throws the provider error a SQL Server statement raises: kServerError, the provider's source,
// the server's message as description and the server's number as native number.
[[noreturn]] void RaiseServer(int native_number, const std::string& message);

// ADO's description of one of its own error numbers; empty for an unknown number.
const char* AdoDescription(long number);

}  // namespace sql::internal
