// Lays out a version 3 compound file: header, the Workbook stream's sectors, the FAT sectors, the
// DIFAT sectors (only for streams past about 7 MB) and one directory sector, in that order.
#include "platform/sheet/internal/compound_file.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <string>
#include <string_view>

namespace sheet::internal {

namespace {

constexpr uint32_t kHeaderDifatEntries = 109;
constexpr uint32_t kEntriesPerSector = kSectorSize / 4;  // FAT entries, or DIFAT 127 + next
constexpr uint32_t kNoStream = 0xFFFFFFFF;

void Put16(std::vector<uint8_t>& out, size_t at, uint16_t v) {
  out[at] = static_cast<uint8_t>(v & 0xFF);
  out[at + 1] = static_cast<uint8_t>(v >> 8);
}

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
  for (int k = 0; k < 4; ++k) out[at + k] = static_cast<uint8_t>((v >> (8 * k)) & 0xFF);
}

size_t SectorOffset(uint32_t sector) { return (static_cast<size_t>(sector) + 1) * kSectorSize; }

// Writes a 128-byte directory entry at `at`.
void PutEntry(std::vector<uint8_t>& out, size_t at, std::u16string_view name, uint8_t type,
              uint32_t child, uint32_t start, uint32_t size) {
  for (size_t k = 0; k < name.size(); ++k) Put16(out, at + 2 * k, name[k]);
  Put16(out, at + 0x40, static_cast<uint16_t>(2 * (name.size() + 1)));
  out[at + 0x42] = type;
  out[at + 0x43] = 1;  // black
  Put32(out, at + 0x44, kNoStream);
  Put32(out, at + 0x48, kNoStream);
  Put32(out, at + 0x4C, child);
  Put32(out, at + 0x74, start);
  Put32(out, at + 0x78, size);
}

}  // namespace

std::vector<uint8_t> BuildCompoundFile(const std::vector<uint8_t>& stream) {
  assert(stream.size() >= 4096);
  const uint32_t stream_sectors =
      static_cast<uint32_t>((stream.size() + kSectorSize - 1) / kSectorSize);

  // The FAT must map its own sectors and the DIFAT sectors too: grow both until they cover
  // every sector of the file.
  uint32_t fat_sectors = 1;
  uint32_t difat_sectors = 0;
  for (;;) {
    const uint32_t total = stream_sectors + fat_sectors + difat_sectors + 1;
    const uint32_t need_fat = (total + kEntriesPerSector - 1) / kEntriesPerSector;
    const uint32_t need_difat =
        need_fat > kHeaderDifatEntries
            ? (need_fat - kHeaderDifatEntries + kEntriesPerSector - 2) / (kEntriesPerSector - 1)
            : 0;
    if (need_fat == fat_sectors && need_difat == difat_sectors) break;
    fat_sectors = need_fat;
    difat_sectors = need_difat;
  }
  const uint32_t first_fat = stream_sectors;
  const uint32_t first_difat = first_fat + fat_sectors;
  const uint32_t directory = first_difat + difat_sectors;
  const uint32_t total_sectors = directory + 1;

  std::vector<uint8_t> out(SectorOffset(total_sectors), 0);

  static constexpr uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  std::memcpy(out.data(), kSignature, sizeof kSignature);
  Put16(out, 0x18, 0x003E);
  Put16(out, 0x1A, 0x0003);
  Put16(out, 0x1C, 0xFFFE);
  Put16(out, 0x1E, 9);
  Put16(out, 0x20, 6);
  Put32(out, 0x2C, fat_sectors);
  Put32(out, 0x30, directory);
  Put32(out, 0x38, 4096);
  Put32(out, 0x3C, kEndOfChain);
  Put32(out, 0x44, difat_sectors ? first_difat : kEndOfChain);
  Put32(out, 0x48, difat_sectors);
  for (uint32_t k = 0; k < kHeaderDifatEntries; ++k) {
    Put32(out, 0x4C + 4 * k, k < fat_sectors ? first_fat + k : kFreeSector);
  }

  std::memcpy(out.data() + SectorOffset(0), stream.data(), stream.size());

  // FAT: the stream is one chain 0 -> 1 -> ... ; FAT and DIFAT sectors are marked; the directory
  // is a chain of one. Entries past the last sector stay free.
  const size_t fat_at = SectorOffset(first_fat);
  for (uint32_t s = 0; s < fat_sectors * kEntriesPerSector; ++s) {
    uint32_t entry = kFreeSector;
    if (s < stream_sectors) {
      entry = s + 1 < stream_sectors ? s + 1 : kEndOfChain;
    } else if (s < first_difat) {
      entry = kFatSector;
    } else if (s < directory) {
      entry = kDifatSector;
    } else if (s == directory) {
      entry = kEndOfChain;
    }
    Put32(out, fat_at + 4 * s, entry);
  }

  // DIFAT sectors: 127 FAT sector numbers each, then the next DIFAT sector.
  for (uint32_t d = 0; d < difat_sectors; ++d) {
    const size_t at = SectorOffset(first_difat + d);
    for (uint32_t k = 0; k + 1 < kEntriesPerSector; ++k) {
      const uint32_t fat_number = kHeaderDifatEntries + d * (kEntriesPerSector - 1) + k;
      Put32(out, at + 4 * k, fat_number < fat_sectors ? first_fat + fat_number : kFreeSector);
    }
    Put32(out, at + 4 * (kEntriesPerSector - 1),
          d + 1 < difat_sectors ? first_difat + d + 1 : kEndOfChain);
  }

  const size_t dir_at = SectorOffset(directory);
  PutEntry(out, dir_at, u"Root Entry", 5, 1, kEndOfChain, 0);
  PutEntry(out, dir_at + 128, u"Workbook", 2, kNoStream, 0, static_cast<uint32_t>(stream.size()));
  for (int k = 2; k < 4; ++k) {
    const size_t at = dir_at + 128 * k;
    Put32(out, at + 0x44, kNoStream);
    Put32(out, at + 0x48, kNoStream);
    Put32(out, at + 0x4C, kNoStream);
  }
  return out;
}

}  // namespace sheet::internal

