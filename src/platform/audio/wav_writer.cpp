#include "platform/audio/wav_writer.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace qf {

namespace {

constexpr uint32_t kHeaderBytes = 44;
constexpr uint64_t kMaxDataBytes = 0xFFFFFFFFull - kHeaderBytes;

void put16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void put32(uint8_t* p, uint32_t v) {
    put16(p, v & 0xFFFF);
    put16(p + 2, v >> 16);
}

void header(uint8_t* h, int rate, int channels, uint32_t dataBytes) {
    std::memcpy(h, "RIFF", 4);
    put32(h + 4, dataBytes + kHeaderBytes - 8);
    std::memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, 16);
    put16(h + 20, 1);
    put16(h + 22, static_cast<uint32_t>(channels));
    put32(h + 24, static_cast<uint32_t>(rate));
    put32(h + 28, static_cast<uint32_t>(rate * channels * 2));
    put16(h + 32, static_cast<uint32_t>(channels * 2));
    put16(h + 34, 16);
    std::memcpy(h + 36, "data", 4);
    put32(h + 40, dataBytes);
}

}  // namespace

WavWriter::~WavWriter() {
    if (file_) {
        std::fclose(file_);
        std::remove(temporary_.c_str());
    }
}

bool WavWriter::fail(const std::string& what) {
    error_ = what + ": " + std::strerror(errno);
    return false;
}

bool WavWriter::open(const std::string& path, int sampleRate, int channels) {
    if (file_) {
        std::fclose(file_);
        std::remove(temporary_.c_str());
        file_ = nullptr;
    }
    path_ = path;
    temporary_ = path + ".part";
    sampleRate_ = sampleRate;
    channels_ = channels;
    frames_ = 0;
    file_ = std::fopen(temporary_.c_str(), "wb");
    if (!file_) return fail("cannot create " + temporary_);
    uint8_t h[kHeaderBytes];
    header(h, sampleRate, channels, 0);
    if (std::fwrite(h, 1, sizeof h, file_) != sizeof h) return fail("cannot write " + temporary_);
    return true;
}

bool WavWriter::write(const int16_t* samples, size_t frames) {
    if (!file_) return false;
    const uint64_t frameBytes = static_cast<uint64_t>(channels_) * 2;
    uint64_t room = (kMaxDataBytes - frames_ * frameBytes) / frameBytes;
    if (frames > room) frames = static_cast<size_t>(room);
    uint8_t buffer[4096];
    size_t values = frames * static_cast<size_t>(channels_);
    for (size_t i = 0; i < values;) {
        size_t n = 0;
        for (; n + 2 <= sizeof buffer && i < values; ++i, n += 2) put16(buffer + n, static_cast<uint16_t>(samples[i]));
        if (std::fwrite(buffer, 1, n, file_) != n) return fail("cannot write " + temporary_);
    }
    frames_ += frames;
    return true;
}

bool WavWriter::finish() {
    if (!file_) return false;
    uint8_t h[kHeaderBytes];
    header(h, sampleRate_, channels_, static_cast<uint32_t>(frames_ * static_cast<uint64_t>(channels_) * 2));
    bool ok = std::fseek(file_, 0, SEEK_SET) == 0 && std::fwrite(h, 1, sizeof h, file_) == sizeof h &&
              std::fflush(file_) == 0 && ::fsync(::fileno(file_)) == 0;
    if (!ok) fail("cannot complete " + temporary_);
    if (std::fclose(file_) != 0 && ok) ok = fail("cannot close " + temporary_);
    file_ = nullptr;
    if (ok && std::rename(temporary_.c_str(), path_.c_str()) != 0) ok = fail("cannot rename to " + path_);
    if (!ok) std::remove(temporary_.c_str());
    return ok;
}

}  // namespace qf
