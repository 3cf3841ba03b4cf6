// The container of an .xls file: writes a version 3 compound file (512-byte sectors) holding one
// stream named "Workbook", and finds a named stream in any compound file. Internal to
// platform/sheet; it moves sectors and never interprets the streams it carries.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sheet::internal {

inline constexpr uint32_t kSectorSize = 512;
inline constexpr uint32_t kFreeSector = 0xFFFFFFFF;
inline constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
inline constexpr uint32_t kFatSector = 0xFFFFFFFD;
inline constexpr uint32_t kDifatSector = 0xFFFFFFFC;

// Returns the bytes of a compound file whose root storage holds the one stream "Workbook" with
// the content `stream`. The stream is stored in regular sectors (never the mini stream), so
// REQUIRES: stream.size() >= 4096 (callers pad the Workbook stream). FAT sectors beyond the 109
// the header can list are chained through DIFAT sectors.
std::vector<uint8_t> BuildCompoundFile(const std::vector<uint8_t>& stream);

// Returns the content of the stream named `name` (ASCII, matched exactly) among the entries of
// the compound file `file` (version 3 or 4; regular or mini stream), or nothing when `file` is
// not a compound file, has no such stream, or its sector chains are broken. Never reads past
// the end of `file` and never loops on a cyclic chain.
std::optional<std::vector<uint8_t>> ReadCompoundStream(const std::vector<uint8_t>& file,
                                                       std::string_view name);

// Says what is wrong with a compound file in the parts that readers size their buffers by or
// walk as chains: a FAT longer than the file, a DIFAT chain that leaves the file or comes back on
// itself, a stream or storage (the Root Entry too) that states more bytes than the whole file
// has. Returns nothing when `file` is sound in those parts, and when it is no compound file at
// all (that is for the reader to say). The reason is in Spanish, for the user.
std::optional<std::string> ContainerFault(const std::vector<uint8_t>& file);

}  // namespace sheet::internal
