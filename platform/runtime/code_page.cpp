// The iconv wrapper (see code_page.h). The conversion state is reset before each text and after
// each undefined sequence, so one bad byte never spoils what follows it.
#include "platform/runtime/code_page.h"

#include <iconv.h>

#include <cerrno>
#include <stdexcept>

namespace runtime {
namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

iconv_t Handle(void* handle) { return static_cast<iconv_t>(handle); }

}  // namespace

CodePageConverter::CodePageConverter(const std::string& charset)
    : charset_(charset), handle_(iconv_open("UTF-8", charset.c_str())) {
  if (Handle(handle_) == reinterpret_cast<iconv_t>(-1)) {
    throw std::invalid_argument("iconv cannot convert from " + charset);
  }
}

CodePageConverter::~CodePageConverter() { iconv_close(Handle(handle_)); }

std::string CodePageConverter::ToUtf8(std::string_view bytes) {
  const iconv_t handle = Handle(handle_);
  iconv(handle, nullptr, nullptr, nullptr, nullptr);
  std::string out;
  out.reserve(bytes.size());
  char* in = const_cast<char*>(bytes.data());
  size_t in_left = bytes.size();
  char buffer[256];
  while (in_left > 0) {
    char* out_ptr = buffer;
    size_t out_left = sizeof buffer;
    const size_t result = iconv(handle, &in, &in_left, &out_ptr, &out_left);
    out.append(buffer, out_ptr - buffer);
    if (result == static_cast<size_t>(-1) && errno != E2BIG) {
      out += kReplacement;
      ++in;
      --in_left;
      iconv(handle, nullptr, nullptr, nullptr, nullptr);
    }
  }
  return out;
}

}  // namespace runtime
