// Reads .xls workbooks through FreeXL and turns its cells into runtime::Valor. FreeXL's error
// codes become one VbError whose description names the file and what is wrong with it.
#include "platform/sheet/xls_reader.h"

#include <freexl.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string_view>

#include "platform/runtime/conversions.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/text.h"
#include "platform/runtime/vb_error.h"
#include "platform/sheet/internal/biff_reader.h"
#include "platform/sheet/internal/compound_file.h"

namespace sheet {

namespace {

[[noreturn]] void Unreadable(const std::string& path, const std::string& reason) {
  throw runtime::VbError(kErrUnreadableWorkbook, kReaderSource,
                         "El archivo '" + path + "' no se puede leer como libro de Excel: " +
                             reason);
}

constexpr const char* kEncryptedReason = "está protegido con contraseña (cifrado)";
constexpr const char* kNoSheetReason = "no tiene ninguna hoja";
constexpr const char* kUnparsableReason =
    "tiene registros que no se pueden interpretar (dañados o no admitidos)";

std::vector<uint8_t> FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
}

constexpr uint8_t kCompoundSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};

bool HasCompoundSignature(const std::vector<uint8_t>& file) {
  return file.size() >= 8 && std::equal(file.begin(), file.begin() + 8, kCompoundSignature);
}

bool HasCompoundSignature(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char head[8] = {};
  in.read(head, sizeof head);
  return HasCompoundSignature(std::vector<uint8_t>(head, head + in.gcount()));
}

std::string ReasonOf(int code, const std::string& path) {
  switch (code) {
    case FREEXL_CFBF_READ_ERROR:
      // FreeXL gives a read error both for a file of another kind and for a compound file cut
      // short; the signature tells them apart.
      return HasCompoundSignature(path) ? "está dañado (incompleto o truncado)"
                                        : "no es un libro de Excel 97-2003 (.xls)";
    case FREEXL_INVALID_CFBF_HEADER:
    case FREEXL_CFBF_INVALID_SIGNATURE:
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
    case FREEXL_BIFF_INVALID_BOF:
      return "no es un libro de Excel 97-2003 (.xls)";
    case FREEXL_UNSUPPORTED_CHARSET:
    case FREEXL_INVALID_CHARACTER:
      return "su texto usa un juego de caracteres que no se puede convertir";
    case FREEXL_INSUFFICIENT_MEMORY:
      return "no hay memoria suficiente";
    default:
      return "está dañado (código FreeXL " + std::to_string(code) + ")";
  }
}

// The Workbook stream (BIFF8) or Book stream (BIFF5) of a compound file.
std::optional<std::vector<uint8_t>> WorkbookStream(const std::vector<uint8_t>& file) {
  std::optional<std::vector<uint8_t>> stream = internal::ReadCompoundStream(file, "Workbook");
  if (!stream) stream = internal::ReadCompoundStream(file, "Book");
  return stream;
}

// True when the workbook's globals carry a FILEPASS record: everything after it is encrypted.
// FreeXL either flags it or fails on the scrambled records that follow, so the reader looks for
// itself to give the real reason.
bool IsEncrypted(const std::optional<std::vector<uint8_t>>& stream) {
  if (!stream) return false;
  constexpr uint16_t kFilepass = 0x002F;
  constexpr uint16_t kEof = 0x000A;
  for (size_t at = 0; at + 4 <= stream->size();) {
    const uint16_t id = static_cast<uint16_t>((*stream)[at] | (*stream)[at + 1] << 8);
    const uint16_t length = static_cast<uint16_t>((*stream)[at + 2] | (*stream)[at + 3] << 8);
    if (id == kFilepass) return true;
    if (id == kEof) return false;
    at += 4 + length;
  }
  return false;
}

// Opens `records` (a checked Workbook stream) with FreeXL from a plain compound file of our
// own: FreeXL then reads exactly these bytes, whatever the original container's mini stream,
// sector chains or directory would have led it to. The copy is unlinked once open (FreeXL
// keeps reading through its open file). Returns FreeXL's code; `*h` as freexl_open leaves it.
int OpenCheckedCopy(std::vector<uint8_t> records, const void** h) {
  if (records.size() < 4096) records.resize(4096, 0);  // zeros after the last EOF: no records
  const std::vector<uint8_t> copy = internal::BuildCompoundFile(records);
  std::string name = (std::filesystem::temp_directory_path() / "consolida-xls-XXXXXX").string();
  const int fd = ::mkstemp(name.data());
  if (fd < 0) return FREEXL_FILE_NOT_FOUND;
  const bool written = ::write(fd, copy.data(), copy.size()) == static_cast<ssize_t>(copy.size());
  ::close(fd);
  const int rc = written ? freexl_open(name.c_str(), h) : FREEXL_CFBF_READ_ERROR;
  std::error_code ignored;
  std::filesystem::remove(name, ignored);
  return rc;
}

