// The DBF table reader (see dbf_reader.h): header and field descriptors, record decoding per
// field type, memo look-ups and code-page decoding. Every offset read from the file is checked
// against the file's size first, so a damaged table is refused with a reason, never read past.
#include "platform/dbf/dbf_reader.h"

#include <bit>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <stdexcept>

#include "platform/dbf/code_page.h"
#include "platform/dbf/data_source.h"
#include "platform/dbf/memo_file.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/files.h"
#include "platform/runtime/utf8.h"
#include "platform/runtime/vb_error.h"

namespace dbf {
namespace {

static_assert(std::endian::native == std::endian::little, "DBF binary fields are little-endian");

using runtime::Valor;

constexpr uint8_t kFlagNullable = 0x02;
constexpr uint8_t kFlagBinary = 0x04;
constexpr long kMemoSize = 2147483647;
constexpr int kNotApplicable = 255;  // what ADO reports for a precision or scale that has no meaning
constexpr long kJulianDayOfDayZero = 2415019;  // 30/12/1899

struct Column {
  std::string name;
  char type = 'C';
  size_t offset = 0;  // within the record, the deletion flag being byte 0
  size_t length = 0;
  int decimals = 0;
  uint8_t flags = 0;  // Visual FoxPro only
  int null_bit = -1;
  int varlength_bit = -1;
  sql::FieldInfo info;
};

bool IsVisualFoxPro(int version) { return version >= 0x30 && version <= 0x32; }

bool IsKnownVersion(int version) {
  switch (version) {
    case 0x03: case 0x30: case 0x31: case 0x32: case 0x43: case 0x63:
    case 0x83: case 0x8B: case 0xCB: case 0xF5: case 0xFB:
      return true;
  }
  return false;
}

std::string Hex(int byte) {
  static const char kDigits[] = "0123456789ABCDEF";
  return std::string("0x") + kDigits[(byte >> 4) & 0xF] + kDigits[byte & 0xF];
}

uint32_t Le32(const char* p) {
  uint32_t value;
  std::memcpy(&value, p, 4);
  return value;
}

std::string_view TrimBlanks(std::string_view text) {
  size_t begin = text.find_first_not_of(' ');
  if (begin == std::string_view::npos) return {};
  return text.substr(begin, text.find_last_not_of(' ') - begin + 1);
}

// Thrown by a read that takes a table's text as UTF-8 when some of it is not: the table is then
// read again in the default code page.
struct NotUtf8 {};

// Reads one table; each instance serves one attempt of a ReadTable call.
class TableReader {
 public:
  // `utf8_for_unlisted_mark`: a code-page mark that no table lists means UTF-8 (else the default
  // code page).
  TableReader(std::string path, const ReadOptions& options, bool utf8_for_unlisted_mark)
      : path_(std::move(path)),
        options_(options),
        utf8_for_unlisted_mark_(utf8_for_unlisted_mark) {}

  TableContents Read() {
    Load();
    ReadHeader();
    ReadColumns();
    AssignNullBits();
    OpenMemo();
    ReadRecords();
    return std::move(contents_);
  }

 private:
  std::string Described(const std::string& reason) const {
    return "[Consolida][DBF] " + path_ + ": " + reason;
  }

  [[noreturn]] void Fail(const std::string& reason) const {
    throw runtime::VbError(kOdbcErrorNumber, kOdbcErrorSource, Described(reason));
  }

  // Text of the table (field names, C, V and memo values) in UTF-8.
  std::string Text(std::string_view bytes) const {
    if (!utf8_) return decoder_->ToUtf8(bytes);
    if (!runtime::IsValidUtf8(bytes)) throw NotUtf8{};
    return std::string(bytes);
  }

  void Load() {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path_, error)) Fail("el archivo no existe");
    std::ifstream file(path_, std::ios::binary);
    if (!file) Fail("el archivo no se puede abrir");
    bytes_.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (file.bad()) Fail("el archivo no se puede leer");
  }

  uint8_t Byte(size_t at) const { return static_cast<uint8_t>(bytes_[at]); }

