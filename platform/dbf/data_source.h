// The DBF data source behind the database client: named data sources (as ODBC keeps them in
// its configuration) each point at a folder of DBF files, and the provider "MSDASQL" opens a
// session on one of them. Sits in platform/; knows nothing of the system's folders or tables.
#pragma once

#include <optional>
#include <string_view>
#include <string>

namespace dbf {

// Registers the provider "MSDASQL" with the database client, so that a connection string such
// as "Provider=MSDASQL.1;Persist Security Info=False;Data Source=DBFFOXNOV" opens a session on
// the data source of that name. Calling it again changes nothing.
//
// A session answers "Select * from <table>" (any letter case, blanks free, an optional ";"),
// where <table> is a file of the folder named with or without its ".dbf" extension, matched
// without regard to case, optionally in [brackets] or "quotes". It returns every live record of
// the file (see dbf_reader.h for the column types and values); what the reader had to assume to
// read it (its notices) becomes the connection's Errors, number kOdbcWarningNumber. The key
// "Deleted=No" in the connection string returns deleted records too. Any other statement, a
// name with a folder in it, or a file that is not there is an error; sessions have no
// transactions.
void RegisterProvider();

// Defines the data source `name` (matched without regard to case) over `folder`, replacing an
// earlier definition of that name. The folder is checked when a connection is opened, not here.
// `default_code_page` is the code page of tables whose header records none (mark 0).
void DefineDataSource(const std::string& name, const std::string& folder,
                      int default_code_page = 1252);

// Forgets the data source `name`; nothing happens when there is none.
void RemoveDataSource(const std::string& name);

// The file a "Select * from <table>" statement reads: the table name as written (without
// brackets or quotes), or nullopt when the statement is anything else.
std::optional<std::string> SelectedTable(std::string_view sql);

// What an open fails with, as the ODBC bridge reports it on a Spanish Windows (thrown as
// runtime::VbError).
inline constexpr long kOdbcErrorNumber = -2147467259;  // E_FAIL
inline constexpr const char* kOdbcErrorSource = "Microsoft OLE DB Provider for ODBC Drivers";
// The number of a warning: the statement succeeded (SQL_SUCCESS_WITH_INFO).
inline constexpr long kOdbcWarningNumber = 0;
inline constexpr const char* kDataSourceNotFound =
    "[Microsoft][Administrador de controladores ODBC] No se encuentra el nombre del origen de "
    "datos y no se especificó ningún controlador predeterminado";

}  // namespace dbf
