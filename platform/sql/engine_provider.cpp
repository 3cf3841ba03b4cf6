// SQLOLEDB on the embedded engine: each Connection gets its own engine session on the database
// file; results are materialised and shown with the types, metadata and errors SQLOLEDB gave a
// VB client. Metadata sizes follow SQLOLEDB's column descriptions; nothing here parses SQL.
#include "platform/sql/internal/engine_provider.h"

#include <cmath>
#include <limits>

#include "platform/runtime/vb_error.h"
#include "platform/sql/internal/ado_errors.h"
#include "platform/sql/internal/providers.h"

namespace sql::internal {
namespace {

constexpr int64_t kMsPerDay = 86400000;
// SQLOLEDB reports 255 ("not applicable") as precision or scale of types that have none.
constexpr int kNotApplicable = 255;
// The OLE DB HRESULTs SQLOLEDB raised where no server message exists, with its texts on a
// Spanish Windows.
constexpr long kConnectFailed = -2147467259;   // E_FAIL
constexpr long kNoTransaction = -2147168242;   // XACT_E_NOTRANSACTION
constexpr long kTransactionExists = -2147168237;  // XACT_E_XTIONEXISTS
constexpr char kConnectFailedText[] =
    "[DBNETLIB][ConnectionOpen (Connect()).]SQL Server no existe o se ha denegado el acceso.";

// The engine hands integers, doubles, text and dates; a column's declared type decides the VB
// value, but an expression column may carry any of them, so read defensively.
std::optional<int64_t> AsInt64(const engine::Value& value) {
  if (const auto* i = std::get_if<int64_t>(&value)) return *i;
  if (const auto* d = std::get_if<double>(&value)) return static_cast<int64_t>(std::llround(*d));
  return std::nullopt;
}

std::optional<double> AsDouble(const engine::Value& value) {
  if (const auto* d = std::get_if<double>(&value)) return *d;
  if (const auto* i = std::get_if<int64_t>(&value)) return static_cast<double>(*i);
  return std::nullopt;
}

runtime::Valor ByHeldValue(const engine::Value& value) {
  if (const auto* i = std::get_if<int64_t>(&value)) {
    if (*i >= std::numeric_limits<int32_t>::min() && *i <= std::numeric_limits<int32_t>::max()) {
      return runtime::Valor::Long(static_cast<int32_t>(*i));
    }
    return runtime::Valor::Decimal(static_cast<double>(*i), 0);
  }
  if (const auto* d = std::get_if<double>(&value)) return runtime::Valor::Double(*d);
  if (const auto* s = std::get_if<std::string>(&value)) return runtime::Valor::String(*s);
  if (const auto* t = std::get_if<engine::DateTime>(&value)) {
    return runtime::Valor::Date(ToDateSerial(*t));
  }
  return runtime::Valor::Null();
}

class EmbeddedSession : public ProviderSession {
 public:
  explicit EmbeddedSession(std::unique_ptr<engine::Session> session)
      : session_(std::move(session)) {}

  std::optional<RowSet> Execute(const std::string& sql) override {
    return LastResult(session_->Execute(sql));
  }

  std::optional<RowSet> CallProcedure(
      const std::string& name,
      const std::vector<std::pair<std::string, runtime::Valor>>& args) override {
    std::vector<std::pair<std::string, engine::Value>> engine_args;
    engine_args.reserve(args.size());
    for (const auto& [arg_name, value] : args) {
      engine_args.emplace_back(arg_name, ToEngineValue(value));
    }
    return LastResult(session_->CallProcedure(name, engine_args));
  }

  std::vector<ParameterInfo> ProcedureParameters(const std::string& name) override {
    auto declared = session_->ProcedureParameters(name);
    if (!declared) return {};
    std::vector<ParameterInfo> result;
    result.push_back({"@RETURN_VALUE", adInteger, adParamReturnValue, 4, 10, 0});
    for (const engine::ProcedureParameter& p : *declared) {
      FieldInfo f = DescribeColumn(p.name, p.type);
      result.push_back({p.name, f.type, adParamInput, f.defined_size, f.precision,
                        f.numeric_scale});
    }
    return result;
  }

