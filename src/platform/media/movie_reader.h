// The video track of a movie file held in memory (AVI, and any container the
// media libraries read), frame by frame as 24-bit blue-green-red pictures,
// rows top to bottom without padding. Frames read in order are decoded one
// after the other; a jump backwards, or forwards past a key frame, seeks to
// the nearest key frame before the wanted frame and decodes from there. The
// sound tracks are ignored.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace qf {

enum class MovieOpenError {
    None,
    Unreadable,  // not a movie file, or broken
    NoVideo,     // no video track, or one without a decoder
    TooLarge,    // frames above the picture limits
};

class MovieReader {
public:
    MovieReader();
    ~MovieReader();
    MovieReader(const MovieReader&) = delete;
    MovieReader& operator=(const MovieReader&) = delete;

    // Replaces the open movie by the file's bytes (kept until close).
    MovieOpenError open(std::vector<uint8_t> bytes);
    void close();
    bool isOpen() const;

    int width() const;
    int height() const;
    // Frame numbers run from firstFrame() to firstFrame() + frameCount() − 1.
    int64_t firstFrame() const;
    int64_t frameCount() const;
    // Milliseconds a frame is shown (1000 / frame rate).
    double frameTime() const;

    // Frame n into `bgr` (width × height × 3 bytes). False when n is outside
    // the movie or the frame cannot be decoded; `bgr` is then untouched.
    bool readFrame(int64_t n, uint8_t* bgr);

    // How many seeks and decoded frames the reading has needed so far.
    int seekCount() const;
    int64_t decodedCount() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace qf
