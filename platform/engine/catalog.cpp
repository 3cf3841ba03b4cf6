// Engine catalog storage (see catalog.h). The tables are prefixed with '_engine_' so they can
// never clash with a user table name, which the T-SQL side cannot spell without brackets.
// It records what DDL did to user tables and never creates or drops one itself (ddl.cpp does).
#include "platform/engine/internal/catalog.h"

#include <ctime>

#include "platform/engine/internal/tokenizer.h"
#include "platform/engine/internal/values.h"

namespace engine {

bool ExecSql(sqlite3* db, const std::string& sql, Error* error) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    error->number = 50000;
    error->severity = 16;
    error->message = message ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    return false;
  }
  return true;
}

int TableInfo::Find(std::string_view wanted) const {
  std::string lower = Lower(wanted);
  for (size_t k = 0; k < columns.size(); ++k) {
    if (Lower(columns[k].name) == lower) return static_cast<int>(k);
  }
  return -1;
}

bool Catalog::Ensure(sqlite3* db, Error* error) {
  return ExecSql(db,
                 "CREATE TABLE IF NOT EXISTS _engine_objects(id INTEGER PRIMARY KEY, name TEXT NOT "
                 "NULL COLLATE NOCASE UNIQUE, xtype TEXT NOT NULL, crdate TEXT NOT NULL, "
                 "definition TEXT);"
                 "CREATE TABLE IF NOT EXISTS _engine_columns(object_id INTEGER NOT NULL, ordinal "
                 "INTEGER NOT NULL, name TEXT NOT NULL, kind INTEGER NOT NULL, length INTEGER, "
                 "precision INTEGER, scale INTEGER, nullable INTEGER, is_identity INTEGER, "
                 "PRIMARY KEY(object_id, ordinal));"
                 "CREATE VIEW IF NOT EXISTS sysobjects AS SELECT id, name, xtype, xtype AS type, 1 "
                 "AS uid, crdate FROM _engine_objects;",
                 error);
}

bool Catalog::Load(sqlite3* db, Error* error) {
  tables_.clear();
  objects_.clear();
  auto sysobjects = std::make_unique<TableInfo>();
  sysobjects->name = "sysobjects";
  auto add = [&](const char* name, SqlType type) {
    sysobjects->columns.push_back(ColumnInfo{name, type, true, false});
  };
  add("id", SqlType{TypeKind::kInt});
  add("name", SqlType{TypeKind::kVarChar, 128});
  add("xtype", SqlType{TypeKind::kChar, 2});
  add("type", SqlType{TypeKind::kChar, 2});
  add("uid", SqlType{TypeKind::kSmallInt});
  add("crdate", SqlType{TypeKind::kDateTime});
  tables_["sysobjects"] = std::move(sysobjects);

  sqlite3_stmt* stmt = nullptr;
  const char* sql =
      "SELECT o.name, o.xtype, c.name, c.kind, c.length, c.precision, c.scale, c.nullable, "
      "c.is_identity FROM _engine_objects o LEFT JOIN _engine_columns c ON c.object_id = o.id "
      "ORDER BY o.id, c.ordinal";
  if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) {
    error->number = 50000;
    error->message = sqlite3_errmsg(db);
    return false;
  }
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    std::string name = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    std::string xtype = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1));
    std::string key = Lower(name);
    objects_[key] = xtype;
    if (xtype != "U" || sqlite3_column_type(stmt, 2) == SQLITE_NULL) continue;
    auto& table = tables_[key];
    if (!table) {
      table = std::make_unique<TableInfo>();
      table->name = name;
    }
    ColumnInfo column;
    column.name = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 2));
    column.type.kind = static_cast<TypeKind>(sqlite3_column_int(stmt, 3));
    column.type.length = sqlite3_column_int(stmt, 4);
    column.type.precision = sqlite3_column_int(stmt, 5);
    column.type.scale = sqlite3_column_int(stmt, 6);
    column.nullable = sqlite3_column_int(stmt, 7) != 0;
    column.identity = sqlite3_column_int(stmt, 8) != 0;
    table->has_identity = table->has_identity || column.identity;
    table->columns.push_back(std::move(column));
  }
  sqlite3_finalize(stmt);
  if (rc != SQLITE_DONE) {
    error->number = 50000;
    error->message = sqlite3_errmsg(db);
    return false;
  }
  return true;
}

