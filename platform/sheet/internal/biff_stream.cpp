// Record framing and string encoding for the .xls writer: little-endian fields, record lengths
// filled in at End(), the string forms with their "compressed" one-byte variant, and a strict
// UTF-8 decoder. Part of platform/sheet's internals; it never writes files.
#include "platform/sheet/internal/biff_stream.h"

#include <cassert>
#include <cstring>

namespace sheet::internal {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one UTF-8 sequence at text[i]; advances i. Overlong forms, surrogates and values above
// U+10FFFF are refused the way a strict decoder refuses them: one replacement per bad byte.
char32_t NextCodePoint(std::string_view text, size_t& i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) {
    ++i;
    return lead;
  }
  size_t length = 0;
  char32_t cp = 0;
  char32_t min = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2, cp = lead & 0x1F, min = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, cp = lead & 0x0F, min = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, cp = lead & 0x07, min = 0x10000;
  } else {
    ++i;
    return kReplacement;
  }
  if (i + length > text.size()) {
    ++i;
    return kReplacement;
  }
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) {
      ++i;
      return kReplacement;
    }
    cp = (cp << 6) | (byte(i + k) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return kReplacement;
  }
  i += length;
  return cp;
}

}  // namespace

std::u16string Utf16FromUtf8(std::string_view text, size_t max_units) {
  std::u16string out;
  out.reserve(text.size() < max_units ? text.size() : max_units);
  size_t i = 0;
  while (i < text.size()) {
    const char32_t cp = NextCodePoint(text, i);
    if (cp < 0x10000) {
      if (out.size() + 1 > max_units) break;
      out.push_back(static_cast<char16_t>(cp));
    } else {
      if (out.size() + 2 > max_units) break;
      const char32_t v = cp - 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (v >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (v & 0x3FF)));
    }
  }
  return out;
}

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
