// UTF-8 decoding/encoding for character-counted text boxes and the toolkit's error values.
// Internal to consolida_ui.
#include "platform/ui/internal/helpers.h"

#include "platform/runtime/vb_error.h"

namespace ui::internal {

std::vector<char32_t> Decode(std::string_view text) {
  std::vector<char32_t> out;
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
    char32_t cp = extra == 0 ? lead : extra == 1 ? (lead & 0x1F) : extra == 2 ? (lead & 0x0F) : (lead & 0x07);
    bool valid = extra >= 0 && i + extra < text.size();
    for (int k = 1; valid && k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) valid = false;
      cp = (cp << 6) | (next & 0x3F);
    }
    if (!valid) {
      out.push_back(lead);
      ++i;
      continue;
    }
    out.push_back(cp);
    i += extra + 1;
  }
  return out;
}

std::string Encode(char32_t cp) {
  std::string out;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out;
}

std::string Encode(const std::vector<char32_t>& code_points) {
  std::string out;
  for (char32_t cp : code_points) out += Encode(cp);
  return out;
}

void ThrowBadIndex() {
  throw runtime::VbError(381, runtime::kVbRuntimeSource, "Invalid property array index");
}

void ThrowBadValue() {
  throw runtime::VbError(380, runtime::kVbRuntimeSource, "Invalid property value");
}

void ThrowGridError(long number, const char* description) {
  throw runtime::VbError(number, runtime::kVbRuntimeSource, description);
}

}  // namespace ui::internal
