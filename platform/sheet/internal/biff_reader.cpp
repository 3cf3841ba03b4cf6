// Walks the records of a Workbook stream: the globals (sheets, code page, date mode, formats,
// shared strings) once, then one worksheet substream per request. Every read is bounds-checked
// against the stream, and every loop advances by at least one record header, so a damaged
// stream ends in BiffError rather than a crash or an endless loop.
#include "platform/sheet/internal/biff_reader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <optional>
#include <stdexcept>
#include <utility>

#include "platform/runtime/code_page.h"
#include "platform/runtime/dates.h"
#include "platform/runtime/utf8.h"
#include "platform/runtime/vb_error.h"

namespace sheet::internal {

namespace {

constexpr uint16_t kBof = 0x0809;
constexpr uint16_t kEof = 0x000A;
constexpr uint16_t kFilepass = 0x002F;
constexpr uint16_t kCodepage = 0x0042;
constexpr uint16_t kDatemode = 0x0022;
constexpr uint16_t kBoundsheet = 0x0085;
constexpr uint16_t kXf = 0x00E0;
constexpr uint16_t kFormat = 0x041E;
constexpr uint16_t kSst = 0x00FC;
constexpr uint16_t kDimensions = 0x0200;
constexpr uint16_t kLabelSst = 0x00FD;
constexpr uint16_t kLabel = 0x0204;
constexpr uint16_t kRString = 0x00D6;
constexpr uint16_t kNumber = 0x0203;
constexpr uint16_t kRk = 0x027E;
constexpr uint16_t kMulRk = 0x00BD;
constexpr uint16_t kBoolErr = 0x0205;
constexpr uint16_t kFormula = 0x0006;
constexpr uint16_t kString = 0x0207;

constexpr uint16_t kBiff8Version = 0x0600;
constexpr uint16_t kGlobalsType = 0x0005;
constexpr uint16_t kWorksheetType = 0x0010;
constexpr unsigned kMaxRows = 65536;
constexpr unsigned kMaxColumns = 256;

struct Record {
  uint16_t id = 0;
  const uint8_t* data = nullptr;
  size_t length = 0;
};

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t U32(const uint8_t* p) {
  return static_cast<uint32_t>(U16(p)) | static_cast<uint32_t>(U16(p + 2)) << 16;
}
double F64(const uint8_t* p) {
  uint64_t bits = static_cast<uint64_t>(U32(p)) | static_cast<uint64_t>(U32(p + 4)) << 32;
  double v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

// Reads the record at `at` and moves `at` past it. False at the end of the stream.
bool NextRecord(const std::vector<uint8_t>& stream, size_t& at, Record& rec) {
  if (at >= stream.size()) return false;
  if (at + 4 > stream.size()) throw BiffError("registro cortado");
  rec.id = U16(&stream[at]);
  rec.length = U16(&stream[at + 2]);
  if (at + 4 + rec.length > stream.size()) throw BiffError("registro cortado");
  rec.data = stream.data() + at + 4;
  at += 4 + rec.length;
  return true;
}

void Need(const Record& rec, size_t length) {
  if (rec.length < length) throw BiffError("registro demasiado corto");
}

// Reads bytes across a record and the CONTINUE records after it, as the shared string table
// and long strings are stored. A string's characters that cross into a CONTINUE record start
// there with a new flags byte telling their width.
class Cursor {
 public:
  void Add(const uint8_t* data, size_t length) {
    if (length > 0) parts_.push_back({data, length});
  }
  bool AtEnd() {
    while (part_ < parts_.size() && pos_ >= parts_[part_].second) {
      ++part_;
      pos_ = 0;
    }
    return part_ >= parts_.size();
  }
  uint8_t Byte() {
    if (AtEnd()) throw BiffError("cadena cortada");
    return parts_[part_].first[pos_++];
  }
  uint16_t Word() {
    const uint8_t lo = Byte();
    return static_cast<uint16_t>(lo | Byte() << 8);
  }
  uint32_t Long() {
    const uint16_t lo = Word();
    return static_cast<uint32_t>(lo) | static_cast<uint32_t>(Word()) << 16;
  }
  void Skip(uint64_t count) {
    while (count > 0) {
      if (AtEnd()) throw BiffError("cadena cortada");
      const size_t step =
          static_cast<size_t>(std::min<uint64_t>(count, parts_[part_].second - pos_));
      pos_ += step;
      count -= step;
    }
  }
  // An XLUnicodeString (BIFF8) whose character count was already read.
  std::string Unicode(uint16_t count) {
    const uint8_t flags = Byte();
    const bool rich = (flags & 0x08) != 0;
    const bool ext = (flags & 0x04) != 0;
    const uint16_t runs = rich ? Word() : 0;
    const uint32_t ext_size = ext ? Long() : 0;
    bool wide = (flags & 0x01) != 0;
    std::u16string units;
    units.reserve(count);
    // The part the header was read from: characters that start in the next one are preceded
    // there by a flags byte, like any continued characters.
    size_t part = part_;
    while (units.size() < count) {
      if (AtEnd()) throw BiffError("cadena cortada");
      if (part_ != part) {
        // Characters go on in a CONTINUE record, which opens with its own flags byte.
        part = part_;
        wide = (Byte() & 0x01) != 0;
        continue;
      }
      if (wide) {
        const uint8_t lo = Byte();
        if (part_ != part) throw BiffError("carácter partido");
        units.push_back(static_cast<char16_t>(lo | Byte() << 8));
      } else {
        units.push_back(Byte());
      }
    }
    Skip(4ull * runs + ext_size);
    return runtime::Utf8FromUtf16(units);
  }

 private:
  std::vector<std::pair<const uint8_t*, size_t>> parts_;
  size_t part_ = 0;
  size_t pos_ = 0;
};

std::string CodePageName(uint16_t code_page) {
  switch (code_page) {
    case 367: return "ASCII";
    case 10000:
    case 32768: return "MACINTOSH";
    case 1200:  // UTF-16: BIFF8 text carries its own encoding; 8-bit text is then Latin-1.
    case 32769: return "CP1252";
    default: return "CP" + std::to_string(code_page);
  }
}

// RK: a 30-bit integer or the high 30 bits of a double, possibly divided by 100.
double RkValue(uint32_t rk) {
  double v;
  if (rk & 0x02) {
    v = static_cast<double>(static_cast<int32_t>(rk) >> 2);
  } else {
    const uint64_t bits = static_cast<uint64_t>(rk & 0xFFFFFFFCu) << 32;
    std::memcpy(&v, &bits, sizeof v);
  }
  return (rk & 0x01) ? v / 100.0 : v;
}

// What a number format shows: date parts (y, d, or m without h/s), time parts (h, s), both or
// neither. Quoted text, escaped characters and [..] sections (colours, conditions) do not count.
int FormatDateParts(const std::string& format) {
  bool date = false, time = false, month = false;
  for (size_t k = 0; k < format.size(); ++k) {
    const char c = format[k];
    if (c == '"') {
      const size_t end = format.find('"', k + 1);
      if (end == std::string::npos) break;
      k = end;
    } else if (c == '\\' || c == '_' || c == '*') {
      ++k;
    } else if (c == '[') {
      const size_t end = format.find(']', k + 1);
      if (end == std::string::npos) break;
      const std::string inside = format.substr(k + 1, end - k - 1);
      // Elapsed time such as [h] or [mm] is a time part.
      if (!inside.empty() && (inside[0] == 'h' || inside[0] == 'H' || inside[0] == 's' ||
                              inside[0] == 'S' || inside[0] == 'm' || inside[0] == 'M')) {
        time = true;
      }
      k = end;
    } else {
      switch (c) {
        case 'y': case 'Y': case 'd': case 'D': date = true; break;
        case 'h': case 'H': case 's': case 'S': time = true; break;
        case 'm': case 'M': month = true; break;
        default: break;
      }
    }
  }
  if (month && !time) date = true;
  return (date ? 1 : 0) | (time ? 2 : 0);
}

// How FreeXL judges a format: by the letters y, m, d, h and s anywhere in it, quoted text and
// escaped characters included ("0 \"meses\"" is a time to it). Parts as FormatDateParts.
int FreexlFormatParts(const std::string& format) {
  bool y = false, m = false, d = false, h = false, s = false;
  for (const char c : format) {
    switch (c) {
      case 'y': case 'Y': y = true; break;
      case 'm': case 'M': m = true; break;
      case 'd': case 'D': d = true; break;
      case 'h': case 'H': h = true; break;
      case 's': case 'S': s = true; break;
      default: break;
    }
  }
  if (y && m && d && h) return 3;
  if ((y && m) || (m && d)) return 1;
  if ((h && m) || (m && s)) return 2;
  return 0;
}

}  // namespace

std::string BiffWorkbook::Text8(const uint8_t* bytes, size_t count) const {
  if (!text8_ || text8_->Charset() != code_page_) {
    try {
      text8_ = std::make_shared<runtime::CodePageConverter>(code_page_);
    } catch (const std::invalid_argument&) {
      throw BiffError("juego de caracteres " + code_page_);
    }
  }
  return text8_->ToUtf8(std::string_view(reinterpret_cast<const char*>(bytes), count));
}

BiffWorkbook::BiffWorkbook(std::vector<uint8_t> stream) : stream_(std::move(stream)) {
  size_t at = 0;
  Record rec;
  if (!NextRecord(stream_, at, rec) || rec.id != kBof) throw BiffError("sin BOF");
  Need(rec, 4);
  biff8_ = U16(rec.data) == kBiff8Version;
  if (U16(rec.data + 2) != kGlobalsType) throw BiffError("sin globales");
  bool ended = false;
  while (!ended && NextRecord(stream_, at, rec)) {
    switch (rec.id) {
      case kEof: ended = true; break;
      case kFilepass: throw BiffError("cifrado");
      case kCodepage:
        Need(rec, 2);
        code_page_ = CodePageName(U16(rec.data));
        break;
      case kDatemode:
        Need(rec, 2);
        date1904_ = U16(rec.data) != 0;  // any value but 0 is the 1904 calendar, as FreeXL takes it
        break;
      case kXf:
        Need(rec, 4);
        xf_formats_.push_back(U16(rec.data + 2));
        break;
      case kFormat: {
        Need(rec, 3);
        const uint16_t id = U16(rec.data);
        std::string text;
        if (biff8_) {
          Need(rec, 5);
          Cursor c;
          c.Add(rec.data + 4, rec.length - 4);
          text = c.Unicode(U16(rec.data + 2));
        } else {
          const size_t count = rec.data[2];
          Need(rec, 3 + count);
          text = Text8(rec.data + 3, count);
        }
        formats_.emplace_back(id, std::move(text));
        break;
      }
      case kBoundsheet: {
        Need(rec, 8);
        Sheet sheet;
        sheet.offset = U32(rec.data);
        const uint8_t count = rec.data[6];
        if (biff8_) {
          Cursor c;
          c.Add(rec.data + 7, rec.length - 7);
          sheet.name = c.Unicode(count);
        } else {
          Need(rec, 7u + count);
          sheet.name = Text8(rec.data + 7, count);
        }
        sheets_.push_back(std::move(sheet));
        break;
      }
      case kSst: {
        Need(rec, 8);
        Cursor c;
        c.Add(rec.data + 8, rec.length - 8);
        const uint32_t unique = U32(rec.data + 4);
        size_t peek = at;
        Record more;
        while (peek < stream_.size() && NextRecord(stream_, peek, more) && more.id == 0x003C) {
          c.Add(more.data, more.length);
          at = peek;
        }
        // Bounded by the bytes present: each string takes at least three.
        for (uint32_t k = 0; k < unique && !c.AtEnd(); ++k) sst_.push_back(c.Unicode(c.Word()));
        break;
      }
      default: break;
    }
  }
  if (!ended) throw BiffError("globales sin EOF");
}

std::vector<std::string> BiffWorkbook::SheetNames() const {
  std::vector<std::string> names;
  for (const Sheet& s : sheets_) names.push_back(s.name);
  return names;
}

BiffWorkbook::DateKind BiffWorkbook::KindOfXf(uint16_t xf) const {
  if (xf >= xf_formats_.size()) return DateKind::kNone;
  const uint16_t format = xf_formats_[xf];
  int parts = 0;
  bool found = false;
  for (const auto& [id, text] : formats_) {
    if (id == format) {
      parts = FormatDateParts(text);
      found = true;
    }
  }
  if (!found) {
    if (format >= 14 && format <= 17) parts = 1;
    if ((format >= 18 && format <= 21) || (format >= 45 && format <= 47)) parts = 2;
    if (format == 22) parts = 3;
  }
  switch (parts) {
    case 1: return DateKind::kDate;
    case 2: return DateKind::kTime;
    case 3: return DateKind::kDateTime;
    default: return DateKind::kNone;
  }
}

std::optional<BiffWorkbook::DateKind> BiffWorkbook::FreexlKindOfXf(uint16_t xf) const {
  constexpr size_t kFreexlXfs = 8192, kFreexlDateFormats = 2048;  // the sizes of its tables
  if (xf >= kFreexlXfs) return std::nullopt;
  if (xf >= xf_formats_.size()) return DateKind::kNone;
  const uint16_t format = xf_formats_[xf];
  if (format >= 14 && format <= 17) return DateKind::kDate;
  if ((format >= 18 && format <= 21) || (format >= 45 && format <= 47)) return DateKind::kTime;
  if (format == 22) return DateKind::kDateTime;
  // It keeps only the formats it takes for dates, in file order, and uses the first that matches.
  size_t kept = 0;
  for (const auto& [id, text] : formats_) {
    if (kept == kFreexlDateFormats) break;
    // It reads a BIFF5 format's text from the wrong offset: its judgement cannot be foreseen.
    if (!biff8_) {
      if (id == format) return std::nullopt;
      continue;
    }
    const int parts = FreexlFormatParts(text);
    if (parts == 0) continue;
    ++kept;
    if (id == format) return parts == 1 ? DateKind::kDate : parts == 2 ? DateKind::kTime : DateKind::kDateTime;
  }
  return DateKind::kNone;
}

const BiffWorkbook::XfReading& BiffWorkbook::ReadingOfXf(uint16_t xf) const {
  if (xf_readings_.empty()) xf_readings_.resize(size_t{UINT16_MAX} + 1);
  XfReading& reading = xf_readings_[xf];
  if (!reading.judged) {
    reading.kind = KindOfXf(xf);
    reading.freexl_otherwise = FreexlKindOfXf(xf) != reading.kind;
    reading.judged = true;
  }
  return reading;
}

runtime::Valor BiffWorkbook::NumberCell(double value, uint16_t xf) const {
  // The spreadsheet holds no infinity and no NaN: such a number is a damaged record.
  if (!std::isfinite(value)) throw BiffError("número no finito");
  const XfReading& reading = ReadingOfXf(xf);
  if (reading.freexl_otherwise) freexl_reads_otherwise_ = true;
  const DateKind kind = reading.kind;
  if (kind == DateKind::kNone) return runtime::Valor::Double(value);
  runtime::Valor date = DateCell(value, kind);
  if (date.Type() == runtime::VarType::kDate && !(FreexlDateCell(value, kind) == date)) {
    freexl_reads_otherwise_ = true;
  }
  return date;
}

// A date format gives the day only, a time format the time of day only (throws VbError for
// parts that make no date).
runtime::Valor BiffWorkbook::DateOfKind(DateKind kind, int year, int month, int day, int hour,
                                        int minute, int second) {
  switch (kind) {
    case DateKind::kDate: return runtime::Valor::Date(runtime::MakeDate(year, month, day));
    case DateKind::kTime: return runtime::Valor::Date(runtime::MakeDate(1899, 12, 30, hour, minute, second));
    default: return runtime::Valor::Date(runtime::MakeDate(year, month, day, hour, minute, second));
  }
}

runtime::Valor BiffWorkbook::DateCell(double value, DateKind kind) const {
  double serial = value + (date1904_ ? 1462.0 : 0.0);
  // Neither calendar has days before its first (the spreadsheet shows ####): the 1904 one starts
  // at day 0; the 1900 one at day 1 and counts a 29 February 1900 that never was, so its days 1
  // to 59 are one day past the same serials here and 60 is that day.
  bool no_day = value < 0;
  if (!date1904_ && kind != DateKind::kTime) {
    no_day = value < 1.0 || (value >= 60.0 && value < 61.0);
    if (value < 60.0) serial += 1.0;
  }
  if (no_day) {
    dates_out_of_range_ = true;
    return runtime::Valor::Double(value);
  }
  try {
    const runtime::DateParts p = runtime::DateOf(runtime::DateSerial{serial});
    return DateOfKind(kind, p.year, p.month, p.day, p.hour, p.minute, p.second);
  } catch (const runtime::VbError&) {
    dates_out_of_range_ = true;
    return runtime::Valor::Double(value);
  }
}

runtime::Valor BiffWorkbook::FreexlDateCell(double value, DateKind kind) const {
  // FreeXL counts floor(value) - 1 days on from 01/01/1900 (02/01/1904 in the 1904 calendar),
  // taking every fourth year for a leap year, and the time of day from the fraction rounded to
  // the second (which can give 24:00:00); the reader then makes a date of its text, rolling an
  // hour 24 or a 29 February over as the runtime does, or keeps the text when that is no date.
  // Here the count is done by four-year cycles.
  const double whole = std::floor(value);
  int64_t days = whole > 1 ? static_cast<int64_t>(whole) - 1 : 0;
  if (date1904_) days += 1461 + 1;  // from 01/01/1900 to 02/01/1904 in that count
  const int64_t cycle = days / 1461;
  int64_t rest = days % 1461;
  int year = 1900 + static_cast<int>(4 * cycle);
  bool leap = true;
  if (rest >= 366) {
    rest -= 366;
    year += 1 + static_cast<int>(rest / 365);
    rest %= 365;
    leap = false;
  }
  static constexpr int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int month = 1;
  for (int length : kMonthDays) {
    if (month == 2 && leap) ++length;
    if (rest < length) break;
    rest -= length;
    ++month;
  }
  const int day = static_cast<int>(rest) + 1;
  const long seconds = std::lround((value - whole) * 86400.0);
  const int hour = static_cast<int>(seconds / 3600), minute = static_cast<int>(seconds / 60 % 60),
            second = static_cast<int>(seconds % 60);
  try {
    return DateOfKind(kind, year, month, day, hour, minute, second);
  } catch (const runtime::VbError&) {
    return runtime::Valor::String("");  // FreeXL's text kept as text: never the date read here
  }
}

void BiffWorkbook::CheckSheets() const {
  for (unsigned k = 0; k < sheets_.size(); ++k) ReadSheetRecords(k, nullptr);
  constexpr size_t kLongestRecord = 8224;  // BIFF8's limit; FreeXL's record buffer
  size_t at = 0;
  Record rec;
  for (size_t from = at; from < sheets_end_ && NextRecord(stream_, at, rec); from = at) {
    if ((rec.id == 0 && rec.length == 0) || rec.length > kLongestRecord) {
      irregular_layout_ = true;
      break;
    }
  }
}

SheetGrid BiffWorkbook::ReadGrid(unsigned index) const {
  SheetGrid grid;
  ReadSheetRecords(index, &grid);
  return grid;
}

void BiffWorkbook::ReadSheetRecords(unsigned index, SheetGrid* out) const {
  SheetGrid discarded;
  SheetGrid& grid = out != nullptr ? *out : discarded;
  grid.name = sheets_.at(index).name;
  size_t at = sheets_[index].offset;
  Record rec;
  if (!NextRecord(stream_, at, rec) || rec.id != kBof) throw BiffError("hoja sin BOF");
  Need(rec, 4);
  // A chart or macro sheet holds no cells.
  if (U16(rec.data + 2) != kWorksheetType) {
    irregular_layout_ = true;
    return;
  }

  std::map<std::pair<unsigned, unsigned>, runtime::Valor> cells;
  unsigned rows = 0, columns = 0;
  std::optional<std::pair<uint32_t, uint32_t>> declared;  // DIMENSIONS: rows and columns
  auto put = [&](unsigned row, unsigned col, runtime::Valor v) {
    if (row >= kMaxRows || col >= kMaxColumns) throw BiffError("celda fuera de la hoja");
    if (declared && (row >= declared->first || col >= declared->second)) {
      cells_outside_dimensions_ = true;
    }
    rows = std::max(rows, row + 1);
    columns = std::max(columns, col + 1);
    // A cell given twice keeps its last value; FreeXL loses (and leaks) the earlier text.
    if (!cells.insert_or_assign({row, col}, std::move(v)).second) irregular_layout_ = true;
  };
  auto text_at = [&](const Record& r, size_t offset) -> std::string {
    Need(r, offset + 2);
    const uint16_t count = U16(r.data + offset);
    if (biff8_) {
      Cursor c;
      c.Add(r.data + offset + 2, r.length - offset - 2);
      return c.Unicode(count);
    }
    Need(r, offset + 2 + count);
    return Text8(r.data + offset + 2, count);
  };

  int nested = 0;  // depth of embedded substreams (charts) being skipped
  std::pair<unsigned, unsigned> pending_string{kMaxRows, 0};
  bool ended = false;
  // Where the other sheets start: a record running over one of them makes two sheets share
  // bytes, which readers then split differently.
  std::vector<size_t> starts;
  for (const Sheet& other : sheets_) starts.push_back(other.offset);
  std::sort(starts.begin(), starts.end());
  unsigned dimensions_records = 0;
  for (size_t from = at; !ended && NextRecord(stream_, at, rec); from = at) {
    if (rec.id == kDimensions) ++dimensions_records;
    const auto next_start = std::upper_bound(starts.begin(), starts.end(), from);
    if (next_start != starts.end() && *next_start < at) {
      throw BiffError("un registro pasa sobre el comienzo de otra hoja");
    }
    if (rec.id == kBof) {
      ++nested;
      continue;
    }
    if (rec.id == kEof) {
      if (nested == 0) ended = true;
      else --nested;
      continue;
    }
    if (nested > 0) continue;
    switch (rec.id) {
      case kDimensions: {
        // Past the sheet's 65536 rows and 256 columns the record is damaged (readers that size
        // their cell table by it would take gigabytes).
        uint32_t last_row, last_column;
        if (biff8_) {
          Need(rec, 12);
          last_row = U32(rec.data + 4);
          last_column = U16(rec.data + 10);
        } else {
          Need(rec, 8);
          last_row = U16(rec.data + 2);
          last_column = U16(rec.data + 6);
        }
        if (last_row > kMaxRows || last_column > kMaxColumns) {
          throw BiffError("dimensiones fuera de la hoja");
        }
        declared.emplace(last_row, last_column);
        rows = std::max<unsigned>(rows, last_row);
        columns = std::max<unsigned>(columns, last_column);
        break;
      }
      case kLabelSst: {
        Need(rec, 10);
        const uint32_t k = U32(rec.data + 6);
        if (k >= sst_.size()) throw BiffError("cadena compartida inexistente");
        put(U16(rec.data), U16(rec.data + 2), runtime::Valor::String(sst_[k]));
        break;
      }
      case kLabel:
      case kRString: {
        runtime::Valor text = runtime::Valor::String(text_at(rec, 6));  // checks the length
        put(U16(rec.data), U16(rec.data + 2), std::move(text));
        break;
      }
      case kNumber:
        Need(rec, 14);
        put(U16(rec.data), U16(rec.data + 2), NumberCell(F64(rec.data + 6), U16(rec.data + 4)));
        break;
      case kRk:
        Need(rec, 10);
        put(U16(rec.data), U16(rec.data + 2),
            NumberCell(RkValue(U32(rec.data + 6)), U16(rec.data + 4)));
        break;
      case kMulRk: {
        Need(rec, 6);
        const unsigned row = U16(rec.data);
        const unsigned first = U16(rec.data + 2);
        const size_t count = (rec.length - 6) / 6;
        for (size_t k = 0; k < count; ++k) {
          const uint8_t* p = rec.data + 4 + 6 * k;
          put(row, first + static_cast<unsigned>(k), NumberCell(RkValue(U32(p + 2)), U16(p)));
        }
        break;
      }
      case kBoolErr:
        Need(rec, 8);
        // Booleans as 0/1 (any byte but 0 is true); an error cell reads as 1, as on the FreeXL
        // path.
        put(U16(rec.data), U16(rec.data + 2),
            runtime::Valor::Double(rec.data[7] != 0 || rec.data[6] != 0 ? 1.0 : 0.0));
        break;
      case kFormula: {
        Need(rec, 14);
        const unsigned row = U16(rec.data), col = U16(rec.data + 2);
        const uint8_t* result = rec.data + 6;
        if (U16(result + 6) != 0xFFFF) {
          put(row, col, NumberCell(F64(result), U16(rec.data + 4)));
        } else if (result[0] == 0) {
          pending_string = {row, col};  // the text follows in a STRING record
        } else if (result[0] == 1 || result[0] == 2) {
          put(row, col, runtime::Valor::Double(result[0] == 2 ? 1.0 : result[2]));
        } else {
          put(row, col, runtime::Valor::String(""));
        }
        break;
      }
      case kString:
        if (pending_string.first < kMaxRows) {
          put(pending_string.first, pending_string.second,
              runtime::Valor::String(text_at(rec, 0)));
          pending_string = {kMaxRows, 0};
        }
        break;
      default: break;
    }
  }
  if (!ended) throw BiffError("hoja sin EOF");
  if (dimensions_records != 1) irregular_layout_ = true;
  sheets_end_ = std::max(sheets_end_, at);

  grid.row_count = rows;
  grid.column_count = columns;
  if (out == nullptr) return;
  grid.rows.assign(rows, std::vector<runtime::Valor>(columns, runtime::Valor::Null()));
  for (auto& [where, value] : cells) grid.rows[where.first][where.second] = std::move(value);
}

}  // namespace sheet::internal