// An open FreeXL handle; closed on every path, as FreeXL asks even after a failed open.
class Handle {
 public:
  // FreeXL trusts the lengths and counts in a file as they come: it sizes buffers by them and
  // reads on past a record's end. So the container and the workbook's records are checked here
  // first, and FreeXL only reads a workbook whose records the record reader accepted, with the
  // same number of sheets; anything else is read from the records or refused.
  explicit Handle(const std::string& path) : path_(path) {
    const std::vector<uint8_t> file = FileBytes(path);
    if (std::optional<std::string> fault = internal::ContainerFault(file)) {
      Unreadable(path, "está dañado (" + *fault + ")");
    }
    std::optional<std::vector<uint8_t>> stream = WorkbookStream(file);
    if (!stream && HasCompoundSignature(file)) {
      // FreeXL may still find a stream where the container's own chains lead nowhere: it
      // would read other bytes than these.
      Unreadable(path, file.size() < 512 ? "está dañado (incompleto o truncado)"
                                         : "no tiene un flujo Workbook legible (falta o está dañado)");
    }
    if (IsEncrypted(stream)) Unreadable(path, kEncryptedReason);
    std::optional<internal::BiffWorkbook> checked;
    if (stream) {
      records_ = *stream;
      try {
        checked.emplace(std::move(*stream));
        checked->CheckSheets();
      } catch (const internal::BiffError&) {
        Unreadable(path, kUnparsableReason);
      }
      if (checked->SheetNames().empty()) Unreadable(path, kNoSheetReason);
      // FreeXL counts day by day up to a date: a date far past 9999 would take it minutes. It
      // sizes a sheet by its DIMENSIONS record and loses (and leaks) a cell outside it; with a
      // sheet lacking that record, or a second one, it sizes the wrong sheet and leaks; at an
      // end marker it stops reading and takes the sheets after it as empty. It judges date
      // formats by their letters ("0 \"meses\"" would make a number a time) and counts dates
      // with a leap year every fourth year.
      if (checked->HasDatesOutOfRange() || checked->HasCellsOutsideDimensions() ||
          checked->HasIrregularLayout() || checked->HasCellsFreexlReadsOtherwise()) {
        biff_ = std::move(checked);
        return;
      }
    }
    // A file that is no compound file goes to FreeXL as it is, for its reason.
    const int rc = checked ? OpenCheckedCopy(std::move(records_), &h_) : freexl_open(path.c_str(), &h_);
    if (checked && rc == FREEXL_FILE_NOT_FOUND) Unreadable(path, "no se pudo copiar a una carpeta temporal");
    try {
      if (rc == FREEXL_FILE_NOT_FOUND) {
        throw runtime::VbError(
            runtime::kVbFileNotFound, runtime::kVbRuntimeSource,
            std::string(runtime::VbErrorDescription(runtime::kVbFileNotFound)) + ": " + path);
      }
      unsigned password = 0;
      unsigned sheets = 0;
      if (h_ != nullptr && rc == FREEXL_OK &&
          freexl_get_info(h_, FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK &&
          password != FREEXL_BIFF_OBFUSCATED &&
          freexl_get_info(h_, FREEXL_BIFF_SHEET_COUNT, &sheets) == FREEXL_OK && checked &&
          sheets == checked->SheetNames().size()) {
        return;
      }
      // Records FreeXL does not parse (a chart inside a sheet, a Macintosh code page, BIFF5
      // without a code page), or a workbook where FreeXL found other sheets than its records
      // list, are read from the Workbook stream itself.
      if (checked) {
        biff_ = std::move(checked);
        if (h_ != nullptr) freexl_close(h_);
        h_ = nullptr;
        return;
      }
      Unreadable(path, rc != FREEXL_OK ? ReasonOf(rc, path) : kUnparsableReason);
    } catch (...) {
      // The destructor does not run for a constructor that throws.
      if (h_ != nullptr) freexl_close(h_);
      throw;
    }
  }
  ~Handle() {
    if (h_ != nullptr) freexl_close(h_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  const void* get() const { return h_; }
  // The workbook read from its records when FreeXL refused it; empty on the FreeXL path.
  const std::optional<internal::BiffWorkbook>& biff() const { return biff_; }
  const std::string& path() const { return path_; }

  unsigned SheetCount() const {
    if (biff_) return static_cast<unsigned>(biff_->SheetNames().size());
    unsigned count = 0;
    const int rc = freexl_get_info(h_, FREEXL_BIFF_SHEET_COUNT, &count);
    if (rc != FREEXL_OK) Unreadable(path_, ReasonOf(rc, path_));
    return count;
  }

  std::string SheetName(unsigned index) const {
    if (biff_) return biff_->SheetNames().at(index);
    const char* name = nullptr;
    const int rc = freexl_get_worksheet_name(h_, static_cast<unsigned short>(index), &name);
    if (rc != FREEXL_OK) Unreadable(path_, ReasonOf(rc, path_));
    return name != nullptr ? name : "";
  }

 private:
  const void* h_ = nullptr;
  std::string path_;
  std::vector<uint8_t> records_;  // the checked Workbook stream, until FreeXL has it
  std::optional<internal::BiffWorkbook> biff_;
};

// Reads whole numbers from the start of `text`, the k-th separator of `separators` between the
// k-th and the next; true when all of them were there.
bool ReadWholeNumbers(std::string_view text, std::string_view separators,
                      std::initializer_list<int*> fields) {
  const char* at = text.data();
  const char* const end = text.data() + text.size();
  size_t k = 0;
  for (int* field : fields) {
    if (k > 0) {
      if (at == end || *at != separators[k - 1]) return false;
      ++at;
    }
    const auto [next, error] = std::from_chars(at, end, *field);
    if (error != std::errc()) return false;
    at = next;
    ++k;
  }
  return true;
}

// FreeXL gives date cells only as text: "YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS" or "HH:MM:SS".
runtime::Valor DateValue(const char* text, int type) {
  int y = 1899, mo = 12, d = 30, h = 0, mi = 0, s = 0;
  bool ok = false;
  if (type == FREEXL_CELL_DATE) {
    ok = ReadWholeNumbers(text, "--", {&y, &mo, &d});
  } else if (type == FREEXL_CELL_DATETIME) {
    ok = ReadWholeNumbers(text, "-- ::", {&y, &mo, &d, &h, &mi, &s});
  } else {
    ok = ReadWholeNumbers(text, "::", {&h, &mi, &s});
  }
  if (!ok) return runtime::Valor::String(text);
  try {
    return runtime::Valor::Date(runtime::MakeDate(y, mo, d, h, mi, s));
  } catch (const runtime::VbError&) {
    return runtime::Valor::String(text);
  }
}

runtime::Valor CellValue(const FreeXL_CellValue& v) {
  switch (v.type) {
    case FREEXL_CELL_INT: return runtime::Valor::Double(v.value.int_value);
    case FREEXL_CELL_DOUBLE: return runtime::Valor::Double(v.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
      return runtime::Valor::String(v.value.text_value != nullptr ? v.value.text_value : "");
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
      return v.value.text_value != nullptr ? DateValue(v.value.text_value, v.type)
                                           : runtime::Valor::Null();
    default: return runtime::Valor::Null();
  }
}

SheetGrid ReadGrid(const Handle& h, unsigned index) {
  if (index >= h.SheetCount()) Unreadable(h.path(), "no tiene la hoja " + std::to_string(index + 1));
  if (h.biff()) {
    try {
      return h.biff()->ReadGrid(index);
    } catch (const internal::BiffError&) {
      Unreadable(h.path(), kUnparsableReason);
    }
  }
  SheetGrid grid;
  grid.name = h.SheetName(index);
  int rc = freexl_select_active_worksheet(h.get(), static_cast<unsigned short>(index));
  if (rc != FREEXL_OK) Unreadable(h.path(), ReasonOf(rc, h.path()));
  unsigned rows = 0;
  unsigned short columns = 0;
  rc = freexl_worksheet_dimensions(h.get(), &rows, &columns);
  if (rc != FREEXL_OK) Unreadable(h.path(), ReasonOf(rc, h.path()));
  grid.row_count = rows;
  grid.column_count = columns;
  grid.rows.reserve(rows);
  for (unsigned r = 0; r < rows; ++r) {
    std::vector<runtime::Valor> row;
    row.reserve(columns);
    for (unsigned short c = 0; c < columns; ++c) {
      FreeXL_CellValue v;
      rc = freexl_get_cell_value(h.get(), r, c, &v);
      if (rc != FREEXL_OK) Unreadable(h.path(), ReasonOf(rc, h.path()));
      row.push_back(CellValue(v));
    }
    grid.rows.push_back(std::move(row));
  }
  return grid;
}

std::string ColumnName(const runtime::Valor& header, size_t column) {
  if (header.IsNull()) return "F" + std::to_string(column + 1);
  std::string name = runtime::CStr(header);
  return name.empty() ? "F" + std::to_string(column + 1) : name;
}

}  // namespace

int SheetTable::ColumnIndex(std::string_view name) const {
  const std::string wanted = runtime::UCase(name);
  for (size_t k = 0; k < columns.size(); ++k) {
    if (runtime::UCase(columns[k]) == wanted) return static_cast<int>(k);
  }
  return -1;
}

std::vector<std::string> SheetNames(const std::string& path) {
  Handle h(path);
  std::vector<std::string> names;
  const unsigned count = h.SheetCount();
  for (unsigned k = 0; k < count; ++k) names.push_back(h.SheetName(k));
  return names;
}

SheetGrid ReadSheet(const std::string& path, unsigned index) {
  Handle h(path);
  return ReadGrid(h, index);
}

SheetTable ReadFirstWorksheet(const std::string& path) {
  SheetGrid grid = ReadSheet(path, 0);
  SheetTable table;
  table.sheet_name = std::move(grid.name);
  if (grid.rows.empty()) return table;
  for (size_t c = 0; c < grid.column_count; ++c) {
    table.columns.push_back(ColumnName(grid.rows[0][c], c));
  }
  for (size_t r = 1; r < grid.rows.size(); ++r) {
    bool all_empty = true;
    for (const runtime::Valor& v : grid.rows[r]) all_empty = all_empty && v.IsNull();
    if (!all_empty) table.rows.push_back(std::move(grid.rows[r]));
  }
  return table;
}

}  // namespace sheet
