// A small DBF table writer for tests: builds dBase III or Visual FoxPro tables with C, N, D, L
// and I fields, live and deleted records, so importers can be tested on files made on the spot.
// Header-only, test code only; it never writes memo files, nullable fields or other types.
//
// Usage:
//   test_support::DbfTable table;                       // dBase III (0x03), code page byte 0x03
//   table.fields = {{"UNICO", 'C', 10}, {"VALOR", 'N', 12, 2}, {"FECHA", 'D', 8},
//                   {"ACTIVO", 'L', 1}};
//   table.records = {{{"A001", "1234.5", "20240131", "T"}},
//                    {{"A002", "", "", ""}, /*deleted=*/true}};
//   test_support::WriteDbf(folder + "/Padron.dbf", table);
// Values are given as text: C as the raw bytes (already in the table's code page), N as a number
// ("" = blank), D as "YYYYMMDD" ("" = blank), L as "T"/"F" ("" = blank), I as a decimal integer
// ("" = 0). I fields need table.flavor = DbfFlavor::kVisualFoxPro.
#pragma once

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace test_support {

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

namespace dbf_writer_detail {

inline int StoredLength(const DbfField& field) {
  switch (field.type) {
    case 'D': return 8;
    case 'L': return 1;
    case 'I': return 4;
    case 'C':
    case 'N': return field.length;
  }
  throw std::invalid_argument("DbfWriter: unsupported field type for " + field.name);
}

inline void PutLe(std::string& out, size_t at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

inline std::string Fit(const std::string& text, int width, bool right, const std::string& field) {
  if (static_cast<int>(text.size()) > width) {
    throw std::invalid_argument("DbfWriter: value too wide for field " + field + ": " + text);
  }
  std::string pad(width - text.size(), ' ');
  return right ? pad + text : text + pad;
}

inline std::string StoredValue(const DbfField& field, const std::string& value) {
  const int width = StoredLength(field);
  switch (field.type) {
    case 'C': return Fit(value, width, false, field.name);
    case 'N': {
      if (value.empty()) return std::string(width, ' ');
      // Written with a point whatever the process locale, as dBase writes it.
      double number = 0;
      std::from_chars(value.data(), value.data() + value.size(), number);
      char buffer[64];
      const auto end = std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::fixed,
                                     field.decimals);
      return Fit(std::string(buffer, end.ptr), width, true, field.name);
    }
    case 'D':
      if (!value.empty() && value.size() != 8) {
        throw std::invalid_argument("DbfWriter: date must be YYYYMMDD in " + field.name);
      }
      return Fit(value, 8, false, field.name);
    case 'L': return value.empty() ? std::string(" ") : value.substr(0, 1);
    case 'I': {
      std::string out(4, '\0');
      PutLe(out, 0, static_cast<uint32_t>(static_cast<int32_t>(std::strtol(value.c_str(), nullptr, 10))), 4);
      return out;
    }
  }
  return {};
}

}  // namespace dbf_writer_detail

// The bytes of `table` as a .dbf file (header, descriptors, records, 0x1A end mark).
// Throws std::invalid_argument for a value that does not fit its field or a wrong value count.
inline std::string DbfBytes(const DbfTable& table) {
  using namespace dbf_writer_detail;
  const bool vfp = table.flavor == DbfFlavor::kVisualFoxPro;
  const size_t header_length = 32 + 32 * table.fields.size() + 1 + (vfp ? 263 : 0);
  size_t record_length = 1;
  for (const DbfField& field : table.fields) record_length += StoredLength(field);

  std::string out(header_length, '\0');
  out[0] = static_cast<char>(vfp ? 0x30 : 0x03);
  out[1] = static_cast<char>(124);  // last update 2024-01-01
  out[2] = 1;
  out[3] = 1;
  PutLe(out, 4, static_cast<uint32_t>(table.records.size()), 4);
  PutLe(out, 8, static_cast<uint32_t>(header_length), 2);
  PutLe(out, 10, static_cast<uint32_t>(record_length), 2);
  out[29] = static_cast<char>(table.code_page);
  size_t at = 32;
  uint32_t displacement = 1;
  for (const DbfField& field : table.fields) {
    if (field.name.size() > 10) throw std::invalid_argument("DbfWriter: name too long: " + field.name);
    out.replace(at, field.name.size(), field.name);
    out[at + 11] = field.type;
    if (vfp) PutLe(out, at + 12, displacement, 4);
    out[at + 16] = static_cast<char>(StoredLength(field));
    out[at + 17] = static_cast<char>(field.type == 'N' ? field.decimals : 0);
    displacement += StoredLength(field);
    at += 32;
  }
  out[at] = 0x0D;

  for (const DbfRecord& record : table.records) {
    if (record.values.size() != table.fields.size()) {
      throw std::invalid_argument("DbfWriter: record has the wrong number of values");
    }
    out += record.deleted ? '*' : ' ';
    for (size_t i = 0; i < table.fields.size(); ++i) {
      out += StoredValue(table.fields[i], record.values[i]);
    }
  }
  out += '\x1A';
  return out;
}

// Writes DbfBytes(table) to `path`, replacing any file there. Throws std::runtime_error when the
// file cannot be written.
inline void WriteDbf(const std::string& path, const DbfTable& table) {
  std::string bytes = DbfBytes(table);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("DbfWriter: cannot write " + path);
}

}  // namespace test_support