namespace sheet::internal {

namespace {

uint32_t Get32(const std::vector<uint8_t>& in, size_t at) {
  return static_cast<uint32_t>(in[at]) | static_cast<uint32_t>(in[at + 1]) << 8 |
         static_cast<uint32_t>(in[at + 2]) << 16 | static_cast<uint32_t>(in[at + 3]) << 24;
}

uint16_t Get16(const std::vector<uint8_t>& in, size_t at) {
  return static_cast<uint16_t>(in[at] | in[at + 1] << 8);
}

// Reads a compound file's sectors through its FAT, refusing anything out of bounds.
class SectorReader {
 public:
  SectorReader(const std::vector<uint8_t>& file, uint32_t sector_size)
      : file_(file), size_(sector_size) {}

  bool Has(uint32_t sector) const {
    return (static_cast<size_t>(sector) + 1) * size_ < file_.size();
  }
  // The sector's bytes, a short last sector padded with zeros.
  std::vector<uint8_t> Sector(uint32_t sector) const {
    std::vector<uint8_t> out(size_, 0);
    const size_t at = (static_cast<size_t>(sector) + 1) * size_;
    const size_t n = std::min<size_t>(size_, file_.size() - at);
    std::memcpy(out.data(), file_.data() + at, n);
    return out;
  }
  // Follows a chain through `fat` and returns the bytes of its sectors. A chain longer than the
  // file has sectors loops: it is refused as soon as it is (the FAT a DIFAT lists can name one
  // sector many times and be far longer than the file, so its length is no bound).
  std::optional<std::vector<uint8_t>> Chain(uint32_t start, const std::vector<uint32_t>& fat) const {
    std::vector<uint8_t> out;
    uint32_t sector = start;
    size_t steps = 0;
    const size_t sectors = file_.size() / size_;
    while (sector != kEndOfChain) {
      if (sector >= fat.size() || !Has(sector) || ++steps > sectors) return std::nullopt;
      const std::vector<uint8_t> bytes = Sector(sector);
      out.insert(out.end(), bytes.begin(), bytes.end());
      sector = fat[sector];
    }
    return out;
  }

