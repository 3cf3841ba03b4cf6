// The workbook model and its encoding as a BIFF8 Workbook stream: globals (fonts, formats, the
// 16 fixed XFs and one XF per distinct cell format, the sheet entry, the shared strings), then
// the one worksheet (column widths, dimensions, rows of cells, window settings).
#include "platform/sheet/xls_writer.h"

#include <algorithm>
#include <cmath>
#include <fstream>

#include "platform/runtime/utf8.h"
#include "platform/runtime/vb_error.h"
#include "platform/sheet/internal/biff_stream.h"
#include "platform/sheet/internal/compound_file.h"

namespace sheet {

using internal::BiffStream;

namespace {

constexpr uint16_t kBof = 0x0809;
constexpr uint16_t kEof = 0x000A;
constexpr uint16_t kCodepage = 0x0042;
constexpr uint16_t kWindow1 = 0x003D;
constexpr uint16_t kDatemode = 0x0022;
constexpr uint16_t kFontRecord = 0x0031;
constexpr uint16_t kFormatRecord = 0x041E;
constexpr uint16_t kXf = 0x00E0;
constexpr uint16_t kStyle = 0x0293;
constexpr uint16_t kBoundsheet = 0x0085;
constexpr uint16_t kSst = 0x00FC;
constexpr uint16_t kExtsst = 0x00FF;
constexpr uint16_t kColinfo = 0x007D;
constexpr uint16_t kDimensions = 0x0200;
constexpr uint16_t kRow = 0x0208;
constexpr uint16_t kNumber = 0x0203;
constexpr uint16_t kLabelsst = 0x00FD;
constexpr uint16_t kBlank = 0x0201;
constexpr uint16_t kBoolerr = 0x0205;
constexpr uint16_t kWindow2 = 0x023E;

constexpr uint16_t kAutomaticFontColor = 0x7FFF;
constexpr uint8_t kAutomaticColor = 0x40;   // window text: borders, default pattern colour
constexpr uint8_t kBackgroundColor = 0x41;  // window background
constexpr uint16_t kDefaultCellXf = 15;
constexpr int kFirstCustomFont = 5;  // font index 4 does not exist
constexpr int kDefaultFonts = 4;
constexpr int kDateFormat = 14;      // built-in: the short date of the reader's locale
constexpr int kDateTimeFormat = 22;  // built-in: short date and time
constexpr size_t kStreamBlock = 4096;  // stream padding: keeps it out of the mini stream

void BadArgument() { runtime::RaiseVbError(kErrBadCellArgument); }

void CheckColor(int color_index, bool none_allowed) {
  if (color_index == kColorIndexAutomatic) return;
  if (none_allowed && color_index == kColorIndexNone) return;
  if (color_index < 1 || color_index > 56) BadArgument();
}

// A ColorIndex as a palette colour code: palette entry n is code n + 7.
uint8_t PaletteColor(int color_index) {
  return color_index == kColorIndexAutomatic ? kAutomaticColor
                                             : static_cast<uint8_t>(color_index + 7);
}

// LineStyle + Weight as the file's 4-bit line style; -1 for a pair the spreadsheet refuses.
int LineCode(const BorderLine& line) {
  const int w = line.weight;
  if (w != kHairline && w != kThin && w != kMedium && w != kThick) return -1;
  const bool heavy = w == kMedium || w == kThick;
  switch (line.line_style) {
    case kLineStyleNone: return 0;
    case kContinuous: return w == kHairline ? 7 : w == kThin ? 1 : w == kMedium ? 2 : 5;
    case kDash: return heavy ? 8 : 3;
    case kDot: return 4;
    case kDouble: return 6;
    case kDashDot: return heavy ? 10 : 9;
    case kDashDotDot: return heavy ? 12 : 11;
    case kSlantDashDot: return 13;
    default: return -1;
  }
}

uint8_t BorderColor(const BorderLine& line) {
  return line.line_style == kLineStyleNone ? 0 : PaletteColor(line.color_index);
}

// The height Arial needs at `points`, in twips, rounded up to the 0.75-point steps the
// spreadsheet uses (10 pt -> 12.75 pt rows, 15 pt -> 19.5 pt).
uint16_t RowHeightFor(double points) {
  const double steps = std::ceil(points * 1.275 / 0.75 - 1e-9);
  return static_cast<uint16_t>(std::lround(steps * 0.75 * 20));
}

bool IsDefaultFont(const Font& font) { return font == Font{}; }

// The currency and accounting formats the spreadsheet writes into every workbook.
struct BuiltInFormat {
  uint16_t id;
  const char16_t* text;
};
constexpr BuiltInFormat kStandardFormats[] = {
    {5, u"\"$\"#,##0_);\\(\"$\"#,##0\\)"},
    {6, u"\"$\"#,##0_);[Red]\\(\"$\"#,##0\\)"},
    {7, u"\"$\"#,##0.00_);\\(\"$\"#,##0.00\\)"},
    {8, u"\"$\"#,##0.00_);[Red]\\(\"$\"#,##0.00\\)"},
    {42, u"_(\"$\"* #,##0_);_(\"$\"* \\(#,##0\\);_(\"$\"* \"-\"_);_(@_)"},
    {41, u"_(* #,##0_);_(* \\(#,##0\\);_(* \"-\"_);_(@_)"},
    {44, u"_(\"$\"* #,##0.00_);_(\"$\"* \\(#,##0.00\\);_(\"$\"* \"-\"??_);_(@_)"},
    {43, u"_(* #,##0.00_);_(* \\(#,##0.00\\);_(* \"-\"??_);_(@_)"},
};

}  // namespace

// Encodes a Workbook; a class only so that it may read the workbook's private model.
class WorkbookEncoder {
 public:
  explicit WorkbookEncoder(const Workbook& book) : book_(book) {}