const TableInfo* Catalog::FindTable(std::string_view name) const {
  auto it = tables_.find(Lower(name));
  return it == tables_.end() ? nullptr : it->second.get();
}

bool Catalog::ObjectExists(std::string_view name) const {
  std::string key = Lower(name);
  return objects_.count(key) > 0 || key == "sysobjects";
}

namespace {

// Inserts the object row; returns its id, or -1.
int64_t RecordObject(sqlite3* db, const std::string& name, const char* xtype,
                     const std::string* definition) {
  sqlite3_stmt* stmt = nullptr;
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  int64_t ms = 0;
  char date[32];
  std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", &local);
  ParseDateTimeText(date, &ms);
  std::string crdate = FormatDateTime(ms);
  bool ok = sqlite3_prepare_v2(db,
                               "INSERT INTO _engine_objects(name, xtype, crdate, definition) "
                               "VALUES(?1, ?2, ?3, ?4)",
                               -1, &stmt, nullptr) == SQLITE_OK;
  if (ok) {
    sqlite3_bind_text(stmt, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt, 2, xtype, -1, SQLITE_STATIC);
    sqlite3_bind_text(stmt, 3, crdate.c_str(), -1, SQLITE_TRANSIENT);
    if (definition != nullptr) sqlite3_bind_text(stmt, 4, definition->c_str(), -1, SQLITE_TRANSIENT);
    ok = sqlite3_step(stmt) == SQLITE_DONE;
  }
  sqlite3_finalize(stmt);
  return ok ? sqlite3_last_insert_rowid(db) : -1;
}

}  // namespace

bool Catalog::RecordRoutine(sqlite3* db, const std::string& name, const char* xtype,
                            const std::string& definition, Error* error) {
  if (RecordObject(db, name, xtype, &definition) >= 0) return true;
  error->number = 50000;
  error->message = sqlite3_errmsg(db);
  return false;
}

bool Catalog::RecordTable(sqlite3* db, const std::string& name,
                          const std::vector<ColumnInfo>& columns, Error* error) {
  int64_t id = RecordObject(db, name, "U", nullptr);
  bool ok = id >= 0;
  sqlite3_stmt* stmt = nullptr;
  ok = ok && sqlite3_prepare_v2(db,
                                "INSERT INTO _engine_columns VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)",
                                -1, &stmt, nullptr) == SQLITE_OK;
  for (size_t k = 0; ok && k < columns.size(); ++k) {
    const ColumnInfo& c = columns[k];
    sqlite3_bind_int64(stmt, 1, id);
    sqlite3_bind_int(stmt, 2, static_cast<int>(k));
    sqlite3_bind_text(stmt, 3, c.name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_int(stmt, 4, static_cast<int>(c.type.kind));
    sqlite3_bind_int(stmt, 5, c.type.length);
    sqlite3_bind_int(stmt, 6, c.type.precision);
    sqlite3_bind_int(stmt, 7, c.type.scale);
    sqlite3_bind_int(stmt, 8, c.nullable ? 1 : 0);
    sqlite3_bind_int(stmt, 9, c.identity ? 1 : 0);
    ok = sqlite3_step(stmt) == SQLITE_DONE;
    sqlite3_reset(stmt);
  }
  sqlite3_finalize(stmt);
  if (!ok) {
    error->number = 50000;
    error->message = sqlite3_errmsg(db);
  }
  return ok;
}

bool Catalog::ForgetObject(sqlite3* db, const std::string& name, Error* error) {
  sqlite3_stmt* stmt = nullptr;
  bool ok = sqlite3_prepare_v2(db,
                               "DELETE FROM _engine_columns WHERE object_id IN (SELECT id FROM "
                               "_engine_objects WHERE name = ?1)",
                               -1, &stmt, nullptr) == SQLITE_OK;
  if (ok) {
    sqlite3_bind_text(stmt, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    ok = sqlite3_step(stmt) == SQLITE_DONE;
  }
  sqlite3_finalize(stmt);
  stmt = nullptr;
  ok = ok && sqlite3_prepare_v2(db, "DELETE FROM _engine_objects WHERE name = ?1", -1, &stmt,
                                nullptr) == SQLITE_OK;
  if (ok) {
    sqlite3_bind_text(stmt, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    ok = sqlite3_step(stmt) == SQLITE_DONE;
  }
  sqlite3_finalize(stmt);
  if (!ok) {
    error->number = 50000;
    error->message = sqlite3_errmsg(db);
  }
  return ok;
}

}  // namespace engine
