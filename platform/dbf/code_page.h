// Code pages of DBF text: the header's code-page mark turned into a Windows/DOS code page number,
// and bytes of such a code page turned into UTF-8. Part of the DBF reader; knows nothing of files.
// Never guesses a code page from the bytes: the caller says which one applies.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace dbf {

// The code page named by the header byte `mark` (1252 for 0x03, 866 for 0x65, ...), or 0 when
// the mark is 0 (no code page recorded) or unknown.
int CodePageOfMark(uint8_t mark);

// True when `code_page` can be decoded by TextDecoder.
bool IsSupportedCodePage(int code_page);

// The number and a short Spanish name of a code page for messages ("620 (MS-DOS Mazovia,
// polaco)"); the number alone for a code page this module does not know.
std::string CodePageName(int code_page);

// Turns text of one code page into UTF-8. Single-byte code pages go through a 256-entry table
// built once (from iconv, with the pages iconv lacks, Mazovia and Kamenicky, written out here);
// the East Asian double-byte pages go through iconv itself. Bytes the code page leaves undefined
// become U+FFFD, so the result is always valid UTF-8.
class TextDecoder {
 public:
  // Throws std::invalid_argument when the code page is not supported.
  explicit TextDecoder(int code_page);
  ~TextDecoder();
  TextDecoder(const TextDecoder&) = delete;
  TextDecoder& operator=(const TextDecoder&) = delete;

  int CodePage() const { return code_page_; }
  std::string ToUtf8(std::string_view bytes) const;

 private:
  struct Impl;
  int code_page_;
  std::unique_ptr<Impl> impl_;
};

}  // namespace dbf