  std::vector<uint8_t> Stream() {
    CollectFormats();
    CollectFonts();
    CollectStrings();
    WriteGlobals();
    s_.Patch32(boundsheet_offset_at_, static_cast<uint32_t>(s_.Size()));
    WriteWorksheet();
    std::vector<uint8_t>& bytes = s_.Bytes();
    const size_t padded = std::max(kStreamBlock, (bytes.size() + kStreamBlock - 1) / kStreamBlock *
                                                     kStreamBlock);
    bytes.resize(padded, 0);
    return std::move(bytes);
  }

 private:
  // Only the formats some cell still uses become XFs: formats left behind by later changes to a
  // cell are dropped. xf_of_format_ maps a format to its XF index.
  void CollectFormats() {
    xf_of_format_.assign(book_.formats_.size(), 0);
    xf_of_format_[0] = kDefaultCellXf;
    for (const auto& row : book_.cells_) {
      for (const Workbook::Cell& cell : row) {
        if (cell.format != 0 && xf_of_format_[cell.format] == 0) {
          used_formats_.push_back(cell.format);
          xf_of_format_[cell.format] = static_cast<uint16_t>(kDefaultCellXf + used_formats_.size());
        }
      }
    }
  }

  void CollectFonts() {
    font_of_format_.assign(book_.formats_.size(), 0);
    for (uint32_t f : used_formats_) {
      const Font& font = book_.formats_[f].font;
      if (IsDefaultFont(font)) continue;
      auto it = std::find(fonts_.begin(), fonts_.end(), font);
      if (it == fonts_.end()) it = fonts_.insert(fonts_.end(), font);
      font_of_format_[f] = static_cast<uint16_t>(kFirstCustomFont + (it - fonts_.begin()));
    }
  }

  // Numbers the strings in the order the cells use them, so the table holds only live texts.
  void CollectStrings() {
    sst_of_string_.assign(book_.strings_.size(), UINT32_MAX);
    for (const auto& row : book_.cells_) {
      for (const Workbook::Cell& cell : row) {
        if (cell.kind != Workbook::Kind::kText) continue;
        ++sst_total_;
        if (sst_of_string_[cell.text] == UINT32_MAX) {
          sst_of_string_[cell.text] = static_cast<uint32_t>(sst_order_.size());
          sst_order_.push_back(cell.text);
        }
      }
    }
  }

  void WriteBof(uint16_t type) {
    s_.Begin(kBof);
    s_.U16(0x0600);
    s_.U16(type);
    s_.U16(0x0DBB);
    s_.U16(0x07CC);
    s_.U32(0);
    s_.U32(6);
    s_.End();
  }

  void WriteEof() {
    s_.Begin(kEof);
    s_.End();
  }

