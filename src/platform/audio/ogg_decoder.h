// An Ogg Vorbis stream decoded from a file image held in memory (libvorbisfile
// behind memory callbacks). The decoder owns the image while it is open.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qf {

class OggDecoder {
public:
    OggDecoder();
    ~OggDecoder();
    OggDecoder(const OggDecoder&) = delete;
    OggDecoder& operator=(const OggDecoder&) = delete;

    // Opens the stream in `image`. 0 on success, otherwise the library's
    // (negative) error code; a failed open leaves the decoder closed.
    int open(std::vector<uint8_t> image);
    bool isOpen() const;
    // Closes the stream and releases the image.
    void clear();

    int channels() const;
    long rate() const;
    // The user comments ("KEY=value"), in file order.
    std::vector<std::string> comments() const;
    // Nominal bitrate of the stream in bits per second, or a negative error.
    long bitrate() const;

    // Decodes at most `bytes` bytes of 16-bit signed little-endian PCM, the
    // channels interleaved. The number of bytes, 0 at the end of the stream, or
    // a negative error (a hole or damaged packet; reading may go on).
    long read(uint8_t* destination, int bytes, int* section);
    // Positions on a PCM frame; 0 or a negative error.
    int pcmSeek(int64_t frame);
    // The PCM frame the next read returns.
    int64_t pcmTell() const;
    // Length of the stream in PCM frames, or a negative error.
    int64_t pcmTotal() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace qf
