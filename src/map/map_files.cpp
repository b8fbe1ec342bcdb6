#include "map/map_files.h"

#include <cstdio>
#include <utility>

namespace qf {

namespace {

std::string format(const char* fmt, long long a = 0, long long b = 0, long long c = 0) {
    char buf[160];
    std::snprintf(buf, sizeof buf, fmt, a, b, c);
    return buf;
}

int32_t readLe32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                                static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

// A variable-length integer at `pos`, which it advances. At most five bytes
// (32 bits); false when it runs past `end` or is longer.
bool readVarint(const uint8_t* data, size_t end, size_t& pos, uint32_t& value) {
    uint64_t v = 0;
    for (int n = 0; n < 5; ++n) {
        if (pos >= end) return false;
        uint8_t byte = data[pos++];
        v = v << 7 | (byte & 0x7F);
        if (!(byte & 0x80)) {
            if (v > 0xFFFFFFFFull) return false;
            value = static_cast<uint32_t>(v);
            return true;
        }
    }
    return false;
}

// A value chunk: one variable-length integer filling the chunk; anything else reads as 0.
int chunkValue(const uint8_t* data, size_t begin, size_t end) {
    size_t pos = begin;
    uint32_t v = 0;
    if (!readVarint(data, end, pos, v) || pos != end || v > 0x7FFFFFFFu) return 0;
    return static_cast<int>(v);
}

struct Span {
    size_t begin = 0, length = 0;
    bool present = false;
};

bool convertLayer(const uint8_t* data, const Span& span, int w, int h, bool upper, std::vector<uint16_t>& out,
                  std::string& note) {
    if (w < 1 || h < 1 || w > kLmuMaxSide || h > kLmuMaxSide) {
        note = format("map size %lld x %lld is outside 1..1024", w, h);
        return false;
    }
    size_t cells = static_cast<size_t>(w) * static_cast<size_t>(h);
    if (span.length / 2 < cells) {
        note = format("the layer holds %lld bytes where the map needs %lld", static_cast<long long>(span.length),
                      static_cast<long long>(cells * 2));
        return false;
    }
    out.resize(cells);
    const uint8_t* p = data + span.begin;
    for (size_t i = 0; i < cells; ++i) {
        unsigned v = static_cast<unsigned>(p[2 * i]) | static_cast<unsigned>(p[2 * i + 1]) << 8;
        if (upper)
            out[i] = static_cast<uint16_t>(v > 10000 ? v - 10000 : 0);
        else
            out[i] = static_cast<uint16_t>(v >= 5000 ? v - 5000 : 0);
    }
    return true;
}

}  // namespace

bool parseRawChips(const uint8_t* data, size_t size, int cellWidth, ChipGrid& out, std::string& error) {
    if (!data) size = 0;
    const uint64_t b = cellWidth < 1 ? 1 : static_cast<uint64_t>(cellWidth);
    long long w = 0, h = 0;
    if (b == 4) {
        if (size < 8) {
            error = format("a map of 4-byte cells needs an 8-byte header; the file has %lld bytes",
                           static_cast<long long>(size));
            return false;
        }
        w = readLe32(data);
        h = readLe32(data + 4);
    } else {
        if (size <= b) {
            error = format("a map of %lld-byte cells needs at least %lld bytes; the file has %lld",
                           static_cast<long long>(b), static_cast<long long>(b + 1), static_cast<long long>(size));
            return false;
        }
        w = data[0];
        h = data[b];
    }
    if (!mapSizeAllowed(w, h)) {
        error = format("map size %lld x %lld is outside 1..16384 each way or above 16777216 cells", w, h);
        return false;
    }
    const uint64_t cells = static_cast<uint64_t>(w) * static_cast<uint64_t>(h);
    const uint64_t needed = b == 4 ? 8 + cells * 4 : (cells + 1) * b + 1;
    if (needed > size) {
        error = format("a %lld x %lld map needs %lld bytes; the file has ", w, h, static_cast<long long>(needed));
        error += std::to_string(size);
        return false;
    }
    ChipGrid grid;
    grid.width = static_cast<int>(w);
    grid.height = static_cast<int>(h);
    grid.chips.resize(static_cast<size_t>(cells));
    for (uint64_t i = 0; i < cells; ++i)
        grid.chips[i] = b == 4 ? readLe32(data + 8 + i * 4) : data[(i + 2) * b];
    out = std::move(grid);
    return true;
}

std::string flrNameFor(const std::string& mapName) {
    return mapName.substr(0, mapName.find('.')) + ".flr";
}

bool isLmuName(const std::string& name) {
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || name.size() - dot != 4) return false;
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(name[dot + 1]) == 'l' && lower(name[dot + 2]) == 'm' && lower(name[dot + 3]) == 'u';
}

