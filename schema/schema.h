// The database schema as the T-SQL creation scripts of this folder (01_tables.sql, 02_indexes.sql
// ...), embedded into the program at build time. The program and the tests create a new database
// from CreationBatches(); the same scripts run unchanged on a real SQL Server.
// Knows nothing of how a batch is executed: callers hand the batches to their own session.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace schema {

// Every batch of every creation script, scripts in file-name order, batches in script order.
// Each batch is plain T-SQL without the GO separator; run them one by one on an empty database.
std::vector<std::string> CreationBatches();

// Splits a script into batches the way sqlcmd does: a line holding only GO (any letter case,
// blanks and tabs around it allowed, LF or CR LF line ends) ends a batch and is dropped. The
// text after the last GO is the last batch. Batches holding nothing but blanks and line ends are
// left out. A line such as "GO 5" or "GOTO x" is not a separator.
std::vector<std::string> SplitBatches(std::string_view script);

}  // namespace schema
