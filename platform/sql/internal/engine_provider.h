// The SQLOLEDB provider on the embedded T-SQL engine: how engine values, column types and errors
// look to the client (ADO type codes, VB values, the provider's error). Internal to platform/sql.
#pragma once

#include <optional>

#include "platform/engine/engine.h"
#include "platform/sql/provider.h"

namespace sql::internal {

// ADO metadata of a column of type `type`, as SQLOLEDB describes it.
FieldInfo DescribeColumn(const std::string& name, const engine::SqlType& type);

// The VB value a column of `type` holds: int -> Long, smallint and tinyint -> Integer,
// bigint -> Decimal (VB has no 64-bit integer), float -> Double, real -> Single, numeric ->
// Decimal with its scale, char/varchar -> String, datetime -> Date, bit -> Boolean, NULL -> Null.
runtime::Valor ToValor(const engine::Value& value, const engine::SqlType& type);

// A parameter value for the engine. REQUIRES: !value.IsEmpty().
engine::Value ToEngineValue(const runtime::Valor& value);

// Engine datetime (ms since 1900-01-01) <-> VB date serial (days since 30/12/1899, so 1900-01-01
// is day 2; before day 0 the time of day counts away from zero, as VB stores it).
runtime::DateSerial ToDateSerial(engine::DateTime value);
engine::DateTime ToEngineDateTime(runtime::DateSerial value);

RowSet ToRowSet(const engine::ResultSet& result);

// Throws the first error of `result` that the client sees (severity above 10); returns when
// there is none.
void RaiseFirstError(const engine::BatchResult& result);

}  // namespace sql::internal
