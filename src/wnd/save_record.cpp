#include "wnd/save_record.h"

#include <cstring>

#include "platform/report.h"
#include "res/crc32.h"
#include "res/error_log.h"
#include "res/game_root.h"
#include "res/keystream.h"
#include "res/safe_write.h"

namespace qf {

namespace {

constexpr char kMagic[4] = {'A', 'D', '1', '\0'};
constexpr size_t kMagicAt = 0, kHeaderSizeAt = 4, kTextSizeAt = 8, kFlagSizeAt = 12, kVariableSizeAt = 16,
                 kCrcAt = 24, kNameLengthAt = 30, kNameAt = 32;
constexpr int kDamagedKind = 5;
constexpr int kWriteFailedKind = 3;

void put32(uint8_t* at, uint32_t v) {
    at[0] = uint8_t(v);
    at[1] = uint8_t(v >> 8);
    at[2] = uint8_t(v >> 16);
    at[3] = uint8_t(v >> 24);
}

// Creates the folders a game name passes through ("save\\a.sav" needs
// "save"); the trail byte of a double-byte character is no separator.
void makeFoldersOf(const GameRoot& root, std::string_view name) {
    for (size_t i = 0; i < name.size(); ++i) {
        const uint8_t c = static_cast<uint8_t>(name[i]);
        if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
            ++i;
        } else if ((c == '\\' || c == '/') && i > 0) {
            root.makeDirectory(name.substr(0, i));
        }
    }
}

uint32_t get32(const uint8_t* at) {
    return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

// The CRC of the record with its CRC field read as zero.
uint32_t recordCrc(std::span<const uint8_t> record) {
    uint8_t head[kRecordHeaderSize];
    std::memcpy(head, record.data(), kRecordHeaderSize);
    put32(head + kCrcAt, 0);
    // The first byte is never zero here ("A"), so the engine's rule and the
    // running CRC over the two pieces agree.
    uint32_t crc = engineCrc32(head, kRecordHeaderSize);
    if (crc == 0) return 0;
    const size_t rest = record.size() - kRecordHeaderSize;
    if (rest == 0) return crc;
    uLong running = crc;
    const uint8_t* p = record.data() + kRecordHeaderSize;
    for (size_t left = rest; left > 0;) {
        const uInt chunk = left > (1u << 30) ? (1u << 30) : uInt(left);
        running = crc32(running, p, chunk);
        p += chunk;
        left -= chunk;
    }
    return uint32_t(running);
}

}  // namespace

std::string_view recordName(std::string_view name) {
    return name.substr(0, std::min(name.size(), kRecordNameLimit));
}

std::vector<uint8_t> buildRecord(std::string_view name, std::string_view displayText,
                                 const int32_t (&flags)[kRecordFlagCount], std::string_view variableText) {
    // The display text ends at its first zero byte, as a C string would.
    displayText = displayText.substr(0, std::min(displayText.size(), displayText.find('\0')));
    name = recordName(name);
    name = name.substr(0, std::min(name.size(), name.find('\0')));
    const size_t a = displayText.size() + 1, c = variableText.size();
    std::vector<uint8_t> out(kRecordHeaderSize + a + kRecordFlagBytes + c, 0);
    uint8_t* h = out.data();
    std::memcpy(h + kMagicAt, kMagic, sizeof kMagic);
    put32(h + kHeaderSizeAt, kRecordHeaderSize);
    put32(h + kTextSizeAt, uint32_t(a));
    put32(h + kFlagSizeAt, kRecordFlagBytes);
    put32(h + kVariableSizeAt, uint32_t(c));
    h[kNameLengthAt] = uint8_t(name.size());
    h[kNameLengthAt + 1] = 0;
    std::memcpy(h + kNameAt, name.data(), name.size());
    uint8_t* p = h + kRecordHeaderSize;
    std::memcpy(p, displayText.data(), displayText.size());
    p += a;
    for (uint32_t i = 0; i < kRecordFlagCount; ++i) put32(p + 4 * i, uint32_t(flags[i]));
    p += kRecordFlagBytes;
    if (c) std::memcpy(p, variableText.data(), c);
    put32(h + kCrcAt, recordCrc(out));
    return out;
}

RecordCheck parseRecord(std::span<const uint8_t> plain, std::string_view expectedName, RecordContents& out) {
    if (plain.size() < kRecordHeaderSize) return RecordCheck::Damaged;
    const uint8_t* h = plain.data();
    const uint64_t a = get32(h + kTextSizeAt), b = get32(h + kFlagSizeAt), c = get32(h + kVariableSizeAt);
    const uint64_t total = kRecordHeaderSize + a + b + c;  // at most 64 + 3 × (2^32 − 1): no overflow
    if (total > plain.size()) return RecordCheck::Damaged;
    const std::span<const uint8_t> record = plain.first(static_cast<size_t>(total));
    if (recordCrc(record) != get32(h + kCrcAt)) return RecordCheck::Damaged;

    if (std::memcmp(h + kMagicAt, kMagic, sizeof kMagic) != 0 || get32(h + kHeaderSizeAt) != kRecordHeaderSize ||
        b != kRecordFlagBytes)
        return RecordCheck::Foreign;
    const char* nameBytes = reinterpret_cast<const char*>(h + kNameAt);
    const std::string_view stored(nameBytes, strnlen(nameBytes, kRecordNameLimit));
    if (stored != recordName(expectedName)) return RecordCheck::Foreign;

    const char* text = reinterpret_cast<const char*>(h + kRecordHeaderSize);
    out.name.assign(stored);
    out.displayText.assign(text, strnlen(text, static_cast<size_t>(a)));
    const uint8_t* f = h + kRecordHeaderSize + a;
    for (uint32_t i = 0; i < kRecordFlagCount; ++i) out.flags[i] = int32_t(get32(f + 4 * i));
    out.variableText.assign(reinterpret_cast<const char*>(f + b), static_cast<size_t>(c));
    return RecordCheck::Loaded;
}

bool saveRecord(const RecordFiles& io, std::string_view file, std::string_view name, std::string_view displayText,
                const int32_t (&flags)[kRecordFlagCount], std::string_view variableText) {
    std::vector<uint8_t> bytes = buildRecord(name, displayText, flags, variableText);
    io.keystream.apply(bytes.data(), bytes.size());
    if (io.userData) makeFoldersOf(*io.userData, file);
    std::string reason;
    if (writeFileSafely(io.userData ? *io.userData : io.root, file, bytes, &reason)) return true;
    io.errorLog.add(kWriteFailedKind, file);
    dbg(io.host, "recSave", std::string(file) + ": " + reason);
    return false;
}

std::optional<RecordContents> loadRecord(const RecordFiles& io, std::string_view file, std::string_view expectedName) {
    std::optional<std::vector<uint8_t>> bytes;
    if (io.userData) bytes = io.userData->readAll(file, kRecordMaxBytes);
    if (!bytes) bytes = io.root.readAll(file, kRecordMaxBytes);
    if (!bytes) return std::nullopt;
    io.keystream.apply(bytes->data(), bytes->size());
    RecordContents contents;
    switch (parseRecord(*bytes, expectedName, contents)) {
        case RecordCheck::Loaded: return contents;
        case RecordCheck::Damaged: io.errorLog.add(kDamagedKind, file); return std::nullopt;
        case RecordCheck::Foreign: return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace qf
