// The workbook writer, timed on a report-sized sheet: a formatted title and header row, then
// 5,000 rows by 20 columns (a company code and 19 results). Reports the time to fill the model,
// to encode and save, and the file size; then the time FreeXL takes to read it back.
// A plain timed program, run by hand; it never runs as a test and asserts nothing.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/bench_util.h"
#include "platform/sheet/xls_reader.h"
#include "platform/sheet/xls_writer.h"

namespace {

using bench::Seconds;

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::atoi(argv[1]) : 5000;
  const int columns = 20;
  const std::string path =
      (std::filesystem::temp_directory_path() / "consolida_sheet_write_bench.xls").string();

  const auto fill_start = std::chrono::steady_clock::now();
  sheet::Workbook book;
  book.SetText(1, 1, "Reporte de Resultados");
  book.SetFont(1, 1, sheet::Font{.bold = true, .italic = true, .underline = true, .points = 15});
  for (int c = 1; c <= columns; ++c) {
    book.SetText(3, c, c == 1 ? "Empresa" : "F" + std::to_string(c));
    book.SetFill(3, c, 2);
    book.SetFont(3, c, sheet::Font{.color_index = 1});
    for (sheet::Edge e : {sheet::Edge::kRight, sheet::Edge::kBottom, sheet::Edge::kTop,
                          sheet::Edge::kLeft}) {
      book.SetBorder(3, c, e, sheet::BorderLine{sheet::kContinuous, sheet::kThick,
                                                sheet::kColorIndexAutomatic});
    }
  }
  for (int r = 0; r < rows; ++r) {
    book.SetText(4 + r, 1, "E" + std::to_string(100000 + r));
    for (int c = 2; c <= columns; ++c) book.SetNumber(4 + r, c, (r + 1) * 1.25 + c / 7.0);
  }
  const double fill_seconds = Seconds(fill_start);

  const auto save_start = std::chrono::steady_clock::now();
  book.Save(path);
  const double save_seconds = Seconds(save_start);

  const auto read_start = std::chrono::steady_clock::now();
  const sheet::SheetGrid grid = sheet::ReadSheet(path);
  const double read_seconds = Seconds(read_start);

  std::printf("rows %d x columns %d\n", rows, columns);
  std::printf("fill   %.3f s\n", fill_seconds);
  std::printf("save   %.3f s\n", save_seconds);
  std::printf("size   %ju bytes\n", static_cast<uintmax_t>(std::filesystem::file_size(path)));
  std::printf("read   %.3f s (FreeXL, %u rows)\n", read_seconds, grid.row_count);
  std::filesystem::remove(path);
  return 0;
}
