#include "platform/dbf/dbf_writer.h"

#include <charconv>
#include <cstdint>
#include <fstream>
#include <stdexcept>

namespace dbf {

namespace {

int StoredLength(const DbfField& field) {
  switch (field.type) {
    case 'D': return 8;
    case 'L': return 1;
    case 'I': return 4;
    case 'C':
    case 'N': return field.length;
  }
  throw std::invalid_argument("DbfWriter: unsupported field type for " + field.name);
}

void PutLe(std::string& out, size_t at, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

std::string Fit(const std::string& text, int width, bool right, const std::string& field) {
  if (static_cast<int>(text.size()) > width) {
    throw std::invalid_argument("DbfWriter: value too wide for field " + field + ": " + text);
  }
  std::string pad(width - text.size(), ' ');
  return right ? pad + text : text + pad;
}

std::string StoredValue(const DbfField& field, const std::string& value) {
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
      int32_t number = 0;
      std::from_chars(value.data(), value.data() + value.size(), number);
      std::string out(4, '\0');
      PutLe(out, 0, static_cast<uint32_t>(number), 4);
      return out;
    }
  }
  return {};
}

}  // namespace

// The bytes of `table` as a .dbf file (header, descriptors, records, 0x1A end mark).
// Throws std::invalid_argument for a value that does not fit its field or a wrong value count.
std::string DbfBytes(const DbfTable& table) {
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
void WriteDbf(const std::string& path, const DbfTable& table) {
  std::string bytes = DbfBytes(table);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error("DbfWriter: cannot write " + path);
}

}  // namespace dbf
