// The three map file formats, parsed from bytes the caller has read: raw chip
// files, their ".flr" upper layers (raw files of 4-byte cells) and "lmu" maps
// of the RPG Maker 2000 editor. Every size and length is checked against the
// buffer before use; bad input is refused with a reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "map/map.h"

namespace qf {

// A raw chip file with cells of `cellWidth` bytes (below 1 means 1):
// 4: width and height as 32-bit little-endian integers, then width × height
//    32-bit chips; otherwise: width is byte 0, height byte `cellWidth`, and the
//    chip of cell i the first byte of element i + 2.
// False (with `error` set) leaves `out` as it was.
bool parseRawChips(const uint8_t* data, size_t size, int cellWidth, ChipGrid& out, std::string& error);

// The upper-layer companion of a raw map: its name up to the first "." and ".flr".
std::string flrNameFor(const std::string& mapName);
// True when the name's extension is "lmu" in any letter case.
bool isLmuName(const std::string& name);

// The editor leaves out chunks whose value is its default.
inline constexpr int kLmuDefaultWidth = 20;
inline constexpr int kLmuDefaultHeight = 15;
inline constexpr int kLmuDefaultChipSet = 1;
inline constexpr int kLmuDefaultScrollType = 0;
inline constexpr int kLmuMaxSide = 1024;
inline constexpr size_t kLmuHeaderSize = 11;

namespace lmu_chunk {
inline constexpr int kChipSet = 1, kWidth = 2, kHeight = 3, kScrollType = 11;
inline constexpr int kLowerLayer = 0x47, kUpperLayer = 0x48;
}  // namespace lmu_chunk

struct LmuMap {
    // The values whose chunks were present.
    std::optional<int> chipSet, width, height, scrollType;
    // The converted layers (16-bit chips, row-major over the map's size); empty
    // when the file has no such layer or the layer was refused (see the notes).
    std::vector<uint16_t> lower, upper;
    bool hasLower = false, hasUpper = false;
    std::string lowerNote, upperNote;  // why a present layer was refused

    int Width() const { return width.value_or(kLmuDefaultWidth); }
    int Height() const { return height.value_or(kLmuDefaultHeight); }
};

// Walks the chunks after the 11-byte header. Chunk ids, lengths and values
// are variable-length integers (7 bits a byte, most significant group first,
// the high bit set on every byte but the last). The walk ends at chunk id 0 or
// at the end of the data. Lower-layer chips of 5000 and above become chip −
// 5000, others 0; upper-layer chips above 10000 become chip − 10000, others 0.
// Layers need a size of 1..1024 each way and width × height 16-bit chips in
// their chunk. False (with `error` set) when the data is malformed.
bool parseLmu(const uint8_t* data, size_t size, LmuMap& out, std::string& error);

// A converted layer as map chips: the low byte of each chip, as a map of
// 2-byte cells reads them.
ChipGrid lmuLayerGrid(const LmuMap& map, const std::vector<uint16_t>& layer);

// What a quick look at an "lmu" file reports: a record that starts at
// 20 × 15 with chip set and scroll type 0, and the first 32-bit word of the
// converted lower layer (first chip low, second high).
struct LmuSummary {
    int width = kLmuDefaultWidth, height = kLmuDefaultHeight;
    int chipSet = 0, scrollType = 0;
    bool hasChipWord = false;
    uint32_t chipWord = 0;
    std::string error;  // set when the file was refused
};
LmuSummary summariseLmu(const uint8_t* data, size_t size);

}  // namespace qf
