// The formatting records of written workbooks, read from the stream's own bytes: fonts, the
// fixed and the cell XFs with their border and fill bits, widths, row heights, and the globals a
// spreadsheet program needs to open the file without repairing it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <string>

#include "platform/sheet/internal/compound_file.h"
#include "platform/sheet/xls_writer.h"
#include "tests/platform/sheet/sheet_test_support.h"

namespace sheet {
namespace {

using test_support::Record;

constexpr uint16_t kBofId = 0x0809, kEofId = 0x000A, kFontId = 0x0031, kXfId = 0x00E0,
                   kBoundsheetId = 0x0085, kColinfoId = 0x007D, kRowId = 0x0208,
                   kLabelsstId = 0x00FD, kNumberId = 0x0203, kBlankId = 0x0201,
                   kStyleId = 0x0293, kDimensionsId = 0x0200, kWindow2Id = 0x023E,
                   kSstId = 0x00FC, kFormatId = 0x041E;

// A written workbook taken apart: records, fonts by file index, XFs by index, cells by (row,
// column) 0-based with their XF index.
struct Parsed {
  std::vector<Record> records;
  std::vector<Record> fonts;  // file font index k is fonts[k < 4 ? k : k - 1]
  std::vector<Record> xfs;
  std::map<std::pair<int, int>, const Record*> cells;

