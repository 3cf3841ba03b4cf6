// Cursors: DECLARE CURSOR, OPEN, FETCH [NEXT] [INTO], CLOSE and DEALLOCATE, with the server's
// errors (16915, 16916, 16905, 16917, 16924) and @@FETCH_STATUS. A cursor's query runs through
// the executor at OPEN and its rows are kept in memory; nothing here reads the database itself.
#include "platform/engine/internal/session_state.h"

namespace engine {

Flow SqliteSession::RunCursorStatement(Statement* stmt) {
  const std::string& name = stmt->proc_name;
  auto it = cursors_.find(name);
  if (stmt->kind == StmtKind::kDeclareCursor) {
    if (it != cursors_.end()) {
      return Fail(MakeError(16915, stmt->line, "A cursor with the name '" + stmt->written_name + "' already exists."), false);
    }
    Cursor& cursor = cursors_[name];
    cursor.declaration = stmt;
    cursor.owner = frame_->owner;
    rowcount_ = 1;
    return Flow::kNormal;
  }
  if (it == cursors_.end()) {
    return Fail(MakeError(16916, stmt->line, "A cursor with the name '" + name + "' does not exist."), false);
  }
  Cursor& cursor = it->second;
  switch (stmt->kind) {
    case StmtKind::kOpen: {
      if (cursor.open) return Fail(MakeError(16905, stmt->line, "The cursor is already open."), false);
      ResultSet set;
      size_t errors = result_->errors.size();
      Flow flow = RunCompiled(cursor.declaration, &set, nullptr);
      if (flow != Flow::kNormal || result_->errors.size() != errors) return flow;
      cursor.rows = std::move(set.rows);
      cursor.columns = cursor.declaration->compiled->translation.columns;
      cursor.next = 0;
      cursor.open = true;
      rowcount_ = 0;
      return Flow::kNormal;
    }
    case StmtKind::kFetch: {
      if (!cursor.open) return Fail(MakeError(16917, stmt->line, "Cursor is not open."), false);
      if (!stmt->columns.empty() && stmt->columns.size() != cursor.columns.size()) {
        return Fail(MakeError(16924, stmt->line,
                              "Cursorfetch: The number of variables declared in the INTO list must "
                              "match that of selected columns."),
                    false);
      }
      if (cursor.next >= cursor.rows.size()) {
        fetch_status_ = -1;  // the INTO variables keep their values
        rowcount_ = 0;
        return Flow::kNormal;
      }
      const std::vector<Value>& row = cursor.rows[cursor.next++];
      fetch_status_ = 0;
      rowcount_ = 1;
      if (stmt->columns.empty()) {
        ResultSet set;
        set.columns = cursor.columns;
        set.rows.push_back(row);
        result_->result_sets.push_back(std::move(set));
        return Flow::kNormal;
      }
      for (size_t k = 0; k < row.size(); ++k) {
        auto type = frame_->batch->variables.find(stmt->columns[k]);
        if (type == frame_->batch->variables.end()) {
          return Fail(MakeError(137, stmt->line, "Must declare the scalar variable \"" + stmt->columns[k] + "\".", 15),
                      false);
        }
        Error error;
        if (!ConvertValue(row[k], type->second, &frame_->variables[stmt->columns[k]], &error)) {
          error.line = stmt->line;
          return Fail(error, false);
        }
      }
      return Flow::kNormal;
    }
    case StmtKind::kClose:
      if (!cursor.open) return Fail(MakeError(16917, stmt->line, "Cursor is not open."), false);
      cursor.open = false;
      cursor.rows.clear();
      rowcount_ = 0;
      return Flow::kNormal;
    default:  // DEALLOCATE
      cursors_.erase(it);
      rowcount_ = 0;
      return Flow::kNormal;
  }
}

}  // namespace engine
