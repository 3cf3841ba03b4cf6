// Writes DBF tables: dBase III or Visual FoxPro tables with C, N, D, L and I fields, live and
// deleted records. The demo writes its survey forms and roll with it, and the tests build the
// tables they import. It never writes memo files, nullable fields or other types.
//
// Usage:
//   dbf::DbfTable table;                                // dBase III (0x03), code page byte 0x03
//   table.fields = {{"UNICO", 'C', 10}, {"VALOR", 'N', 12, 2}, {"FECHA", 'D', 8},
//                   {"ACTIVO", 'L', 1}};
//   table.records = {{{"A001", "1234.5", "20240131", "T"}},
//                    {{"A002", "", "", ""}, /*deleted=*/true}};
//   dbf::WriteDbf(folder + "/Padron.dbf", table);
// Values are given as text: C as the raw bytes (already in the table's code page), N as a number
// ("" = blank), D as "YYYYMMDD" ("" = blank), L as "T"/"F" ("" = blank), I as a decimal integer
// ("" = 0). I fields need table.flavor = DbfFlavor::kVisualFoxPro.
#pragma once

#include <string>
#include <vector>

namespace dbf {

enum class DbfFlavor {
  kDbase3,         // version byte 0x03, header = 32 + 32n + 1
  kVisualFoxPro,   // version byte 0x30, header adds the 263-byte backlink
};

struct DbfField {
  std::string name;  // up to 10 characters
  char type = 'C';   // 'C', 'N', 'D', 'L' or 'I'
  int length = 10;   // ignored for D (8), L (1) and I (4)
  int decimals = 0;  // N only
};

struct DbfRecord {
  std::vector<std::string> values;  // one per field, in field order
  bool deleted = false;
};

struct DbfTable {
  DbfFlavor flavor = DbfFlavor::kDbase3;
  unsigned char code_page = 0x03;  // header byte 29; 0x03 = Windows-1252
  std::vector<DbfField> fields;
  std::vector<DbfRecord> records;
};

// The bytes of `table` as a .dbf file (header, descriptors, records, 0x1A end mark).
// Throws std::invalid_argument for a value that does not fit its field or a wrong value count.
std::string DbfBytes(const DbfTable& table);

// Writes DbfBytes(table) to `path`, replacing any file there. Throws std::runtime_error when the
// file cannot be written.
void WriteDbf(const std::string& path, const DbfTable& table);

}  // namespace dbf
