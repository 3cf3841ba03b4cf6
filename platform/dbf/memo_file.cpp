// Memo blocks of .fpt and .dbt files (see memo_file.h). Lengths stated inside the file are
// checked against its size before anything is copied: a damaged memo file gives an error,
// never bytes from outside the block.
#include "platform/dbf/memo_file.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace dbf {
namespace {

constexpr char kHeaderCutShort[] = "la cabecera del archivo de memos está incompleta";

uint32_t BigEndian32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

uint32_t LittleEndian(const std::string& bytes, size_t at, size_t size) {
  uint32_t value = 0;
  for (size_t i = size; i-- > 0;) value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

}  // namespace

MemoFile::MemoFile(const std::string& path, MemoKind kind) : kind_(kind) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("el archivo de memos no se puede abrir");
  bytes_.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  switch (kind_) {
    case MemoKind::kFoxPro:
      if (bytes_.size() < 8) throw std::runtime_error(kHeaderCutShort);
      block_size_ = (static_cast<uint8_t>(bytes_[6]) << 8) | static_cast<uint8_t>(bytes_[7]);
      break;
    case MemoKind::kDbase4:
      if (bytes_.size() < 22) throw std::runtime_error(kHeaderCutShort);
      block_size_ = LittleEndian(bytes_, 20, 2);
      break;
    case MemoKind::kDbase3:
      block_size_ = 512;
      break;
  }
  if (block_size_ == 0) {
    throw std::runtime_error("el archivo de memos declara un tamaño de bloque 0");
  }
}

std::string MemoFile::Read(uint32_t block) const {
  const uint64_t start = static_cast<uint64_t>(block) * block_size_;
  const std::string where = "el bloque de memo " + std::to_string(block);
  if (start >= bytes_.size()) {
    throw std::runtime_error(where + " está más allá del final del archivo de memos");
  }
  const uint64_t available = bytes_.size() - start;

  auto take = [&](uint64_t offset, uint64_t length) {
    if (offset + length > available) {
      throw std::runtime_error(where + " declara " + std::to_string(length) +
                               " bytes, más de los que contiene el archivo de memos");
    }
    return bytes_.substr(start + offset, length);
  };

  if (kind_ == MemoKind::kFoxPro) {
    if (available < 8) throw std::runtime_error(where + " está incompleto");
    return take(8, BigEndian32(bytes_, start + 4));
  }
  // dBase IV marks its memos; a dBase III style memo in a dBase IV file (as some writers leave
  // them) runs to the end mark like dBase III.
  if (kind_ == MemoKind::kDbase4 && available >= 8 && static_cast<uint8_t>(bytes_[start]) == 0xFF &&
      static_cast<uint8_t>(bytes_[start + 1]) == 0xFF && bytes_[start + 2] == 0x08 &&
      bytes_[start + 3] == 0x00) {
    uint32_t length = LittleEndian(bytes_, start + 4, 4);
    if (length < 8) {
      throw std::runtime_error(where + " declara una longitud menor que su cabecera");
    }
    return take(8, length - 8);
  }
  size_t end = bytes_.find('\x1A', start);
  if (end == std::string::npos) end = bytes_.size();
  return bytes_.substr(start, end - start);
}

}  // namespace dbf
