// Record framing and string encoding for the .xls writer: little-endian fields, record lengths
// filled in at End(), and the string forms with their "compressed" one-byte variant. Part of
// platform/sheet's internals; it never writes files.
#include "platform/sheet/internal/biff_stream.h"

#include <cassert>
#include <cstring>

namespace sheet::internal {

bool FitsOneByte(std::u16string_view text) {
  for (char16_t c : text) {
    if (c > 0xFF) return false;
  }
  return true;
}

void BiffStream::Begin(uint16_t id) {
  record_start_ = bytes_.size();
  U16(id);
  U16(0);
}

void BiffStream::End() {
  const size_t length = RecordLength();
  assert(length <= kMaxRecordData);
  bytes_[record_start_ + 2] = static_cast<uint8_t>(length & 0xFF);
  bytes_[record_start_ + 3] = static_cast<uint8_t>(length >> 8);
}

void BiffStream::Continue() {
  End();
  Begin(kContinue);
}

void BiffStream::U16(uint16_t v) {
  bytes_.push_back(static_cast<uint8_t>(v & 0xFF));
  bytes_.push_back(static_cast<uint8_t>(v >> 8));
}

void BiffStream::U32(uint32_t v) {
  U16(static_cast<uint16_t>(v & 0xFFFF));
  U16(static_cast<uint16_t>(v >> 16));
}

void BiffStream::F64(double v) {
  uint64_t bits = 0;
  std::memcpy(&bits, &v, sizeof bits);
  U32(static_cast<uint32_t>(bits & 0xFFFFFFFFu));
  U32(static_cast<uint32_t>(bits >> 32));
}

void BiffStream::Chars(std::u16string_view text, bool one_byte) {
  for (char16_t c : text) {
    if (one_byte) {
      U8(static_cast<uint8_t>(c));
    } else {
      U16(static_cast<uint16_t>(c));
    }
  }
}

void BiffStream::CountedString(std::u16string_view text, bool two_byte_count) {
  const bool one_byte = FitsOneByte(text);
  if (two_byte_count) {
    U16(static_cast<uint16_t>(text.size()));
  } else {
    U8(static_cast<uint8_t>(text.size()));
  }
  U8(one_byte ? 0 : 1);
  Chars(text, one_byte);
}

void BiffStream::ShortString(std::u16string_view text) {
  assert(text.size() <= 255);
  CountedString(text, false);
}

void BiffStream::LongString(std::u16string_view text) {
  assert(text.size() <= 65535);
  CountedString(text, true);
}

void BiffStream::Patch32(size_t offset, uint32_t v) {
  for (int k = 0; k < 4; ++k) bytes_[offset + k] = static_cast<uint8_t>((v >> (8 * k)) & 0xFF);
}

}  // namespace sheet::internal