  void BeginTrans() override {
    if (session_->TransactionCount() > 0) {
      throw runtime::VbError(kTransactionExists, kSqlServerSource,
                             "Solo puede haber una transacción activa en esta sesión.");
    }
    Run("BEGIN TRANSACTION");
  }
  void CommitTrans() override { EndTransaction("COMMIT TRANSACTION"); }
  void RollbackTrans() override { EndTransaction("ROLLBACK TRANSACTION"); }

 private:
  // A batch-aborting error may already have rolled the transaction back on the server; the
  // provider then had none to end, and said so.
  void EndTransaction(const char* statement) {
    if (session_->TransactionCount() == 0) {
      throw runtime::VbError(kNoTransaction, kSqlServerSource,
                             "No hay ninguna transacción activa.");
    }
    Run(statement);
  }

  void Run(const char* statement) { RaiseFirstError(session_->Execute(statement)); }

  static std::optional<RowSet> LastResult(const engine::BatchResult& result) {
    RaiseFirstError(result);
    if (result.result_sets.empty()) return std::nullopt;
    return ToRowSet(result.result_sets.back());
  }

  std::unique_ptr<engine::Session> session_;
};

}  // namespace

FieldInfo DescribeColumn(const std::string& name, const engine::SqlType& type) {
  using engine::TypeKind;
  switch (type.kind) {
    case TypeKind::kBit:
      return {name, adBoolean, 2, kNotApplicable, kNotApplicable};
    case TypeKind::kTinyInt:
      return {name, adUnsignedTinyInt, 1, 3, kNotApplicable};
    case TypeKind::kSmallInt:
      return {name, adSmallInt, 2, 5, kNotApplicable};
    case TypeKind::kInt:
      return {name, adInteger, 4, 10, kNotApplicable};
    case TypeKind::kBigInt:
      return {name, adBigInt, 8, 19, kNotApplicable};
    case TypeKind::kReal:
      return {name, adSingle, 4, 7, kNotApplicable};
    case TypeKind::kFloat:
      return {name, adDouble, 8, 15, kNotApplicable};
    case TypeKind::kNumeric:
      return {name, adNumeric, 19, type.precision, type.scale};
    case TypeKind::kChar:
      return {name, adChar, type.length, kNotApplicable, kNotApplicable};
    case TypeKind::kVarChar:
      return {name, adVarChar, type.length, kNotApplicable, kNotApplicable};
    case TypeKind::kDateTime:
      return {name, adDBTimeStamp, 16, 23, 3};
  }
  return {name, adVariant, 16, kNotApplicable, kNotApplicable};
}

runtime::DateSerial ToDateSerial(engine::DateTime value) {
  int64_t day = value.ms / kMsPerDay;
  int64_t rest = value.ms % kMsPerDay;
  if (rest < 0) {
    rest += kMsPerDay;
    --day;
  }
  double serial_day = static_cast<double>(day + 2);
  double time = static_cast<double>(rest) / kMsPerDay;
  return {serial_day >= 0 ? serial_day + time : serial_day - time};
}

engine::DateTime ToEngineDateTime(runtime::DateSerial value) {
  double whole = value.days >= 0 ? std::floor(value.days) : std::ceil(value.days);
  double time = std::fabs(value.days - whole);
  return {(static_cast<int64_t>(whole) - 2) * kMsPerDay + std::llround(time * kMsPerDay)};
}

runtime::Valor ToValor(const engine::Value& value, const engine::SqlType& type) {
  using engine::TypeKind;
  if (std::holds_alternative<std::monostate>(value)) return runtime::Valor::Null();
  switch (type.kind) {
    case TypeKind::kBit:
      if (auto i = AsInt64(value)) return runtime::Valor::Boolean(*i != 0);
      break;
    case TypeKind::kTinyInt:
    case TypeKind::kSmallInt:
      if (auto i = AsInt64(value)) return runtime::Valor::Integer(static_cast<int16_t>(*i));
      break;
    case TypeKind::kInt:
      if (auto i = AsInt64(value)) return runtime::Valor::Long(static_cast<int32_t>(*i));
      break;
    case TypeKind::kBigInt:
      if (auto i = AsInt64(value)) return runtime::Valor::Decimal(static_cast<double>(*i), 0);
      break;
    case TypeKind::kReal:
      if (auto d = AsDouble(value)) return runtime::Valor::Single(static_cast<float>(*d));
      break;
    case TypeKind::kFloat:
      if (auto d = AsDouble(value)) return runtime::Valor::Double(*d);
      break;
    case TypeKind::kNumeric:
      if (auto d = AsDouble(value)) return runtime::Valor::Decimal(*d, type.scale);
      break;
    case TypeKind::kChar:
    case TypeKind::kVarChar:
      if (const auto* s = std::get_if<std::string>(&value)) return runtime::Valor::String(*s);
      break;
    case TypeKind::kDateTime:
      if (const auto* t = std::get_if<engine::DateTime>(&value)) {
        return runtime::Valor::Date(ToDateSerial(*t));
      }
      break;
  }
  return ByHeldValue(value);
}

engine::Value ToEngineValue(const runtime::Valor& value) {
  using runtime::VarType;
  switch (value.Type()) {
    case VarType::kInteger:
      return int64_t{value.AsInteger()};
    case VarType::kLong:
      return int64_t{value.AsLong()};
    case VarType::kSingle:
    case VarType::kDouble:
    case VarType::kDecimal:
      return value.AsDouble();
    case VarType::kCurrency:
      return static_cast<double>(value.AsCurrency().units) / 10000.0;
    case VarType::kDate:
      return ToEngineDateTime(value.AsDate());
    case VarType::kString:
      return value.AsString();
    case VarType::kBoolean:
      return int64_t{value.AsBoolean() ? 1 : 0};
    case VarType::kEmpty:
    case VarType::kNull:
      break;
  }
  return std::monostate{};
}

RowSet ToRowSet(const engine::ResultSet& result) {
  RowSet rows;
  rows.fields.reserve(result.columns.size());
  for (const engine::Column& column : result.columns) {
    rows.fields.push_back(DescribeColumn(column.name, column.type));
  }
  rows.rows.reserve(result.rows.size());
  for (const auto& engine_row : result.rows) {
    std::vector<runtime::Valor> row;
    row.reserve(result.columns.size());
    for (size_t i = 0; i < result.columns.size(); ++i) {
      row.push_back(i < engine_row.size() ? ToValor(engine_row[i], result.columns[i].type)
                                          : runtime::Valor::Null());
    }
    rows.rows.push_back(std::move(row));
  }
  return rows;
}

void RaiseFirstError(const engine::BatchResult& result) {
  for (const engine::Error& error : result.errors) {
    // Severity 10 and below are informational messages: SQLOLEDB never raised them.
    if (error.severity > 10) RaiseServer(error.number, error.message);
  }
}

std::unique_ptr<ProviderSession> OpenEmbeddedSession(const ConnectionProperties& properties) {
  EmbeddedDatabase config = EmbeddedConfiguration();
  std::string path = PropertyValue(properties, "data source");
  if (path.empty()) path = config.default_path;
  if (path.empty()) throw runtime::VbError(kConnectFailed, kSqlServerSource, kConnectFailedText);
  engine::OpenOptions options;
  options.creation_scripts = config.creation_batches;
  engine::Error error;
  std::unique_ptr<engine::Session> session = engine::Session::Open(path, options, &error);
  if (!session) {
    // A creation batch that failed is a server error; a file that cannot be opened is the
    // unreachable server, with the cause appended so the log says which file and why.
    if (error.number != 0) RaiseServer(error.number, error.message);
    std::string text = kConnectFailedText;
    if (!error.message.empty()) text += " " + error.message;
    throw runtime::VbError(kConnectFailed, kSqlServerSource, text);
  }
  return std::make_unique<EmbeddedSession>(std::move(session));
}

}  // namespace sql::internal