  const Record& FontOf(const Record& xf) const {
    const uint16_t index = xf.U16(0);
    return fonts.at(index < 4 ? index : index - 1);
  }
  const Record& XfOfCell(int row, int column) const {
    return xfs.at(cells.at({row - 1, column - 1})->U16(4));
  }
};

Parsed Parse(const Workbook& book) {
  Parsed p;
  bool ok = false;
  p.records = test_support::ParseRecords(book.WorkbookStream(), &ok);
  EXPECT_TRUE(ok) << "a record runs past the end of the stream";
  p.fonts = test_support::RecordsWithId(p.records, kFontId);
  p.xfs = test_support::RecordsWithId(p.records, kXfId);
  for (const Record& r : p.records) {
    if (r.id == kLabelsstId || r.id == kNumberId || r.id == kBlankId) {
      p.cells[{r.U16(0), r.U16(2)}] = &r;
    }
  }
  return p;
}

// The cell formats a report asks for: a 15-point bold, italic, underlined title and header
// cells with a white fill, black text and a thick box.
Workbook ReportLayout() {
  Workbook book;
  book.SetText(1, 1, "Reporte de Resultados");
  book.SetFont(1, 1, Font{.bold = true, .italic = true, .underline = true, .points = 15});
  for (int c = 1; c <= 3; ++c) {
    book.SetText(3, c, "Col" + std::to_string(c));
    book.SetFill(3, c, 2);
    book.SetFont(3, c, Font{.color_index = 1});
    for (Edge e : {Edge::kRight, Edge::kBottom, Edge::kTop, Edge::kLeft}) {
      book.SetBorder(3, c, e, BorderLine{kContinuous, kThick, kColorIndexAutomatic});
    }
    book.SetNumber(4, c, c * 1.5);
  }
  return book;
}

// A FONT record as "height in twips, italic, weight, underline, colour".
std::string FontText(const Record& font) {
  return std::to_string(font.U16(0)) + (font.U16(2) & 0x0002 ? " italic" : "") + " w" +
         std::to_string(font.U16(6)) + " u" + std::to_string(font.data.at(10)) + " c" +
         std::to_string(font.U16(4));
}

TEST(XlsFormatTest, ReportTitleAndHeaderCellsCarryTheirFormats) {
  Parsed p = Parse(ReportLayout());
  EXPECT_EQ(FontText(p.FontOf(p.XfOfCell(1, 1))), "300 italic w700 u1 c32767");  // automatic
  // The title row is made tall enough for its font.
  for (const Record& row : test_support::RecordsWithId(p.records, kRowId)) {
    EXPECT_EQ(row.U16(6) >= 300, row.U16(0) == 0) << "row " << row.U16(0);
  }
  // Header cells share one XF, a cell XF with its own font, border and fill: four thick (5)
  // edges in automatic colour (0x40), a solid (1) white (9) fill and black (8) text.
  EXPECT_EQ(p.cells.at({2, 0})->U16(4), p.cells.at({2, 2})->U16(4));
  const Record& xf = p.XfOfCell(3, 2);
  EXPECT_EQ(xf.U32(10), 0x5555u | 0x40u << 16 | 0x40u << 23);
  EXPECT_EQ(xf.U32(14), 0x40u | 0x40u << 7 | 1u << 26);
  EXPECT_EQ(xf.U16(18) & 0x7F, 9);
  EXPECT_EQ(xf.U16(4) & 0x0004, 0);
  EXPECT_EQ(xf.data.at(9) & 0x68, 0x68);
  EXPECT_EQ(FontText(p.FontOf(xf)), "200 w400 u0 c8");
  // Data cells are unformatted: the default cell XF 15 with no border and no fill.
  EXPECT_EQ(p.cells.at({3, 0})->U16(4), 15);
  EXPECT_EQ(p.xfs.at(15).U32(10) | p.xfs.at(15).U32(14) >> 26, 0u);
}

// The file's code of each line style and weight (the weight matters for dashes), and the
// colour; no line leaves the cell unformatted.
TEST(XlsFormatTest, LineStylesAndWeightsMapToTheFileCodes) {
  const std::vector<std::array<int, 5>> cases = {  // style, weight, colour, code, colour code
      {kContinuous, kHairline, 1, 7, 8}, {kContinuous, kMedium, kColorIndexAutomatic, 2, 0x40},
      {kContinuous, kThick, 2, 5, 9},    {kDash, kThin, 1, 3, 8}, {kDash, kMedium, 1, 8, 8},
      {kContinuous, kThin, 3, 1, 10},    {kDot, kThin, 1, 4, 8},  {kDashDot, kThin, 1, 9, 8},
      {kDashDotDot, kMedium, 1, 12, 8},  {kDouble, kThick, 1, 6, 8},
      {kSlantDashDot, kMedium, 1, 13, 8},
      {kLineStyleNone, kThin, 1, 0, 0},
  };
  for (const auto& [style, weight, color, code, color_code] : cases) {
    SCOPED_TRACE(std::to_string(style) + "/" + std::to_string(weight));
    Workbook book;
    book.SetBorder(1, 1, Edge::kBottom, BorderLine{style, weight, color});
    book.SetBorder(1, 1, Edge::kLeft, BorderLine{style, weight, color});
    const Parsed p = Parse(book);
    if (code == 0) {
      EXPECT_TRUE(p.cells.empty());
      continue;
    }
    const uint32_t lines = p.XfOfCell(1, 1).U32(10);
    EXPECT_EQ(lines & 0xF0FF, static_cast<unsigned>(code << 12 | code)) << "left and bottom only";
    EXPECT_EQ(p.XfOfCell(1, 1).U32(14) >> 7 & 0x7F, static_cast<unsigned>(color_code));
  }
}

// One XF and one font per distinct formatting; a border or fill removed again leaves the
// default XF.
TEST(XlsFormatTest, SameFormattingSharesOneXfAndOneFont) {
  Workbook book;
  for (int r = 1; r <= 200; ++r) {
    book.SetNumber(r, 1, r);
    book.SetFont(r, 1, Font{.bold = true, .points = 12});
    book.SetFill(r, 1, 6);
  }
  book.SetFont(1, 2, Font{.bold = true, .points = 12});  // same font, other XF
  book.SetBorder(1, 3, Edge::kTop, BorderLine{kContinuous, kThick, 3});
  book.SetBorder(1, 3, Edge::kTop, BorderLine{kLineStyleNone, kThick, 3});
  book.SetFill(1, 4, 6);
  book.SetFill(1, 4, kColorIndexNone);
  const Parsed p = Parse(book);
  EXPECT_EQ(p.xfs.size(), 18u);
  EXPECT_EQ(p.fonts.size(), 5u);
  EXPECT_EQ(p.XfOfCell(1, 1).U16(0), p.XfOfCell(200, 1).U16(0));
  EXPECT_EQ(p.XfOfCell(1, 2).U16(0), 5) << "first custom font skips index 4";
}

TEST(XlsFormatTest, GlobalsHoldTheFixedStylesAndPointAtTheSheet) {
  const Workbook book = ReportLayout();
  const Parsed p = Parse(book);
  // XFs 0-14 are styles, 15 the default cell format; four fixed 10-point fonts; one STYLE.
  std::string kinds;
  for (const Record& xf : p.xfs) kinds += xf.U16(4) & 0x0004 ? 's' : 'c';
  EXPECT_EQ(kinds.substr(0, 16), std::string(15, 's') + "c");
  for (int k = 0; k < 4; ++k) EXPECT_EQ(p.fonts.at(k).U16(0), 200);
  EXPECT_GE(test_support::RecordsWithId(p.records, kFormatId).size(), 8u);
  const auto styles = test_support::RecordsWithId(p.records, kStyleId);
  ASSERT_EQ(styles.size(), 1u);
  EXPECT_EQ(styles[0].U16(0), 0x8000);

  // BOUNDSHEET points at the worksheet's BOF, right after the globals' EOF; in the sheet
  // DIMENSIONS (rows 0-4, columns 0-3) comes before the cells and WINDOW2 after them.
  const auto sheets = test_support::RecordsWithId(p.records, kBoundsheetId);
  ASSERT_EQ(sheets.size(), 1u);
  auto bof = std::find_if(p.records.begin(), p.records.end(),
                          [&](const Record& r) { return r.offset == sheets[0].U32(0); });
  ASSERT_NE(bof, p.records.end()) << "BOUNDSHEET points between records";
  EXPECT_EQ(std::vector<uint16_t>({(bof - 1)->id, bof->id, bof->U16(2)}),
            std::vector<uint16_t>({kEofId, kBofId, 0x0010}));
  std::vector<uint32_t> order;
  for (auto it = bof; it != p.records.end(); ++it) {
    if (it->id == kDimensionsId) {
      order.insert(order.end(), {kDimensionsId, it->U32(0), it->U32(4), it->U16(8), it->U16(10)});
    }
    if (it->id == kWindow2Id || it->id == kEofId) order.push_back(it->id);
  }
  EXPECT_EQ(order, (std::vector<uint32_t>{kDimensionsId, 0, 4, 0, 3, kWindow2Id, kEofId}));

  EXPECT_EQ(book.WorkbookStream().size() % 4096, 0u) << "padded out of the mini stream";
  const auto sst = test_support::RecordsWithId(p.records, kSstId);
  ASSERT_EQ(sst.size(), 1u);
  EXPECT_EQ(std::make_pair(sst[0].U32(0), sst[0].U32(4)), std::make_pair(4u, 4u))
      << "string cells, distinct strings";
}

// Width in 1/256 of a character, padding included; zero width hides the column.
TEST(XlsFormatTest, ColumnWidthsAreStoredPerColumn) {
  Workbook book;
  book.SetColumnWidth(2, 30);
  book.SetColumnWidth(5, 0);
  const auto infos = test_support::RecordsWithId(Parse(book).records, kColinfoId);
  ASSERT_EQ(infos.size(), 2u);
  EXPECT_EQ(infos[0].U16(0) * 10 + infos[0].U16(2), 11);
  EXPECT_GT(infos[0].U16(4), 30 * 256);
  EXPECT_LT(infos[0].U16(4), 31 * 256);
  EXPECT_EQ(infos[1].U16(0), 4);
  EXPECT_EQ(infos[1].U16(8) & 0x0001, 1);
}


// The container carries the stream unchanged; the stream finder also runs on whatever file the
// reader is handed: broken containers give nothing, never a crash or an endless walk.
TEST(CompoundFileTest, BrokenContainersGiveNoStream) {
  Workbook book;
  book.SetText(1, 1, "x");
  const std::vector<uint8_t> good = book.FileBytes();
  const size_t stream_sectors = book.WorkbookStream().size() / 512;
  const size_t fat_at = (stream_sectors + 1) * 512;  // the FAT follows the stream

  struct Case {
    const char* what;
    std::function<void(std::vector<uint8_t>&)> damage;
  };
  const std::vector<Case> cases = {
      {"cut before the directory", [](std::vector<uint8_t>& f) { f.resize(f.size() - 512); }},
      {"cut inside the header", [](std::vector<uint8_t>& f) { f.resize(100); }},
      {"not a compound file", [](std::vector<uint8_t>& f) { f[0] = 'P'; }},
      {"stream chain loops on itself",
       [&](std::vector<uint8_t>& f) {
         f[fat_at + 4] = 0;  // sector 1 -> sector 0
         f[fat_at + 5] = f[fat_at + 6] = f[fat_at + 7] = 0;
       }},
      {"stream chain points past the end",
       [&](std::vector<uint8_t>& f) { f[fat_at + 7] = 0x70; }},
      {"FAT count beyond the file", [](std::vector<uint8_t>& f) { f[0x2C] = 200; }},
  };
  EXPECT_EQ(good.size() % 512, 0u);
  EXPECT_TRUE(internal::ReadCompoundStream(good, "Workbook") == book.WorkbookStream());
  EXPECT_FALSE(internal::ReadCompoundStream(good, "Book").has_value()) << "no such stream";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<uint8_t> file = good;
    c.damage(file);
    EXPECT_FALSE(internal::ReadCompoundStream(file, "Workbook").has_value());
  }
}

}  // namespace
}  // namespace sheet