  void ReadHeader() {
    if (bytes_.size() < 32) {
      Fail("la cabecera está incompleta (" + std::to_string(bytes_.size()) + " bytes)");
    }
    version_ = Byte(0);
    contents_.version = version_;
    if (version_ == 0x04 || version_ == 0x8C) Fail("las tablas de dBase 7 no se admiten");
    // Byte 0x02 marks dBase II and FoxBASE tables, whose header has another layout.
    if (version_ == 0x02) Fail("las tablas de dBase II y FoxBASE no se admiten");
    if (!IsKnownVersion(version_)) {
      Fail("no es una tabla DBF (byte de versión " + Hex(version_) + ")");
    }
    contents_.records_in_header = static_cast<long>(Le32(&bytes_[4]));
    header_length_ = Byte(8) | (Byte(9) << 8);
    record_length_ = Byte(10) | (Byte(11) << 8);
    if (header_length_ > bytes_.size()) {
      Fail("la cabecera está incompleta (declara " + std::to_string(header_length_) +
           " bytes y el archivo tiene " + std::to_string(bytes_.size()) + ")");
    }

    const int mark = Byte(29);
    int code_page = options_.forced_code_page;
    if (code_page == 0 && mark != 0) {
      code_page = CodePageOfMark(mark);
      // A mark that no table lists: tools that store UTF-8 text write 0xF0 and the like.
      if (code_page == 0) {
        utf8_ = utf8_for_unlisted_mark_;
        code_page = utf8_ ? kUtf8CodePage : options_.default_code_page;
        contents_.notices.push_back(Described(
            "la marca de página de códigos " + Hex(mark) + " no figura en ninguna tabla; " +
            (utf8_ ? std::string("el texto se leyó como UTF-8")
                   : "el texto se leyó con la página de códigos " + CodePageName(code_page))));
      }
    }
    if (code_page == 0) code_page = options_.default_code_page;
    contents_.code_page = code_page;
    if (utf8_) return;
    if (!IsSupportedCodePage(code_page)) {
      Fail("la página de códigos " + CodePageName(code_page) + " no se admite");
    }
    decoder_ = std::make_unique<TextDecoder>(code_page);
  }

  void ReadColumns() {
    size_t at = 32;
    size_t offset = 1;
    while (true) {
      if (at >= header_length_) Fail("la lista de campos no termina dentro de la cabecera");
      if (Byte(at) == 0x0D) break;
      if (at + 32 > header_length_) Fail("la lista de campos está incompleta");
      Column column;
      const char* descriptor = &bytes_[at];
      // Some writers leave garbage after the name's NUL: the name ends at the first NUL.
      column.name = Text(TrimBlanks(std::string_view(descriptor, strnlen(descriptor, 11))));
      column.type = static_cast<char>(std::toupper(static_cast<unsigned char>(descriptor[11])));
      column.length = Byte(at + 16);
      column.decimals = Byte(at + 17);
      column.flags = IsVisualFoxPro(version_) ? Byte(at + 18) : 0;
      column.offset = offset;
      if (column.length == 0) Fail("el campo " + column.name + " tiene longitud 0");
      Describe(column);
      offset += column.length;
      columns_.push_back(std::move(column));
      at += 32;
    }
    if (columns_.empty()) Fail("la tabla no tiene campos");
    fields_end_ = offset;
  }

  void RequireLength(const Column& column, size_t expected) const {
    if (column.length != expected) {
      Fail("el campo " + column.name + " de tipo " + column.type + " tiene longitud " +
           std::to_string(column.length) + " en lugar de " + std::to_string(expected));
    }
  }

  bool IsMemoColumn(const Column& column) const {
    switch (column.type) {
      case 'M': case 'G': case 'P': case 'W': return true;
      case 'B': return !IsVisualFoxPro(version_);  // dBase: a binary memo
    }
    return false;
  }

