// Code-page marks and the decoding of DBF text to UTF-8 (see code_page.h). iconv (through
// runtime::CodePageConverter) does the work where glibc knows the code page; the two
// Polish/Czech DOS pages it lacks are tables here.
#include "platform/dbf/code_page.h"

#include <array>
#include <map>
#include <mutex>
#include <stdexcept>
#include <utility>

#include "platform/runtime/code_page.h"

namespace dbf {
namespace {

constexpr int kMazovia = 620;
constexpr int kKamenicky = 895;

struct CodePageEntry {
  int code_page;
  const char* iconv_name;  // nullptr: a table of this file
  bool double_byte;
  const char* name;
};

constexpr CodePageEntry kCodePages[] = {
    {437, "CP437", false, "MS-DOS de EE. UU."},
    {620, nullptr, false, "MS-DOS Mazovia, polaco"},
    {737, "CP737", false, "MS-DOS griego"},
    {850, "CP850", false, "MS-DOS internacional"},
    {852, "CP852", false, "MS-DOS de Europa del Este"},
    {857, "CP857", false, "MS-DOS turco"},
    {860, "CP860", false, "MS-DOS portugués"},
    {861, "CP861", false, "MS-DOS islandés"},
    {863, "CP863", false, "MS-DOS francés canadiense"},
    {865, "CP865", false, "MS-DOS nórdico"},
    {866, "CP866", false, "MS-DOS ruso"},
    {874, "CP874", false, "Windows tailandés"},
    {895, nullptr, false, "MS-DOS Kamenicky, checo"},
    {932, "CP932", true, "Windows japonés"},
    {936, "CP936", true, "Windows chino simplificado"},
    {949, "CP949", true, "Windows coreano"},
    {950, "CP950", true, "Windows chino tradicional"},
    {1250, "CP1250", false, "Windows de Europa del Este"},
    {1251, "CP1251", false, "Windows ruso"},
    {1252, "CP1252", false, "Windows ANSI"},
    {1253, "CP1253", false, "Windows griego"},
    {1254, "CP1254", false, "Windows turco"},
    {1255, "CP1255", false, "Windows hebreo"},
    {1256, "CP1256", false, "Windows árabe"},
    {1257, "CP1257", false, "Windows báltico"},
    {10000, "MACINTOSH", false, "Macintosh estándar"},
    {10006, nullptr, false, "Macintosh griego"},  // glibc has no Mac Greek: not supported
    {10007, "MAC-CYRILLIC", false, "Macintosh ruso"},
    {10029, "MAC-CENTRALEUROPE", false, "Macintosh de Europa del Este"},
};

const CodePageEntry* FindEntry(int code_page) {
  for (const CodePageEntry& entry : kCodePages) {
    if (entry.code_page == code_page) return &entry;
  }
  return nullptr;
}

// Both DOS pages are CP437 with national letters in place of some accented and box characters.
const std::map<uint8_t, const char*>& OverridesOf(int code_page) {
  static const std::map<uint8_t, const char*> kMazoviaLetters = {
      {0x86, "ą"}, {0x8D, "ć"}, {0x8F, "Ą"}, {0x90, "Ę"}, {0x91, "ę"}, {0x92, "ł"},
      {0x95, "Ć"}, {0x98, "Ś"}, {0x9C, "Ł"}, {0x9E, "ś"}, {0xA0, "Ź"}, {0xA1, "Ż"},
      {0xA2, "ó"}, {0xA3, "Ó"}, {0xA4, "ń"}, {0xA5, "Ń"}, {0xA6, "ź"}, {0xA7, "ż"},
  };
  static const std::map<uint8_t, const char*> kKamenickyLetters = {
      {0x80, "Č"}, {0x81, "ü"}, {0x82, "é"}, {0x83, "ď"}, {0x84, "ä"}, {0x85, "Ď"},
      {0x86, "Ť"}, {0x87, "č"}, {0x88, "ě"}, {0x89, "Ě"}, {0x8A, "Ĺ"}, {0x8B, "Í"},
      {0x8C, "ľ"}, {0x8D, "ĺ"}, {0x8E, "Ä"}, {0x8F, "Á"}, {0x90, "É"}, {0x91, "ž"},
      {0x92, "Ž"}, {0x93, "ô"}, {0x94, "ö"}, {0x95, "Ó"}, {0x96, "ů"}, {0x97, "Ú"},
      {0x98, "ý"}, {0x99, "Ö"}, {0x9A, "Ü"}, {0x9B, "Š"}, {0x9C, "Ľ"}, {0x9D, "Ý"},
      {0x9E, "Ř"}, {0x9F, "ť"}, {0xA0, "á"}, {0xA1, "í"}, {0xA2, "ó"}, {0xA3, "ú"},
      {0xA4, "ň"}, {0xA5, "Ň"}, {0xA6, "Ů"}, {0xA7, "Ô"}, {0xA8, "š"}, {0xA9, "ř"},
      {0xAA, "ŕ"}, {0xAB, "Ŕ"}, {0xAC, "¼"}, {0xAD, "§"},
  };
  static const std::map<uint8_t, const char*> kNone;
  if (code_page == kMazovia) return kMazoviaLetters;
  if (code_page == kKamenicky) return kKamenickyLetters;
  return kNone;
}

using ByteTable = std::array<std::string, 256>;

ByteTable BuildTable(const CodePageEntry& entry) {
  ByteTable table;
  runtime::CodePageConverter converter(entry.iconv_name ? entry.iconv_name : "CP437");
  for (int byte = 0; byte < 256; ++byte) {
    char c = static_cast<char>(byte);
    table[byte] = byte < 0x80 ? std::string(1, c) : converter.ToUtf8(std::string_view(&c, 1));
  }
  for (const auto& [byte, letter] : OverridesOf(entry.code_page)) table[byte] = letter;
  return table;
}

// Tables are built once per code page and shared: building one costs 128 iconv calls.
const ByteTable& TableOf(const CodePageEntry& entry) {
  static std::mutex mutex;
  static std::map<int, ByteTable> tables;
  std::lock_guard lock(mutex);
  auto it = tables.find(entry.code_page);
  if (it == tables.end()) it = tables.emplace(entry.code_page, BuildTable(entry)).first;
  return it->second;  // std::map nodes never move
}

}  // namespace

int CodePageOfMark(uint8_t mark) {
  static const std::map<uint8_t, int> kMarks = [] {
    std::map<uint8_t, int> marks = {
        {0x01, 437},   {0x02, 850},   {0x03, 1252},  {0x04, 10000}, {0x57, 1252},
        {0x58, 1252},  {0x59, 1252},  {0x64, 852},   {0x65, 866},   {0x66, 865},
        {0x67, 861},   {0x68, 895},   {0x69, 620},   {0x6A, 737},   {0x6B, 857},
        {0x6C, 863},   {0x78, 950},   {0x79, 949},   {0x7A, 936},   {0x7B, 932},
        {0x7C, 874},   {0x7D, 1255},  {0x7E, 1256},  {0x96, 10007}, {0x97, 10029},
        {0x98, 10006}, {0xC8, 1250},  {0xC9, 1251},  {0xCA, 1254},  {0xCB, 1253},
        {0xCC, 1257},  {0x08, 865},   {0x13, 932},   {0x17, 865},   {0x1C, 863},
        {0x24, 860},   {0x26, 866},   {0x4D, 936},   {0x4E, 949},   {0x4F, 950},
        {0x50, 874},   {0x86, 737},   {0x87, 852},   {0x88, 857},
    };
    // dBase language drivers of the two common DOS pages.
    for (uint8_t m : {0x09, 0x0B, 0x0D, 0x0F, 0x11, 0x15, 0x18, 0x19, 0x1B}) marks[m] = 437;
    for (uint8_t m : {0x0A, 0x0E, 0x10, 0x12, 0x14, 0x16, 0x1A, 0x1D, 0x25, 0x37}) marks[m] = 850;
    for (uint8_t m : {0x1F, 0x22, 0x23, 0x40}) marks[m] = 852;
    return marks;
  }();
  auto it = kMarks.find(mark);
  return it == kMarks.end() ? 0 : it->second;
}

bool IsSupportedCodePage(int code_page) {
  const CodePageEntry* entry = FindEntry(code_page);
  return entry && (entry->iconv_name || !OverridesOf(code_page).empty());
}

std::string CodePageName(int code_page) {
  const CodePageEntry* entry = FindEntry(code_page);
  std::string number = std::to_string(code_page);
  return entry ? number + " (" + entry->name + ")" : number;
}

struct TextDecoder::Impl {
  const ByteTable* table = nullptr;
  std::unique_ptr<runtime::CodePageConverter> converter;  // double-byte pages only
};

TextDecoder::TextDecoder(int code_page) : code_page_(code_page), impl_(std::make_unique<Impl>()) {
  if (!IsSupportedCodePage(code_page)) {
    throw std::invalid_argument("la página de códigos " + CodePageName(code_page) +
                                " no se admite");
  }
  const CodePageEntry& entry = *FindEntry(code_page);
  if (entry.double_byte) {
    impl_->converter = std::make_unique<runtime::CodePageConverter>(entry.iconv_name);
  } else {
    impl_->table = &TableOf(entry);
  }
}

TextDecoder::~TextDecoder() = default;

std::string TextDecoder::ToUtf8(std::string_view bytes) const {
  if (impl_->converter) return impl_->converter->ToUtf8(bytes);
  std::string out;
  out.reserve(bytes.size());
  for (char c : bytes) out += (*impl_->table)[static_cast<uint8_t>(c)];
  return out;
}

}  // namespace dbf
