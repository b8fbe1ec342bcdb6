// The one movie of "#aviLoad", "#aviDraw" and "#aviStop": its video frames
// drawn one at a time into a picture slot. The sound track is not played.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/pictures.h"
#include "platform/media/movie_reader.h"

namespace qf {

class Host;

class Movie {
public:
    explicit Movie(Host& host) : host_(host) {}

    // Opens the movie file's bytes (`found` false: the file is missing). On
    // failure the messages are shown and the movie is closed. Returns the end
    // frame (first frame + length), which a failed open leaves as it was.
    int Load(bool found, std::vector<uint8_t> bytes);
    // The slot becomes exactly the video's size and shows frame n; a frame
    // outside the movie leaves the slot's picture as it was. Nothing happens
    // without an open movie.
    void Draw(Pictures& pictures, int slot, int frame);
    void Stop();

    bool IsOpen() const { return reader_.isOpen(); }
    int EndFrame() const { return endFrame_; }
    const MovieReader& Reader() const { return reader_; }

private:
    Host& host_;
    MovieReader reader_;
    int firstFrame_ = 0, endFrame_ = 0;
};

}  // namespace qf