  // The ADO metadata of each DBF type, as the FoxPro ODBC driver reported it (see the table in
  // dbf_reader.h).
  void Describe(Column& column) const {
    sql::FieldInfo& info = column.info;
    info.name = column.name;
    const long width = static_cast<long>(column.length);
    auto set = [&info](int type, long size, int precision, int scale) {
      info.type = type;
      info.defined_size = size;
      info.precision = precision;
      info.numeric_scale = scale;
    };
    switch (column.type) {
      case 'C':
        if (column.flags & kFlagBinary) set(sql::adBinary, width, kNotApplicable, kNotApplicable);
        else set(sql::adChar, width, kNotApplicable, kNotApplicable);
        return;
      case 'V': set(sql::adVarChar, width, kNotApplicable, kNotApplicable); return;
      case 'Q': set(sql::adVarBinary, width, kNotApplicable, kNotApplicable); return;
      case 'N':
      case 'F': set(sql::adNumeric, 19, static_cast<int>(width), column.decimals); return;
      case 'Y': RequireLength(column, 8); set(sql::adNumeric, 19, 19, 4); return;
      case 'I': RequireLength(column, 4); set(sql::adInteger, 4, 10, kNotApplicable); return;
      case 'D': RequireLength(column, 8); set(sql::adDBDate, 6, 10, kNotApplicable); return;
      case 'T': RequireLength(column, 8); set(sql::adDBTimeStamp, 16, 19, 0); return;
      case 'L': set(sql::adBoolean, 2, kNotApplicable, kNotApplicable); return;
      case '0': return;  // _NullFlags: never reported
      case 'M':
        if (column.flags & kFlagBinary) set(sql::adLongVarBinary, kMemoSize, kNotApplicable, kNotApplicable);
        else set(sql::adLongVarChar, kMemoSize, kNotApplicable, kNotApplicable);
        return;
      case 'B':
        if (IsVisualFoxPro(version_)) {
          RequireLength(column, 8);
          set(sql::adDouble, 8, 15, kNotApplicable);
          return;
        }
        [[fallthrough]];
      case 'G': case 'P': case 'W':
        set(sql::adLongVarBinary, kMemoSize, kNotApplicable, kNotApplicable);
        return;
    }
    Fail("el campo " + column.name + " tiene el tipo '" + std::string(1, column.type) +
         "', que este lector no conoce");
  }

  // One bit of _NullFlags per nullable field, in field order from the lowest bit; a varchar or
  // varbinary field first takes a bit of its own that says its length is stored in its last byte.
  void AssignNullBits() {
    if (!IsVisualFoxPro(version_)) return;
    for (const Column& column : columns_) {
      if (column.type == '0') null_flags_ = &column;
    }
    if (!null_flags_) return;  // nullable marks without _NullFlags (seen in the wild): no NULLs
    int bit = 0;
    for (Column& column : columns_) {
      if (column.type == '0') continue;
      if (column.type == 'V' || column.type == 'Q') column.varlength_bit = bit++;
      if (column.flags & kFlagNullable) column.null_bit = bit++;
    }
    if (static_cast<size_t>(bit) > null_flags_->length * 8) {
      Fail("el campo _NullFlags es demasiado corto para los campos que admiten nulos");
    }
  }

  void OpenMemo() {
    bool needed = false;
    for (const Column& column : columns_) needed = needed || IsMemoColumn(column);
    if (!needed) return;
    std::filesystem::path table(path_);
    std::string base = (table.parent_path() / table.stem()).string();
    struct Candidate { const char* extension; MemoKind kind; };
    std::vector<Candidate> candidates;
    switch (version_) {
      case 0x83: candidates = {{".dbt", MemoKind::kDbase3}}; break;
      case 0x8B: case 0xCB: candidates = {{".dbt", MemoKind::kDbase4}}; break;
      case 0x03: candidates = {{".fpt", MemoKind::kFoxPro}, {".dbt", MemoKind::kDbase3}}; break;
      default: candidates = {{".fpt", MemoKind::kFoxPro}}; break;
    }
    for (const Candidate& candidate : candidates) {
      std::string memo_path = runtime::FindPathIgnoringCase(base + candidate.extension);
      if (!runtime::FileExists(memo_path)) continue;
      try {
        memo_ = std::make_unique<MemoFile>(memo_path, candidate.kind);
        memo_kind_ = candidate.kind;
      } catch (const std::runtime_error& error) {
        Fail(std::string(error.what()) + " (" + memo_path + ")");
      }
      return;
    }
    Fail("falta el archivo de memos " + table.stem().string() + candidates.front().extension);
  }