  void WriteFont(const Font& font) {
    s_.Begin(kFontRecord);
    s_.U16(static_cast<uint16_t>(std::lround(font.points * 20)));
    s_.U16(font.italic ? 0x0002 : 0);
    s_.U16(font.color_index == kColorIndexAutomatic ? kAutomaticFontColor
                                                      : PaletteColor(font.color_index));
    s_.U16(font.bold ? 700 : 400);
    s_.U16(0);
    s_.U8(font.underline ? 1 : 0);
    s_.U8(0);
    s_.U8(0);
    s_.U8(0);
    s_.ShortString(u"Arial");
    s_.End();
  }

  void WriteXf(uint16_t font, uint16_t number_format, uint16_t protection, uint8_t used,
               uint32_t borders, uint32_t borders_and_fill, uint16_t colors) {
    s_.Begin(kXf);
    s_.U16(font);
    s_.U16(number_format);
    s_.U16(protection);
    s_.U8(0x20);  // general alignment, bottom
    s_.U8(0);
    s_.U8(0);
    s_.U8(used);
    s_.U32(borders);
    s_.U32(borders_and_fill);
    s_.U16(colors);
    s_.End();
  }

  void WriteCellXf(size_t f) {
    const Workbook::Format& format = book_.formats_[f];
    const uint32_t borders =
        static_cast<uint32_t>(LineCode(format.left)) |
        static_cast<uint32_t>(LineCode(format.right)) << 4 |
        static_cast<uint32_t>(LineCode(format.top)) << 8 |
        static_cast<uint32_t>(LineCode(format.bottom)) << 12 |
        static_cast<uint32_t>(BorderColor(format.left)) << 16 |
        static_cast<uint32_t>(BorderColor(format.right)) << 23;
    const bool filled = format.fill != kColorIndexNone && format.fill != kColorIndexAutomatic;
    const uint32_t borders_and_fill = static_cast<uint32_t>(BorderColor(format.top)) |
                                      static_cast<uint32_t>(BorderColor(format.bottom)) << 7 |
                                      (filled ? 1u : 0u) << 26;
    const uint16_t colors = static_cast<uint16_t>(
        (filled ? PaletteColor(format.fill) : kAutomaticColor) | kBackgroundColor << 7);
    // Locked, parent = the Normal style, every attribute its own.
    WriteXf(font_of_format_[f], static_cast<uint16_t>(format.number_format), 0x0001, 0xFC,
            borders, borders_and_fill, colors);
  }

  void WriteGlobals() {
    WriteBof(0x0005);
    s_.Begin(kCodepage);
    s_.U16(1200);
    s_.End();
    s_.Begin(kWindow1);
    for (int v : {0, 0, 0x3000, 0x2000, 0x0038, 0, 0, 1, 600}) s_.U16(static_cast<uint16_t>(v));
    s_.End();
    s_.Begin(kDatemode);
    s_.U16(0);
    s_.End();

    for (int k = 0; k < kDefaultFonts; ++k) WriteFont(Font{});
    for (const Font& font : fonts_) WriteFont(font);
    for (const BuiltInFormat& format : kStandardFormats) {
      s_.Begin(kFormatRecord);
      s_.U16(format.id);
      s_.LongString(format.text);
      s_.End();
    }

    const uint16_t style_colors = kAutomaticColor | kBackgroundColor << 7;
    // XF 0: the Normal style; 1..14: the outline-level styles; 15: the default cell format.
    WriteXf(0, 0, 0xFFF5, 0x00, 0, 0, style_colors);
    for (int k = 1; k <= 14; ++k) WriteXf(0, 0, 0xFFF5, 0xF4, 0, 0, style_colors);
    WriteXf(0, 0, 0x0001, 0x00, 0, 0, style_colors);
    for (uint32_t f : used_formats_) WriteCellXf(f);

    s_.Begin(kStyle);
    s_.U16(0x8000);
    s_.U8(0);
    s_.U8(0xFF);
    s_.End();

    s_.Begin(kBoundsheet);
    boundsheet_offset_at_ = s_.Size();
    s_.U32(0);  // the worksheet's BOF position, known once the globals are written
    s_.U8(0);
    s_.U8(0);
    s_.ShortString(runtime::Utf16FromUtf8(book_.sheet_name_, 31));
    s_.End();

    WriteSharedStrings();
    WriteEof();
  }

