// The record reader behind the .xls fallback on damaged Workbook streams: every prefix of a real
// stream either reads or is refused with BiffError, and a FILEPASS record is always refused.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "platform/sheet/internal/biff_reader.h"
#include "platform/sheet/internal/compound_file.h"

namespace sheet::internal {
namespace {

std::vector<uint8_t> StreamOf(const std::string& name, const char* stream_name) {
  std::ifstream in(std::string(CONSOLIDA_TEST_DATA_DIR) + "/xls/" + name, std::ios::binary);
  const std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  return ReadCompoundStream(file, stream_name).value_or(std::vector<uint8_t>{});
}

TEST(BiffReaderTest, CutStreamsAreRefusedNeverMisread) {
  struct Case {
    const char* file;
    const char* stream;
  };
  for (const Case& c : {Case{"Formate.xls", "Workbook"}, Case{"biff5_write.xls", "Book"}}) {
    SCOPED_TRACE(c.file);
    const std::vector<uint8_t> whole = StreamOf(c.file, c.stream);
    ASSERT_GT(whole.size(), 100u);
    const SheetGrid full = BiffWorkbook(whole).ReadGrid(0);
    ASSERT_GT(full.row_count, 0u);
    int refused = 0;
    for (size_t cut = 0; cut < whole.size(); cut += 7) {
      SCOPED_TRACE(cut);
      std::vector<uint8_t> part(whole.begin(), whole.begin() + static_cast<long>(cut));
      try {
        const BiffWorkbook book(part);
        // Only a cut after the first sheet's end can still read it, and then all of it.
        const SheetGrid grid = book.ReadGrid(0);
        ASSERT_EQ(grid.row_count, full.row_count);
        ASSERT_EQ(grid.column_count, full.column_count);
        for (size_t r = 0; r < grid.rows.size(); ++r) {
          for (size_t k = 0; k < grid.rows[r].size(); ++k) {
            EXPECT_TRUE(grid.rows[r][k] == full.rows[r][k]);
          }
        }
      } catch (const BiffError&) {
        ++refused;
      }
    }
    EXPECT_GT(refused, 0);
  }
}

TEST(BiffReaderTest, RefusesEncryptedAndForeignStreams) {
  std::vector<uint8_t> stream = StreamOf("biff5_write.xls", "Book");
  ASSERT_GT(stream.size(), 20u);
  // A FILEPASS record right after the BOF: everything after it would be scrambled.
  const size_t bof_end = 4 + (stream[2] | stream[3] << 8);
  const std::vector<uint8_t> filepass = {0x2F, 0x00, 0x04, 0x00, 0, 0, 0, 0};
  std::vector<uint8_t> encrypted = stream;
  encrypted.insert(encrypted.begin() + static_cast<long>(bof_end), filepass.begin(),
                   filepass.end());
  EXPECT_THROW(BiffWorkbook{encrypted}, BiffError);
  EXPECT_THROW(BiffWorkbook(std::vector<uint8_t>{}), BiffError);
  EXPECT_THROW(BiffWorkbook(std::vector<uint8_t>(64, 0x41)), BiffError);
  EXPECT_NO_THROW(BiffWorkbook{stream});
}

// A BIFF5 Workbook stream (code page 1252 by default) with one sheet named `sheet` whose cell
// A1 holds `label`.
std::vector<uint8_t> Biff5Stream(const std::string& sheet, const std::string& label) {
  std::vector<uint8_t> out;
  auto record = [&out](unsigned id, std::vector<uint8_t> data) {
    for (size_t v : {static_cast<size_t>(id), data.size()}) {
      out.push_back(static_cast<uint8_t>(v & 0xFF));
      out.push_back(static_cast<uint8_t>(v >> 8));
    }
    out.insert(out.end(), data.begin(), data.end());
  };
  std::vector<uint8_t> boundsheet = {0, 0, 0, 0, 0, 0, static_cast<uint8_t>(sheet.size())};
  boundsheet.insert(boundsheet.end(), sheet.begin(), sheet.end());
  std::vector<uint8_t> cell = {0, 0, 0, 0, 0x0F, 0, static_cast<uint8_t>(label.size()), 0};
  cell.insert(cell.end(), label.begin(), label.end());
  record(0x0809, {0x00, 0x05, 0x05, 0x00, 0, 0, 0, 0});
  const size_t sheet_offset = out.size() + 4;
  record(0x0085, boundsheet);
  record(0x000A, {});
  out[sheet_offset] = static_cast<uint8_t>(out.size());  // the sheet's BOF follows
  record(0x0809, {0x00, 0x05, 0x10, 0x00, 0, 0, 0, 0});
  record(0x0204, cell);
  record(0x000A, {});
  return out;
}

TEST(BiffReaderTest, BytesTheCodePageLeavesUndefinedReadAsReplacementCharacters) {
  const BiffWorkbook book(Biff5Stream("Hoja\x81", "a\x81" "b\xE9"));
  EXPECT_EQ(book.SheetNames(), std::vector<std::string>{"Hoja\xEF\xBF\xBD"});
  const SheetGrid grid = book.ReadGrid(0);
  ASSERT_EQ(grid.row_count, 1u);
  ASSERT_EQ(grid.column_count, 1u);
  EXPECT_TRUE(grid.rows[0][0] == runtime::Valor::String("a\xEF\xBF\xBD" "bé"));
}

}  // namespace
}  // namespace sheet::internal