  size_t RecordStride() const {
    if (record_length_ >= fields_end_) return record_length_;
    // A header whose record length is shorter than its fields: believe the fields when the
    // file's size agrees with them.
    const uint64_t needed =
        header_length_ + static_cast<uint64_t>(contents_.records_in_header) * fields_end_;
    if (needed <= bytes_.size()) return fields_end_;
    Fail("la longitud de registro " + std::to_string(record_length_) +
         " es menor que la de los campos (" + std::to_string(fields_end_) + " bytes)");
  }

  void ReadRecords() {
    for (const Column& column : columns_) {
      if (column.type != '0') contents_.rows.fields.push_back(column.info);
    }
    const size_t stride = RecordStride();
    const uint64_t count = static_cast<uint64_t>(contents_.records_in_header);
    const uint64_t present = (bytes_.size() - header_length_) / stride;
    if (count > present) {
      Fail("la cabecera declara " + std::to_string(count) +
           " registros pero el archivo contiene solo " +
           std::to_string(present));
    }
    for (uint64_t i = 0; i < count; ++i) {
      const char* record = &bytes_[header_length_ + i * stride];
      if (record[0] == '*' && !options_.include_deleted) {
        ++contents_.deleted_skipped;
        continue;
      }
      std::vector<Valor> row;
      row.reserve(contents_.rows.fields.size());
      for (const Column& column : columns_) {
        if (column.type == '0') continue;
        row.push_back(Value(column, record, i + 1));
      }
      contents_.rows.rows.push_back(std::move(row));
    }
  }

  bool NullFlag(const char* record, int bit) const {
    if (bit < 0 || !null_flags_) return false;
    return (static_cast<uint8_t>(record[null_flags_->offset + bit / 8]) >> (bit % 8)) & 1;
  }

  Valor Value(const Column& column, const char* record, uint64_t number) const {
    if (NullFlag(record, column.null_bit)) return Valor::Null();
    std::string_view raw(record + column.offset, column.length);
    auto bad = [&](const std::string& what) {
      Fail("el campo " + column.name + " del registro " + std::to_string(number) + " " + what);
    };
    switch (column.type) {
      case 'C': {
        if (column.flags & kFlagBinary) return Valor::String(std::string(raw));
        size_t end = raw.find_last_not_of(std::string_view(" \0", 2));
        return Valor::String(Text(raw.substr(0, end == std::string_view::npos ? 0 : end + 1)));
      }
      case 'V':
      case 'Q': {
        if (NullFlag(record, column.varlength_bit)) {
          raw = raw.substr(0, std::min<size_t>(static_cast<uint8_t>(raw.back()), raw.size() - 1));
        }
        return Valor::String(column.type == 'V' ? Text(raw) : std::string(raw));
      }
      case 'N':
      case 'F': {
        std::optional<double> number_value = ParseNumber(raw);
        if (!number_value) {
          // A value too wide for its field is stored as asterisks: it is not known.
          if (TrimBlanks(raw).find_first_not_of('*') == std::string_view::npos) return Valor::Null();
          bad("contiene \"" + std::string(TrimBlanks(raw)) + "\", que no es un número");
        }
        return Valor::Decimal(*number_value, column.decimals);
      }
      case 'Y': {
        int64_t units;
        std::memcpy(&units, raw.data(), 8);
        return Valor::Decimal(static_cast<double>(units) / 10000.0, 4);
      }
      case 'I': return Valor::Long(static_cast<int32_t>(Le32(raw.data())));
      case 'D': return Valor::Date(ParseDate(raw));
      case 'T': return Valor::Date(ParseDateTime(raw));
      case 'L': {
        char c = raw[0];
        return Valor::Boolean(c == 'T' || c == 't' || c == 'Y' || c == 'y');
      }
      case 'B':
        if (IsVisualFoxPro(version_)) {
          double value;
          std::memcpy(&value, raw.data(), 8);
          return Valor::Double(value);
        }
        break;
    }
    // Memo types.
    std::optional<uint32_t> block = MemoBlock(raw);
    if (!block) bad("contiene una referencia a un memo que no es un número de bloque");
    if (*block == 0) return Valor::String("");
    std::string bytes;
    try {
      bytes = memo_->Read(*block);
    } catch (const std::runtime_error& error) {
      bad(std::string("remite a un memo que no se puede leer: ") + error.what());
    }
    if (column.info.type != sql::adLongVarChar) return Valor::String(std::move(bytes));
    if (memo_kind_ != MemoKind::kFoxPro && !utf8_) {
      // dBase and Clipper editors mark where they wrapped a line with 0x8D 0x0A ("soft
      // return"); it is layout, not text. In UTF-8 text 0x8D ends a letter (č, ō ...).
      for (size_t at; (at = bytes.find("\x8D\n")) != std::string::npos;) bytes.erase(at, 2);
    }
    return Valor::String(Text(bytes));
  }

