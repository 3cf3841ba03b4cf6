// consolida-sql, the T-SQL console on the embedded engine (like sqlcmd): runs scripts or one
// query against a database file and prints what the engine returns. Used for setting up and
// inspecting databases by hand and in tests; it never touches the program's working folders.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace sql_console {

// Runs the console with the command-line arguments `args` (without the program name):
//   -d <file>     database file; default: $CONSOLIDA_SQL_HOST when set, otherwise Consolida.db
//                 in the application folder ($CONSOLIDA_APP_FOLDER, else the folder of the
//                 executable). A file that does not exist is created with the schema scripts.
//   -i <file>     runs a script; may be given more than once (files run in order).
//   -Q <text>     runs the text as the script.
//   -b            stops at the first batch that reports an error.
//   -? or --help  writes the usage line to `out` and runs nothing.
// Without -i and -Q the script is read from `in`. Batches are separated by lines holding only
// GO (any case, blanks around it, LF or CR LF). For each batch the result sets go to `out` as the
// engine's text form, and each error to `err` as "Msg N, Level L, State S, Line K" and its
// message. Returns 0 when nothing failed, 1 when any batch reported an error, the arguments were
// wrong, or a file could not be opened.
int RunConsole(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
               std::ostream& err);

}  // namespace sql_console
