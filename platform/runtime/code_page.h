// Text of a Windows, DOS or Macintosh code page turned into UTF-8, through glibc's iconv. The one
// wrapper of iconv for the modules that read files of other systems (DBF tables, old workbooks);
// it knows character sets by iconv's names and never guesses one from the bytes.
#pragma once

#include <string>
#include <string_view>

namespace runtime {

class CodePageConverter {
 public:
  // `charset` as iconv names it ("CP1252", "CP850", "MACINTOSH", "CP932" ...).
  // Throws std::invalid_argument when iconv cannot convert from it.
  explicit CodePageConverter(const std::string& charset);
  ~CodePageConverter();
  CodePageConverter(const CodePageConverter&) = delete;
  CodePageConverter& operator=(const CodePageConverter&) = delete;

  const std::string& Charset() const { return charset_; }

  // All of `bytes` in UTF-8. A byte sequence the code page leaves undefined, or one cut off at
  // the end, becomes U+FFFD and costs one byte, so the rest of the text still comes through;
  // the result is always valid UTF-8. Not for use by two threads at once.
  std::string ToUtf8(std::string_view bytes);

 private:
  std::string charset_;
  void* handle_;  // iconv_t
};

}  // namespace runtime