  static std::optional<double> ParseNumber(std::string_view raw) {
    std::string text(TrimBlanks(raw));
    if (text.empty()) return 0.0;
    // Some writers store a blank number with decimals as blanks around the point ("   .   ").
    if (text == "." || text == ",") return 0.0;
    if (text[0] == '+') text.erase(0, 1);
    for (char& c : text) {
      if (c == ',') c = '.';
    }
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
  }

  // Blank, zero and impossible dates all read as day 0, the driver's empty date.
  static runtime::DateSerial ParseDate(std::string_view raw) {
    int parts[3] = {0, 0, 0};
    const int widths[3] = {4, 2, 2};
    size_t at = 0;
    for (int p = 0; p < 3; ++p) {
      for (int k = 0; k < widths[p]; ++k, ++at) {
        if (raw[at] < '0' || raw[at] > '9') return {};
        parts[p] = parts[p] * 10 + (raw[at] - '0');
      }
    }
    if (parts[0] < 100 || parts[1] < 1 || parts[1] > 12 || parts[2] < 1 || parts[2] > 31) return {};
    runtime::DateSerial date = runtime::MakeDate(parts[0], parts[1], parts[2]);
    runtime::DateParts back = runtime::DateOf(date);
    if (back.month != parts[1] || back.day != parts[2]) return {};
    return date;
  }

  static runtime::DateSerial ParseDateTime(std::string_view raw) {
    const long julian_day = static_cast<long>(Le32(raw.data()));
    const uint32_t milliseconds = Le32(raw.data() + 4);
    const long days = julian_day - kJulianDayOfDayZero;
    // Outside 01/01/100 .. 31/12/9999 (blank fields hold 0 or spaces): the empty date.
    if (julian_day == 0 || days < -657434 || days > 2958465 || milliseconds >= 86400000u) return {};
    const double time = milliseconds / 86400000.0;
    return {days < 0 ? days - time : days + time};
  }

  std::optional<uint32_t> MemoBlock(std::string_view raw) const {
    if (raw.size() == 4) return Le32(raw.data());
    std::string_view digits = TrimBlanks(raw);
    if (digits.empty()) return 0u;
    uint32_t block = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), block);
    if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
    return block;
  }

  std::string path_;
  ReadOptions options_;
  bool utf8_for_unlisted_mark_;
  bool utf8_ = false;  // the table's text is UTF-8: it passes as it is
  std::string bytes_;
  int version_ = 0;
  size_t header_length_ = 0;
  size_t record_length_ = 0;
  size_t fields_end_ = 0;
  std::vector<Column> columns_;
  const Column* null_flags_ = nullptr;
  std::unique_ptr<TextDecoder> decoder_;
  std::unique_ptr<MemoFile> memo_;
  MemoKind memo_kind_ = MemoKind::kFoxPro;
  TableContents contents_;
};

}  // namespace

TableContents ReadTable(const std::string& path, const ReadOptions& options) {
  try {
    return TableReader(path, options, true).Read();
  } catch (const NotUtf8&) {
    return TableReader(path, options, false).Read();
  }
}

}  // namespace dbf
