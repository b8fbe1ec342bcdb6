// Writes 16-bit PCM to a RIFF WAVE file as it comes (the capture of a headless
// run). The data goes to a temporary file beside the target, which finish()
// completes, syncs and renames over the target, so an interrupted run leaves
// no half-written file under the target's name.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace qf {

class WavWriter {
public:
    WavWriter() = default;
    ~WavWriter();  // an unfinished file is removed
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    // False, with the reason in error(), when the temporary file cannot be made.
    bool open(const std::string& path, int sampleRate, int channels);
    // Appends whole frames; writing stops quietly at the format's 4 GiB limit.
    bool write(const int16_t* samples, size_t frames);
    // Fills in the sizes and moves the file into place.
    bool finish();

    bool isOpen() const { return file_ != nullptr; }
    uint64_t framesWritten() const { return frames_; }
    const std::string& error() const { return error_; }

private:
    bool fail(const std::string& what);

    std::FILE* file_ = nullptr;
    std::string path_, temporary_, error_;
    int sampleRate_ = 44100;
    int channels_ = 2;
    uint64_t frames_ = 0;
};

}  // namespace qf
