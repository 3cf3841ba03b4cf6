// The memo file beside a DBF table: FoxPro .fpt blocks and dBase III/IV .dbt blocks, read whole
// into memory and cut into memo values by block number. Part of the DBF reader; returns raw
// bytes (the reader decodes text) and never writes.
#pragma once

#include <cstdint>
#include <string>

namespace dbf {

enum class MemoKind {
  kFoxPro,   // .fpt: big-endian header, each block starts with type and length
  kDbase3,   // .dbt: 512-byte blocks, memo ends at 0x1A
  kDbase4,   // .dbt: block size in the header, memo starts FF FF 08 00 + length
};

class MemoFile {
 public:
  // Reads the memo file at `path`. Throws std::runtime_error with the reason in Spanish (without
  // the path) when it cannot be read or its header is cut short or names a block size of 0.
  MemoFile(const std::string& path, MemoKind kind);

  // The bytes of the memo that starts at `block`. Throws std::runtime_error when the block or
  // the length it states lies beyond the end of the file. REQUIRES: block > 0.
  std::string Read(uint32_t block) const;

 private:
  std::string bytes_;
  MemoKind kind_;
  uint32_t block_size_ = 512;
};

}  // namespace dbf
