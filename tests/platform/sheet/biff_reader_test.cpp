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

}  // namespace
}  // namespace sheet::internal
