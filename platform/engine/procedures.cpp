// Stored procedures and scalar user functions: loading a definition from the catalog and
// parsing it once while it is unchanged, EXEC and the client's RPC call with named or
// positional arguments, defaults, conversion to the declared types, the nesting limit, and the
// function calls SQLite hands back through tsql_udf. Creating and dropping them is ddl.cpp's.
#include <sqlite3.h>

#include <charconv>
#include <memory>
#include <utility>

#include "platform/engine/internal/parser.h"
#include "platform/engine/internal/session_state.h"
#include "platform/engine/internal/values.h"

namespace engine {
namespace {

// The frame a call of `routine` runs in, one level below its caller's `depth`, every variable of
// its body declared and empty; `owner` keeps the routine alive while it runs.
Frame CalleeFrame(Procedure& routine, int depth, std::shared_ptr<void> owner) {
  Frame callee;
  callee.tokens = &routine.tokens;
  callee.batch = &routine.batch;
  callee.procedure = routine.name;
  callee.depth = depth + 1;
  callee.owner = std::move(owner);
  for (const auto& [variable, type] : routine.batch.variables) callee.variables[variable] = std::monostate{};
  return callee;
}

}  // namespace

namespace {

constexpr int kMaxProcedureNesting = 32;

}  // namespace

bool SqliteSession::FindFunction(const std::string& name, SqlType* returns, size_t* parameters) {
  Error error;
  Procedure* fn = LoadProcedure(name, true, &error);
  if (fn == nullptr) return false;
  *returns = fn->statement->returns;
  *parameters = fn->statement->params.size();
  return true;
}

// Runs a scalar user function for SQLite's tsql_udf. An error inside stops the function and
// becomes the error of the statement that called it.
bool SqliteSession::RunFunction(const std::string& name, const std::vector<Value>& args, Value* result, Error* error) {
  Procedure* fn = LoadProcedure(name, true, error);
  if (fn == nullptr) {
    if (error->number == 0) *error = MakeError(4121, 1, "Cannot find the user-defined function \"" + name + "\".");
    return false;
  }
  if (frame_ == nullptr || result_ == nullptr) {
    *error = MakeError(50000, 1, "A user function ran outside a statement.");
    return false;
  }
  if (frame_->depth >= kMaxProcedureNesting) {
    *error = MakeError(217, 1,
                       "Maximum stored procedure, function, trigger, or view nesting level exceeded "
                       "(limit 32).");
    return false;
  }
  const std::vector<ProcParam>& params = fn->statement->params;
  Frame callee = CalleeFrame(*fn, frame_->depth, procedures_[Lower(name)]);
  for (size_t k = 0; k < params.size() && k < args.size(); ++k) {
    if (!ConvertValue(args[k], params[k].type, &callee.variables[params[k].name], error)) return false;
  }
  int64_t saved_rowcount = rowcount_;
  size_t errors = result_->errors.size();
  Frame* saved = frame_;
  frame_ = &callee;
  for (const StatementPtr& child : fn->statement->body) {
    if (Run(child.get()) != Flow::kNormal) break;
  }
  frame_ = saved;
  rowcount_ = saved_rowcount;
  if (result_->errors.size() != errors) {
    *error = result_->errors[errors];
    result_->errors.resize(errors);
    return false;
  }
  return ConvertValue(callee.return_value, fn->statement->returns, result, error);
}

// The procedure called `name` (any case), parsed from its stored definition; null when there
// is none (error.number stays 0) or its text no longer parses (error filled).
Procedure* SqliteSession::LoadProcedure(const std::string& name, bool function, Error* error) {
  sqlite3_bind_text(definition_stmt_, 1, name.c_str(), -1, SQLITE_TRANSIENT);
  if (sqlite3_step(definition_stmt_) != SQLITE_ROW ||
      (std::string(reinterpret_cast<const char*>(sqlite3_column_text(definition_stmt_, 2))) == "FN") !=
          function) {
    sqlite3_reset(definition_stmt_);
    return nullptr;
  }
  std::string created = reinterpret_cast<const char*>(sqlite3_column_text(definition_stmt_, 0));
  const unsigned char* text = sqlite3_column_text(definition_stmt_, 1);
  std::string definition = text ? reinterpret_cast<const char*>(text) : "";
  sqlite3_reset(definition_stmt_);
  std::shared_ptr<Procedure>& slot = procedures_[Lower(name)];
  if (slot && slot->definition == definition) return slot.get();
  auto proc = std::make_unique<Procedure>();
  proc->definition = std::move(definition);
  proc->name = created;
  if (!Tokenize(proc->definition, &proc->tokens, error) ||
      !ParseBatch(proc->tokens, &proc->batch, error)) {
    return nullptr;
  }
  if (proc->batch.statements.empty() ||
      (proc->batch.statements[0]->kind != StmtKind::kCreateProcedure &&
       proc->batch.statements[0]->kind != StmtKind::kCreateFunction)) {
    *error = MakeError(50000, 1, "The definition of procedure '" + created + "' is damaged.");
    return nullptr;
  }
  proc->statement = proc->batch.statements[0].get();
  slot = std::move(proc);
  return slot.get();
}

// EXEC arguments are constants or variables, as on the server.
bool SqliteSession::ArgumentValue(const Expr& e, Value* out) {
  switch (e.kind) {
    case ExprKind::kNull:
      *out = std::monostate{};
      return true;
    case ExprKind::kLiteral: {
      const Token& t = frame_->tokens->tokens[static_cast<size_t>(
          frame_->tokens->literals[static_cast<size_t>(e.literal_index)])];
      if (t.kind == TokenKind::kString) {
        *out = t.text;
      } else if (t.kind == TokenKind::kInteger) {
        int64_t v;
        auto r = std::from_chars(t.text.data(), t.text.data() + t.text.size(), v);
        if (r.ec == std::errc()) *out = v;
        else *out = NumberLiteralValue(t.text);
      } else {
        *out = NumberLiteralValue(t.text);
      }
      return true;
    }
    case ExprKind::kUnary: {
      if (!ArgumentValue(*e.args[0], out) || e.op != "-") return e.op == "+";
      if (auto* i = std::get_if<int64_t>(out)) *i = -*i;
      else if (auto* d = std::get_if<double>(out)) *d = -*d;
      else return false;
      return true;
    }
    case ExprKind::kVariable:
      if (e.name == "@@trancount") *out = int64_t{trancount_};
      else if (e.name == "@@rowcount") *out = rowcount_;
      else if (auto it = frame_->variables.find(e.name); it != frame_->variables.end()) *out = it->second;
      else return false;
      return true;
    default:
      return false;
  }
}

Flow SqliteSession::Exec(const Statement& stmt) {
  std::vector<std::pair<std::string, Value>> values;
  for (const ExecArg& arg : stmt.args) {
    Value value;
    if (!ArgumentValue(*arg.value, &value)) {
      if (arg.value->kind == ExprKind::kVariable) {
        return Fail(MakeError(137, stmt.line, "Must declare the scalar variable \"" + arg.value->name + "\".", 15),
                    false);
      }
      return Fail(MakeError(102, stmt.line, "Incorrect syntax near '" + stmt.proc_name + "'.", 15), false);
    }
    values.emplace_back(arg.name, std::move(value));
  }
  return CallWithValues(stmt.proc_name, values, stmt.line);
}

// Runs a procedure in a frame of its own. `values` pair a lower-case parameter name (empty
// for a positional argument) with its value.
Flow SqliteSession::CallWithValues(const std::string& name,
                                   const std::vector<std::pair<std::string, Value>>& values, int line) {
  Error error;
  Procedure* proc = LoadProcedure(name, false, &error);
  if (proc == nullptr) {
    if (error.number != 0) {
      error.line = line;
      return Fail(error, false);
    }
    return Fail(MakeError(2812, line, "Could not find stored procedure '" + name + "'."), false);
  }
  if (frame_->depth >= kMaxProcedureNesting) {
    return Fail(MakeError(217, line,
                          "Maximum stored procedure, function, trigger, or view nesting level "
                          "exceeded (limit 32)."),
                false);
  }
  const std::vector<ProcParam>& params = proc->statement->params;
  if (params.empty() && !values.empty()) {
    return Fail(MakeError(8146, line, "Procedure " + proc->name + " has no parameters and arguments were supplied."),
                false);
  }
  if (values.size() > params.size()) {
    return Fail(MakeError(8144, line, "Procedure or function " + proc->name + " has too many arguments specified."),
                false);
  }
  Frame callee = CalleeFrame(*proc, frame_->depth, procedures_[Lower(name)]);
  std::vector<bool> supplied(params.size(), false);
  for (size_t k = 0; k < values.size(); ++k) {
    size_t index = k;
    if (!values[k].first.empty()) {
      index = params.size();
      for (size_t p = 0; p < params.size(); ++p) {
        if (params[p].name == values[k].first) index = p;
      }
      if (index == params.size()) {
        return Fail(MakeError(8145, line, values[k].first + " is not a parameter for procedure " + proc->name + "."),
                    false);
      }
    }
    Value converted;
    if (!ConvertValue(values[k].second, params[index].type, &converted, &error)) {
      error.line = line;
      return Fail(error, false);
    }
    callee.variables[params[index].name] = std::move(converted);
    supplied[index] = true;
  }
  for (size_t p = 0; p < params.size(); ++p) {
    if (supplied[p]) continue;
    Value value;
    Frame* saved = frame_;
    frame_ = &callee;  // a default is a constant of the procedure's own text
    bool has_default = params[p].default_value && ArgumentValue(*params[p].default_value, &value);
    frame_ = saved;
    if (!has_default) {
      return Fail(MakeError(201, line,
                            "Procedure or function '" + proc->name + "' expects parameter '" +
                                params[p].written + "', which was not supplied."),
                  false);
    }
    if (!ConvertValue(value, params[p].type, &callee.variables[params[p].name], &error)) {
      error.line = line;
      return Fail(error, false);
    }
  }
  int trancount_before = trancount_;
  Frame* saved = frame_;
  frame_ = &callee;
  bool opened_unit = BeginCallUnit();
  Flow flow = Flow::kNormal;
  for (const StatementPtr& child : proc->statement->body) {
    flow = Run(child.get());
    if (flow != Flow::kNormal) break;
  }
  if (opened_unit) EndCallUnit(line);
  if (flow != Flow::kAbortBatch && trancount_ != trancount_before) {
    Fail(MakeError(266, line,
                   "Transaction count after EXECUTE indicates a mismatching number of BEGIN and "
                   "COMMIT statements. Previous count = " + std::to_string(trancount_before) +
                       ", current count = " + std::to_string(trancount_) + "."),
         false);
  }
  frame_ = saved;
  return flow == Flow::kAbortBatch ? flow : Flow::kNormal;
}

}  // namespace engine