  // SST, split into CONTINUE records as it grows: a string's header never splits, and its
  // characters go on after a repeated flags byte. EXTSST then points at every dsst-th string.
  void WriteSharedStrings() {
    if (sst_order_.empty()) return;
    const size_t dsst = std::max<size_t>(8, (sst_order_.size() + 127) / 128);
    std::vector<std::pair<uint32_t, uint16_t>> buckets;
    s_.Begin(kSst);
    s_.U32(sst_total_);
    s_.U32(static_cast<uint32_t>(sst_order_.size()));
    for (size_t i = 0; i < sst_order_.size(); ++i) {
      const std::u16string text =
          runtime::Utf16FromUtf8(book_.strings_[sst_order_[i]], kMaxTextLength);
      const bool one_byte = internal::FitsOneByte(text);
      const size_t unit = one_byte ? 1 : 2;
      if (s_.RecordLength() + 3 + unit > internal::kMaxRecordData) s_.Continue();
      if (i % dsst == 0) {
        buckets.emplace_back(static_cast<uint32_t>(s_.Size()),
                             static_cast<uint16_t>(s_.RecordLength() + 4));
      }
      s_.U16(static_cast<uint16_t>(text.size()));
      s_.U8(one_byte ? 0 : 1);
      size_t pos = 0;
      while (pos < text.size()) {
        const size_t room = (internal::kMaxRecordData - s_.RecordLength()) / unit;
        if (room == 0) {
          s_.Continue();
          s_.U8(one_byte ? 0 : 1);
          continue;
        }
        const size_t take = std::min(room, text.size() - pos);
        s_.Chars(std::u16string_view(text).substr(pos, take), one_byte);
        pos += take;
      }
    }
    s_.End();
    s_.Begin(kExtsst);
    s_.U16(static_cast<uint16_t>(dsst));
    for (const auto& [position, offset] : buckets) {
      s_.U32(position);
      s_.U16(offset);
      s_.U16(0);
    }
    s_.End();
  }

  void WriteWorksheet() {
    WriteBof(0x0010);
    for (const auto& [column, characters] : book_.column_widths_) {
      s_.Begin(kColinfo);
      s_.U16(static_cast<uint16_t>(column - 1));
      s_.U16(static_cast<uint16_t>(column - 1));
      // The stored width includes the cell's padding, 5 pixels of a 7-pixel digit.
      const double units = characters > 0 ? (characters + 5.0 / 7.0) * 256 : 0;
      s_.U16(static_cast<uint16_t>(std::min(65535L, std::lround(units))));
      s_.U16(kDefaultCellXf);
      s_.U16(characters > 0 ? 0x0002 : 0x0003);  // user-set width; hidden at 0
      s_.U16(0);
      s_.End();
    }

    uint32_t first_row = UINT32_MAX, last_row = 0;
    uint16_t first_col = UINT16_MAX, last_col = 0;
    for (size_t r = 0; r < book_.cells_.size(); ++r) {
      const auto& row = book_.cells_[r];
      for (size_t c = 0; c < row.size(); ++c) {
        if (!Written(row[c])) continue;
        first_row = std::min<uint32_t>(first_row, static_cast<uint32_t>(r));
        last_row = static_cast<uint32_t>(r);
        first_col = std::min<uint16_t>(first_col, static_cast<uint16_t>(c));
        last_col = std::max<uint16_t>(last_col, static_cast<uint16_t>(c));
      }
    }
    s_.Begin(kDimensions);
    if (first_row == UINT32_MAX) {
      s_.Zeros(14);
    } else {
      s_.U32(first_row);
      s_.U32(last_row + 1);
      s_.U16(first_col);
      s_.U16(static_cast<uint16_t>(last_col + 1));
      s_.U16(0);
    }
    s_.End();

    for (size_t r = 0; r < book_.cells_.size(); ++r) WriteRow(r);

    s_.Begin(kWindow2);
    for (int v : {0x06B6, 0, 0, int{kAutomaticColor}, 0, 0, 0, 0, 0}) s_.U16(static_cast<uint16_t>(v));
    s_.End();
    WriteEof();
  }

  static bool Written(const Workbook::Cell& cell) {
    return cell.kind != Workbook::Kind::kEmpty || cell.format != 0;
  }

