// Helpers shared by the spreadsheet tests: a cell value as one comparable text, and a reader of
// the BIFF records of a written Workbook stream, so that tests can look at the bytes a
// spreadsheet program will see.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/runtime/conversions.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/valor.h"
#include "tests/support/temp_folder.h"

namespace test_support {

// A read cell: "null", a number as CStr writes it, 'text' or #date#.
inline std::string Show(const runtime::Valor& v) {
  switch (v.Type()) {
    case runtime::VarType::kNull: return "null";
    case runtime::VarType::kDouble: return runtime::CStrDouble(v.AsDouble());
    case runtime::VarType::kString: return "'" + v.AsString() + "'";
    case runtime::VarType::kDate: return "#" + runtime::CStrDate(v.AsDate()) + "#";
    default: return "<subtype " + std::to_string(static_cast<int>(v.Type())) + ">";
  }
}

struct Record {
  uint16_t id = 0;
  size_t offset = 0;  // position of the record header in the stream
  std::vector<uint8_t> data;

  uint16_t U16(size_t at) const { return static_cast<uint16_t>(data.at(at) | data.at(at + 1) << 8); }
  uint32_t U32(size_t at) const { return U16(at) | static_cast<uint32_t>(U16(at + 2)) << 16; }
  double F64(size_t at) const {
    uint64_t bits = static_cast<uint64_t>(U32(at)) | static_cast<uint64_t>(U32(at + 4)) << 32;
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
  }
};

// The records of a stream up to its zero padding. Fails the calling test (by returning what was
// read so far and setting `ok` false) when a record runs past the end.
inline std::vector<Record> ParseRecords(const std::vector<uint8_t>& stream, bool* ok = nullptr) {
  std::vector<Record> out;
  size_t at = 0;
  if (ok) *ok = true;
  while (at + 4 <= stream.size()) {
    Record r;
    r.id = static_cast<uint16_t>(stream[at] | stream[at + 1] << 8);
    const size_t length = static_cast<size_t>(stream[at + 2] | stream[at + 3] << 8);
    if (r.id == 0 && length == 0) break;
    if (at + 4 + length > stream.size()) {
      if (ok) *ok = false;
      break;
    }
    r.offset = at;
    r.data.assign(stream.begin() + at + 4, stream.begin() + at + 4 + length);
    out.push_back(std::move(r));
    at += 4 + length;
  }
  return out;
}

inline std::vector<Record> RecordsWithId(const std::vector<Record>& all, uint16_t id) {
  std::vector<Record> out;
  for (const Record& r : all) {
    if (r.id == id) out.push_back(r);
  }
  return out;
}

}  // namespace test_support
