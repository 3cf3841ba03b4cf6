// Writes Excel 97-2003 workbooks (.xls: a BIFF8 Workbook stream inside a version 3 compound
// file) with one worksheet of text and number cells, fonts, solid fills, borders and column
// widths. Sits in platform/sheet and stands in for the spreadsheet application the reports once
// drove: its calls take the same row/column numbers and colour, line and weight codes. It never
// reads files and never starts another program.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/valor.h"

namespace sheet {

// Colour codes are the spreadsheet's ColorIndex values: 1 black, 2 white, 3 red, 4 bright green,
// 5 blue, 6 yellow, ... 56, plus these two.
inline constexpr int kColorIndexAutomatic = -4105;
inline constexpr int kColorIndexNone = -4142;

// Border edges, numbered as the spreadsheet's Borders(index).
enum class Edge : int { kLeft = 7, kTop = 8, kBottom = 9, kRight = 10 };

// Line styles and weights, numbered as the spreadsheet's LineStyle and Weight.
inline constexpr int kLineStyleNone = -4142;
inline constexpr int kContinuous = 1;
inline constexpr int kDash = -4115;
inline constexpr int kDot = -4118;
inline constexpr int kDouble = -4119;
inline constexpr int kDashDot = 4;
inline constexpr int kDashDotDot = 5;
inline constexpr int kSlantDashDot = 13;
inline constexpr int kHairline = 1;
inline constexpr int kThin = 2;
inline constexpr int kMedium = -4138;
inline constexpr int kThick = 4;

// Largest sheet: rows 1..65536, columns 1..256. Texts longer than kMaxTextLength UTF-16 units are
// cut to that length, as the spreadsheet keeps at most that many characters in a cell.
inline constexpr int kMaxRows = 65536;
inline constexpr int kMaxColumns = 256;
inline constexpr size_t kMaxTextLength = 32767;

inline constexpr size_t kMaxFormats = 4000;
inline constexpr size_t kMaxFonts = 500;

// Err.Number raised for a cell outside the sheet or a bad colour/line code, as the spreadsheet
// raises it ("Application-defined or object-defined error").
inline constexpr long kErrBadCellArgument = 1004;

struct Font {
  bool bold = false;
  bool italic = false;
  bool underline = false;  // single underline
  double points = 10;      // Arial; stored in twentieths of a point
  int color_index = kColorIndexAutomatic;
  friend bool operator==(const Font&, const Font&) = default;
};

struct BorderLine {
  int line_style = kLineStyleNone;
  int weight = kThin;
  int color_index = kColorIndexAutomatic;
  friend bool operator==(const BorderLine&, const BorderLine&) = default;
};

// A workbook with one worksheet, built in memory and written by Save. Rows and columns count
// from 1, as Cells(row, column) does. Setting a value replaces the cell's value and keeps its
// formatting; formatting calls keep the value. Not thread-safe; cheap to fill with tens of
// thousands of cells.
class Workbook {
 public:
  // The worksheet's tab name: at most 31 characters are kept, each of []:*?/\ becomes "_",
  // and an empty name gives "Hoja1".
  explicit Workbook(std::string sheet_name = "Hoja1");

  // Cells(row, column) = value. Text is UTF-8 (any characters; bytes that are not UTF-8 become
  // U+FFFD); an empty text empties the cell, as the spreadsheet does. Numbers must be finite
  // (NaN and infinities throw VbError kErrBadCellArgument).
  // All setters throw runtime::VbError kErrBadCellArgument when row or column is out of range.
  void SetText(int row, int column, std::string_view text);
  void SetNumber(int row, int column, double value);
  // A Valor as the spreadsheet takes a Variant: Empty and Null leave the cell empty; Integer,
  // Long, Single, Double, Currency and Decimal give a number; Boolean a TRUE/FALSE cell; Date a
  // number shown as a date (dd/mm/yyyy, with hh:mm:ss when it has a time); String a text.
  void SetValue(int row, int column, const runtime::Valor& value);
  // Empties the cell's value (its formatting stays).
  void ClearValue(int row, int column);

  // Cells(row, column).Font: bold, italic, underline, size (1 .. 409 points) and colour at once.
  // A workbook holds at most kMaxFormats different cell formats and kMaxFonts different fonts;
  // one more throws VbError kErrBadCellArgument.
  void SetFont(int row, int column, const Font& font);
  // Cells(row, column).Interior.ColorIndex: a solid fill, or kColorIndexNone for no fill.
  void SetFill(int row, int column, int color_index);
  // Cells(row, column).Borders(edge) = line; a line_style of kLineStyleNone removes the edge.
  void SetBorder(int row, int column, Edge edge, const BorderLine& line);
  // Columns(column).ColumnWidth in characters of the default font (0 .. 255).
  void SetColumnWidth(int column, double characters);

  // Writes the workbook to `path`, replacing any file there. Throws runtime::VbError 75
  // "Path/File access error" (the description names the path) when the file cannot be written.
  void Save(const std::string& path) const;

  // The complete file as Save writes it.
  std::vector<uint8_t> FileBytes() const;
  // The BIFF8 Workbook stream alone (records, padded with zeros to a multiple of 4096 bytes).
  std::vector<uint8_t> WorkbookStream() const;

 private:
  struct Format {
    Font font;
    int fill = kColorIndexNone;
    BorderLine left, top, bottom, right;
    int number_format = 0;  // built-in format id
    friend bool operator==(const Format&, const Format&) = default;
  };
  enum class Kind : uint8_t { kEmpty, kNumber, kText, kBoolean };
  struct Cell {
    Kind kind = Kind::kEmpty;
    uint32_t format = 0;  // index into formats_ (0 = no formatting)
    double number = 0;    // kNumber, kBoolean (0/1)
    uint32_t text = 0;    // kText: index into strings_
  };
  friend class WorkbookEncoder;

  Cell& At(int row, int column);
  template <typename Change>
  void ChangeFormat(int row, int column, Change change);
  uint32_t InternString(std::string_view text);

  std::string sheet_name_;
  // cells_[row - 1][column - 1]; rows grow only as far as their last touched column.
  std::vector<std::vector<Cell>> cells_;
  std::vector<Format> formats_;  // formats_[0] is the unformatted cell
  std::map<std::vector<uint8_t>, uint32_t> format_index_;  // Format's key bytes -> index
  std::vector<std::string> strings_;  // UTF-8, unique
  std::map<std::string, uint32_t, std::less<>> string_index_;
  std::map<int, double> column_widths_;
};

}  // namespace sheet