  void WriteRow(size_t r) {
    const auto& row = book_.cells_[r];
    size_t first = row.size(), last = 0;
    double points = 10;
    for (size_t c = 0; c < row.size(); ++c) {
      if (!Written(row[c])) continue;
      first = std::min(first, c);
      last = c;
      points = std::max(points, book_.formats_[row[c].format].font.points);
    }
    if (first == row.size()) return;
    const uint16_t rw = static_cast<uint16_t>(r);
    s_.Begin(kRow);
    s_.U16(rw);
    s_.U16(static_cast<uint16_t>(first));
    s_.U16(static_cast<uint16_t>(last + 1));
    s_.U16(RowHeightFor(points));
    s_.U16(0);
    s_.U16(0);
    // Bit 8 is always set; bit 6 keeps a height made for a larger font.
    s_.U32(points > 10 ? 0x0140 : 0x0100);
    s_.End();

    for (size_t c = first; c <= last; ++c) {
      const Workbook::Cell& cell = row[c];
      if (!Written(cell)) continue;
      const uint16_t xf = xf_of_format_[cell.format];
      switch (cell.kind) {
        case Workbook::Kind::kEmpty: s_.Begin(kBlank); break;
        case Workbook::Kind::kNumber: s_.Begin(kNumber); break;
        case Workbook::Kind::kText: s_.Begin(kLabelsst); break;
        case Workbook::Kind::kBoolean: s_.Begin(kBoolerr); break;
      }
      s_.U16(rw);
      s_.U16(static_cast<uint16_t>(c));
      s_.U16(xf);
      switch (cell.kind) {
        case Workbook::Kind::kEmpty: break;
        case Workbook::Kind::kNumber: s_.F64(cell.number); break;
        case Workbook::Kind::kText: s_.U32(sst_of_string_[cell.text]); break;
        case Workbook::Kind::kBoolean:
          s_.U8(cell.number != 0 ? 1 : 0);
          s_.U8(0);
          break;
      }
      s_.End();
    }
  }