 private:
  const std::vector<uint8_t>& file_;
  uint32_t size_;
};

// The sector size of a compound file (512 or 4096); nullopt when `file` is not one.
std::optional<uint32_t> SectorSize(const std::vector<uint8_t>& file) {
  static constexpr uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
  if (file.size() < 512 || std::memcmp(file.data(), kSignature, 8) != 0) return std::nullopt;
  const uint16_t shift = Get16(file, 0x1E);
  if (shift != 9 && shift != 12) return std::nullopt;
  return 1u << shift;
}

// The FAT sector numbers the header lists itself: the first `fat_count`, at most 109.
std::vector<uint32_t> HeaderFatSectors(const std::vector<uint8_t>& file, uint32_t fat_count) {
  std::vector<uint32_t> fat_sectors;
  for (uint32_t k = 0; k < kHeaderDifatEntries && fat_sectors.size() < fat_count; ++k) {
    fat_sectors.push_back(Get32(file, 0x4C + 4 * k));
  }
  return fat_sectors;
}

// Adds the FAT sector numbers a DIFAT sector lists (up to `fat_count` in all) to `fat_sectors`;
// returns the next DIFAT sector, which its last entry names.
uint32_t ReadDifatSector(const std::vector<uint8_t>& bytes, uint32_t fat_count, std::vector<uint32_t>& fat_sectors) {
  const size_t per_sector = bytes.size() / 4;
  for (size_t k = 0; k + 1 < per_sector && fat_sectors.size() < fat_count; ++k) {
    fat_sectors.push_back(Get32(bytes, 4 * k));
  }
  return Get32(bytes, 4 * (per_sector - 1));
}

}  // namespace

std::optional<std::vector<uint8_t>> ReadCompoundStream(const std::vector<uint8_t>& file,
                                                       std::string_view name) {
  const std::optional<uint32_t> sector_size = SectorSize(file);
  if (!sector_size) return std::nullopt;
  const uint32_t per_sector = *sector_size / 4;
  SectorReader reader(file, *sector_size);

  // FAT sector numbers: 109 in the header, the rest in the DIFAT chain.
  const uint32_t fat_count = Get32(file, 0x2C);
  std::vector<uint32_t> fat_sectors = HeaderFatSectors(file, fat_count);
  uint32_t difat = Get32(file, 0x44);
  for (uint32_t guard = 0; fat_sectors.size() < fat_count; ++guard) {
    if (difat >= kDifatSector || !reader.Has(difat) || guard > file.size() / *sector_size) {
      return std::nullopt;
    }
    difat = ReadDifatSector(reader.Sector(difat), fat_count, fat_sectors);
  }
  std::vector<uint32_t> fat;
  for (uint32_t sector : fat_sectors) {
    if (!reader.Has(sector)) return std::nullopt;
    const std::vector<uint8_t> bytes = reader.Sector(sector);
    for (uint32_t k = 0; k < per_sector; ++k) fat.push_back(Get32(bytes, 4 * k));
  }

  const std::optional<std::vector<uint8_t>> directory = reader.Chain(Get32(file, 0x30), fat);
  if (!directory) return std::nullopt;
  std::optional<std::vector<uint8_t>> mini_stream;
  for (size_t at = 0; at + 128 <= directory->size(); at += 128) {
    const uint16_t name_bytes = Get16(*directory, at + 0x40);
    const uint8_t type = (*directory)[at + 0x42];
    const uint32_t start = Get32(*directory, at + 0x74);
    const uint32_t size = Get32(*directory, at + 0x78);
    if (type == 5) {
      if (!mini_stream) mini_stream = reader.Chain(start, fat);  // the first root entry holds it
      continue;
    }
    if (type != 2 || name_bytes != 2 * (name.size() + 1)) continue;
    bool same = true;
    for (size_t k = 0; k < name.size() && same; ++k) {
      same = Get16(*directory, at + 2 * k) == static_cast<unsigned char>(name[k]);
    }
    if (!same) continue;

    std::optional<std::vector<uint8_t>> content;
    if (size >= Get32(file, 0x38)) {
      content = reader.Chain(start, fat);
    } else {
      // A small stream lives in 64-byte sectors of the root's mini stream, chained by the
      // mini FAT. The root entry comes first in the directory, so mini_stream is known here.
      if (!mini_stream) return std::nullopt;
      const std::optional<std::vector<uint8_t>> mini_fat_bytes =
          reader.Chain(Get32(file, 0x3C), fat);
      if (!mini_fat_bytes) return std::nullopt;
      std::vector<uint32_t> mini_fat;
      for (size_t k = 0; k + 4 <= mini_fat_bytes->size(); k += 4) {
        mini_fat.push_back(Get32(*mini_fat_bytes, k));
      }
      content.emplace();
      uint32_t sector = start;
      size_t steps = 0;
      while (sector != kEndOfChain) {
        const size_t offset = static_cast<size_t>(sector) * 64;
        if (sector >= mini_fat.size() || offset + 64 > mini_stream->size() ||
            ++steps > mini_fat.size()) {
          return std::nullopt;
        }
        content->insert(content->end(), mini_stream->begin() + offset,
                        mini_stream->begin() + offset + 64);
        sector = mini_fat[sector];
      }
    }
    if (!content || content->size() < size) return std::nullopt;
    content->resize(size);
    return content;
  }
  return std::nullopt;
}

std::optional<std::string> ContainerFault(const std::vector<uint8_t>& file) {
  const std::optional<uint32_t> sector_size = SectorSize(file);
  if (!sector_size) return std::nullopt;
  const uint32_t per_sector = *sector_size / 4;
  const std::string file_size = std::to_string(file.size());
  SectorReader reader(file, *sector_size);

  // Every DIFAT sector is a distinct sector of the file, so the FAT it lists stays within what
  // the file can hold.
  const uint32_t fat_count = Get32(file, 0x2C);
  std::vector<uint32_t> fat_sectors = HeaderFatSectors(file, fat_count);
  // The DIFAT chain is walked as far as either the FAT or the header's count of DIFAT sectors
  // asks: readers follow it by either.
  uint32_t difat = Get32(file, 0x44);
  const uint32_t difat_count = Get32(file, 0x48);
  std::vector<bool> seen(file.size() / *sector_size + 1, false);
  for (uint32_t blocks = 0; fat_sectors.size() < fat_count || blocks < difat_count; ++blocks) {
    if (difat >= kDifatSector && fat_sectors.size() >= fat_count) break;
    if (difat >= kDifatSector || !reader.Has(difat)) {
      return std::string("la cadena DIFAT sale del archivo");
    }
    if (seen[difat]) return std::string("la cadena DIFAT vuelve sobre sí misma");
    seen[difat] = true;
    difat = ReadDifatSector(reader.Sector(difat), fat_count, fat_sectors);
  }
  std::vector<uint32_t> fat;
  for (uint32_t sector : fat_sectors) {
    if (!reader.Has(sector)) return std::string("la tabla de sectores sale del archivo");
    const std::vector<uint8_t> bytes = reader.Sector(sector);
    for (uint32_t k = 0; k < per_sector; ++k) fat.push_back(Get32(bytes, 4 * k));
  }
  const std::optional<std::vector<uint8_t>> directory = reader.Chain(Get32(file, 0x30), fat);
  if (!directory) return std::string("la cadena del directorio está rota");
  for (size_t at = 0; at + 128 <= directory->size(); at += 128) {
    const uint8_t type = (*directory)[at + 0x42];
    if (type != 2 && type != 5) continue;
    const uint64_t size = Get32(*directory, at + 0x78) |
                          (*sector_size == 4096 ? static_cast<uint64_t>(Get32(*directory, at + 0x7C)) << 32 : 0);
    if (size > file.size()) {
      const uint16_t name_bytes = std::min<uint16_t>(Get16(*directory, at + 0x40), 64);
      std::string name;
      for (size_t k = 0; k + 2 < name_bytes; k += 2) {
        const uint16_t unit = Get16(*directory, at + k);
        name += unit >= 0x20 && unit < 0x7F ? static_cast<char>(unit) : '?';
      }
      return "la entrada '" + name + "' declara " + std::to_string(size) +
             " bytes y el archivo tiene " + file_size;
    }
  }
  return std::nullopt;
}

}  // namespace sheet::internal
