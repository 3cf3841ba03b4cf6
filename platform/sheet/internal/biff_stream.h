// Byte-level building blocks of the .xls writer: a BIFF record stream (little-endian fields,
// record framing, the two string forms; text arrives as UTF-16 from runtime::Utf16FromUtf8).
// Internal to platform/sheet; knows nothing of cells or formats and never touches files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sheet::internal {

// Largest data part of one record; longer data goes on in CONTINUE records.
inline constexpr size_t kMaxRecordData = 8224;
inline constexpr uint16_t kContinue = 0x003C;

// True when every unit fits in one byte, so the string can be stored "compressed" (Latin-1).
bool FitsOneByte(std::u16string_view text);

// A Workbook stream under construction. Records are written as Begin(id), fields, End(); End
// fills in the length. REQUIRES: records are not nested and stay within kMaxRecordData.
class BiffStream {
 public:
  void Begin(uint16_t id);
  void End();
  // Ends the current record and opens a CONTINUE record.
  void Continue();

  void U8(uint8_t v) { bytes_.push_back(v); }
  void U16(uint16_t v);
  void U32(uint32_t v);
  void F64(double v);
  void Zeros(size_t count) { bytes_.insert(bytes_.end(), count, 0); }
  // The characters only (one byte each when `one_byte`, else UTF-16LE).
  void Chars(std::u16string_view text, bool one_byte);
  // ShortXLUnicodeString: cch u8, flags u8, characters. REQUIRES: text.size() <= 255.
  void ShortString(std::u16string_view text);
  // XLUnicodeString: cch u16, flags u8, characters. REQUIRES: text.size() <= 65535.
  void LongString(std::u16string_view text);

  void Patch32(size_t offset, uint32_t v);
  // Bytes written so far (the absolute position of the next byte in the stream).
  size_t Size() const { return bytes_.size(); }
  // Data bytes written so far in the open record.
  size_t RecordLength() const { return bytes_.size() - record_start_ - 4; }
  std::vector<uint8_t>& Bytes() { return bytes_; }

 private:
  void CountedString(std::u16string_view text, bool two_byte_count);

  std::vector<uint8_t> bytes_;
  size_t record_start_ = 0;
};

}  // namespace sheet::internal