  const Workbook& book_;
  BiffStream s_;
  std::vector<uint32_t> used_formats_;    // in order of first use; XF 16 + k
  std::vector<uint16_t> xf_of_format_;
  std::vector<Font> fonts_;               // custom fonts, file index kFirstCustomFont + k
  std::vector<uint16_t> font_of_format_;  // file font index of each format
  std::vector<uint32_t> sst_of_string_;   // strings_ index -> SST index
  std::vector<uint32_t> sst_order_;       // SST index -> strings_ index
  uint32_t sst_total_ = 0;
  size_t boundsheet_offset_at_ = 0;
};

Workbook::Workbook(std::string sheet_name) : sheet_name_(std::move(sheet_name)) {
  // The characters a tab name may not hold become "_"; no name at all falls back to the default.
  for (char& c : sheet_name_) {
    if (std::string_view("[]:*?/\\").find(c) != std::string_view::npos) c = '_';
  }
  if (sheet_name_.empty()) sheet_name_ = "Hoja1";
  formats_.push_back(Format{});
}

Workbook::Cell& Workbook::At(int row, int column) {
  if (row < 1 || row > kMaxRows || column < 1 || column > kMaxColumns) BadArgument();
  if (cells_.size() < static_cast<size_t>(row)) cells_.resize(row);
  std::vector<Cell>& cells = cells_[row - 1];
  if (cells.size() < static_cast<size_t>(column)) cells.resize(column);
  return cells[column - 1];
}

template <typename Change>
void Workbook::ChangeFormat(int row, int column, Change change) {
  Cell& cell = At(row, column);
  Format format = formats_[cell.format];
  change(format);
  auto it = std::find(formats_.begin(), formats_.end(), format);
  if (it == formats_.end()) {
    if (formats_.size() - 1 >= kMaxFormats) BadArgument();
    const bool new_font = std::none_of(formats_.begin(), formats_.end(),
                                       [&](const Format& f) { return f.font == format.font; });
    if (new_font) {
      std::vector<Font> fonts;
      for (const Format& f : formats_) {
        if (!IsDefaultFont(f.font) && std::find(fonts.begin(), fonts.end(), f.font) == fonts.end())
          fonts.push_back(f.font);
      }
      if (fonts.size() >= kMaxFonts) BadArgument();
    }
    it = formats_.insert(formats_.end(), format);
  }
  cell.format = static_cast<uint32_t>(it - formats_.begin());
}

uint32_t Workbook::InternString(std::string_view text) {
  auto it = string_index_.find(text);
  if (it != string_index_.end()) return it->second;
  const uint32_t index = static_cast<uint32_t>(strings_.size());
  strings_.emplace_back(text);
  string_index_.emplace(strings_.back(), index);
  return index;
}

void Workbook::SetText(int row, int column, std::string_view text) {
  Cell& cell = At(row, column);
  if (text.empty()) {
    cell.kind = Kind::kEmpty;
    return;
  }
  cell.text = InternString(text);
  cell.kind = Kind::kText;
}

void Workbook::SetNumber(int row, int column, double value) {
  if (!std::isfinite(value)) BadArgument();
  Cell& cell = At(row, column);
  cell.kind = Kind::kNumber;
  cell.number = value;
}

void Workbook::SetValue(int row, int column, const runtime::Valor& value) {
  using runtime::VarType;
  switch (value.Type()) {
    case VarType::kEmpty:
    case VarType::kNull: ClearValue(row, column); return;
    case VarType::kInteger: SetNumber(row, column, value.AsInteger()); return;
    case VarType::kLong: SetNumber(row, column, value.AsLong()); return;
    case VarType::kSingle:
    case VarType::kDouble:
    case VarType::kDecimal: SetNumber(row, column, value.AsDouble()); return;
    case VarType::kCurrency:
      SetNumber(row, column, static_cast<double>(value.AsCurrency().units) / 10000.0);
      return;
    case VarType::kString: SetText(row, column, value.AsString()); return;
    case VarType::kBoolean: {
      Cell& cell = At(row, column);
      cell.kind = Kind::kBoolean;
      cell.number = value.AsBoolean() ? 1 : 0;
      return;
    }
    case VarType::kDate: {
      const double days = value.AsDate().days;
      // The spreadsheet's 1900 calendar counts a 29 February 1900 that never was, so its days
      // before 1 March 1900 are one less than here (01/01/1900 is its day 1).
      SetNumber(row, column, days >= 2 && days < 61 ? days - 1 : days);
      const int number_format = days == std::floor(days) ? kDateFormat : kDateTimeFormat;
      ChangeFormat(row, column, [&](Format& f) { f.number_format = number_format; });
      return;
    }
  }
}

void Workbook::ClearValue(int row, int column) { At(row, column).kind = Kind::kEmpty; }

void Workbook::SetFont(int row, int column, const Font& font) {
  CheckColor(font.color_index, false);
  if (!(font.points >= 1 && font.points <= 409)) BadArgument();
  ChangeFormat(row, column, [&](Format& f) { f.font = font; });
}

void Workbook::SetFill(int row, int column, int color_index) {
  CheckColor(color_index, true);
  ChangeFormat(row, column, [&](Format& f) { f.fill = color_index; });
}

void Workbook::SetBorder(int row, int column, Edge edge, const BorderLine& line) {
  if (LineCode(line) < 0) BadArgument();
  CheckColor(line.color_index, false);
  // A removed edge keeps no colour or weight, so that it compares equal to "never set".
  const BorderLine stored = line.line_style == kLineStyleNone ? BorderLine{} : line;
  ChangeFormat(row, column, [&](Format& f) {
    switch (edge) {
      case Edge::kLeft: f.left = stored; break;
      case Edge::kTop: f.top = stored; break;
      case Edge::kBottom: f.bottom = stored; break;
      case Edge::kRight: f.right = stored; break;
    }
  });
}

void Workbook::SetColumnWidth(int column, double characters) {
  if (column < 1 || column > kMaxColumns || !(characters >= 0 && characters <= 255)) {
    BadArgument();
  }
  column_widths_[column] = characters;
}

std::vector<uint8_t> Workbook::WorkbookStream() const { return WorkbookEncoder(*this).Stream(); }

std::vector<uint8_t> Workbook::FileBytes() const {
  return internal::BuildCompoundFile(WorkbookStream());
}

void Workbook::Save(const std::string& path) const {
  const std::vector<uint8_t> bytes = FileBytes();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (out) out.write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  out.close();
  if (!out) {
    throw runtime::VbError(runtime::kVbPathFileAccess, runtime::kVbRuntimeSource,
                           std::string(runtime::VbErrorDescription(runtime::kVbPathFileAccess)) +
                               ": " + path);
  }
}

}  // namespace sheet