bool parseLmu(const uint8_t* data, size_t size, LmuMap& out, std::string& error) {
    if (!data) size = 0;
    if (size < kLmuHeaderSize) {
        error = format("an lmu map needs an 11-byte header; the file has %lld bytes", static_cast<long long>(size));
        return false;
    }
    LmuMap map;
    Span lower, upper;
    size_t pos = kLmuHeaderSize;
    // Every chunk takes at least two bytes, so the walk ends within size / 2 chunks.
    while (pos < size) {
        size_t at = pos;
        uint32_t id = 0, length = 0;
        if (!readVarint(data, size, pos, id)) {
            error = format("the chunk id at offset %lld runs past the end of the file", static_cast<long long>(at));
            return false;
        }
        if (id == 0) break;
        if (!readVarint(data, size, pos, length)) {
            error = format("the length of chunk 0x%llx at offset %lld runs past the end of the file", id,
                           static_cast<long long>(at));
            return false;
        }
        if (length > size - pos) {
            error = format("chunk 0x%llx at offset %lld claims %lld bytes", id, static_cast<long long>(at), length);
            error += format(" where %lld remain", static_cast<long long>(size - pos));
            return false;
        }
        size_t end = pos + length;
        switch (id) {
        case lmu_chunk::kChipSet: map.chipSet = chunkValue(data, pos, end); break;
        case lmu_chunk::kWidth: map.width = chunkValue(data, pos, end); break;
        case lmu_chunk::kHeight: map.height = chunkValue(data, pos, end); break;
        case lmu_chunk::kScrollType: map.scrollType = chunkValue(data, pos, end); break;
        case lmu_chunk::kLowerLayer: lower = {pos, length, true}; break;
        case lmu_chunk::kUpperLayer: upper = {pos, length, true}; break;
        default: break;
        }
        pos = end;
    }
    if (lower.present) map.hasLower = convertLayer(data, lower, map.Width(), map.Height(), false, map.lower, map.lowerNote);
    if (upper.present) map.hasUpper = convertLayer(data, upper, map.Width(), map.Height(), true, map.upper, map.upperNote);
    out = std::move(map);
    return true;
}

ChipGrid lmuLayerGrid(const LmuMap& map, const std::vector<uint16_t>& layer) {
    ChipGrid grid;
    if (layer.size() != static_cast<size_t>(map.Width()) * static_cast<size_t>(map.Height())) return grid;
    grid.width = map.Width();
    grid.height = map.Height();
    grid.chips.resize(layer.size());
    for (size_t i = 0; i < layer.size(); ++i) grid.chips[i] = layer[i] & 0xFF;
    return grid;
}

LmuSummary summariseLmu(const uint8_t* data, size_t size) {
    LmuSummary summary;
    LmuMap map;
    if (!parseLmu(data, size, map, summary.error)) return summary;
    summary.width = map.Width();
    summary.height = map.Height();
    summary.chipSet = map.chipSet.value_or(0);
    summary.scrollType = map.scrollType.value_or(0);
    if (map.hasLower) {
        summary.hasChipWord = true;
        summary.chipWord = map.lower[0] | (map.lower.size() > 1 ? static_cast<uint32_t>(map.lower[1]) << 16 : 0);
    }
    return summary;
}

}  // namespace qf
