// The engine catalog: the declared T-SQL type of every column of every user table, and the
// object list behind dbo.sysobjects, both kept in tables of the same SQLite file so that other
// sessions and later runs see them. A session keeps an in-memory copy, reloaded when the
// file's schema version moves.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <sqlite3.h>

#include "platform/engine/engine.h"

namespace engine {

struct ColumnInfo {
  std::string name;
  SqlType type;
  bool nullable = true;
  bool identity = false;
};

struct TableInfo {
  std::string name;  // as created
  std::vector<ColumnInfo> columns;
  bool has_identity = false;
  // Index of the column named `name` (any case), or -1.
  int Find(std::string_view name) const;
};

class Catalog {
 public:
  // Creates the catalog tables and the sysobjects view when missing.
  static bool Ensure(sqlite3* db, Error* error);
  // Reads the catalog of `db` into memory.
  bool Load(sqlite3* db, Error* error);
  // The user table (or the sysobjects view) called `name`, any case; null when none.
  const TableInfo* FindTable(std::string_view name) const;
  // True when an object (table, procedure, function) of that name exists.
  bool ObjectExists(std::string_view name) const;

  // Statements that record and forget a table in the catalog, run inside the DDL's savepoint.
  static bool RecordTable(sqlite3* db, const std::string& name,
                          const std::vector<ColumnInfo>& columns, Error* error);
  static bool ForgetObject(sqlite3* db, const std::string& name, Error* error);
  // Records a procedure ('P') or scalar function ('FN') with the text that created it.
  static bool RecordRoutine(sqlite3* db, const std::string& name, const char* xtype,
                            const std::string& definition, Error* error);

 private:
  std::map<std::string, std::unique_ptr<TableInfo>> tables_;  // key: lower-case name
  std::map<std::string, std::string> objects_;                // lower-case name -> xtype
};

// Runs one SQL text without results; fills `error` (number 50000) with SQLite's message.
bool ExecSql(sqlite3* db, const std::string& sql, Error* error);

}  // namespace engine
