// The DBF data source behind the database client: named data sources (as ODBC keeps them in
// its configuration) each point at a folder of DBF files, and the provider "MSDASQL" opens a
// session on one of them. Sits in platform/; knows nothing of the system's folders or tables.
#pragma once

#include <optional>
#include <string>

namespace dbf {

// Registers the provider "MSDASQL" with the database client, so that a connection string such
// as "Provider=MSDASQL.1;Persist Security Info=False;Data Source=DBFFOXNOV" opens a session on
// the data source of that name. Calling it again changes nothing.
void RegisterProvider();

// Defines the data source `name` (matched without regard to case) over `folder`, replacing an
// earlier definition of that name. The folder is checked when a connection is opened, not here.
void DefineDataSource(const std::string& name, const std::string& folder);

// Forgets the data source `name`; nothing happens when there is none.
void RemoveDataSource(const std::string& name);

// The folder of the data source `name`, or nullopt when none is defined.
std::optional<std::string> DataSourceFolder(const std::string& name);

// What an open fails with, as the ODBC bridge reports it (thrown as runtime::VbError).
inline constexpr long kOdbcErrorNumber = -2147467259;  // E_FAIL
inline constexpr const char* kOdbcErrorSource = "Microsoft OLE DB Provider for ODBC Drivers";
inline constexpr const char* kDataSourceNotFound =
    "[Microsoft][ODBC Driver Manager] Data source name not found and no default driver specified";

}  // namespace dbf
