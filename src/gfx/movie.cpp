#include "gfx/movie.h"

#include "platform/report.h"
#include "platform/sjis.h"

namespace qf {

namespace {

// Error codes of the movie file library the message reports.
constexpr int kErrBadFormat = int(0x80044066u);
constexpr int kErrFileOpen = int(0x8004406Fu);
constexpr int kErrNoData = int(0x80044073u);

int errorCode(bool found, MovieOpenError error) {
    if (!found) return kErrFileOpen;
    return error == MovieOpenError::NoVideo ? kErrNoData : kErrBadFormat;
}

}  // namespace

int Movie::Load(bool found, std::vector<uint8_t> bytes) {
    MovieOpenError error = found ? reader_.open(std::move(bytes)) : MovieOpenError::Unreadable;
    if (error != MovieOpenError::None) {
        dialog(host_, sj("エラー：AVIStreamOpenFromFile():Video"));
        dialog(host_, errorCode(found, error));
        Stop();
        return endFrame_;
    }
    firstFrame_ = int(reader_.firstFrame());
    endFrame_ = int(reader_.firstFrame() + reader_.frameCount());
    return endFrame_;
}

void Movie::Draw(Pictures& pictures, int slot, int frame) {
    if (!reader_.isOpen()) return;
    pictures.MakeSlot(slot, reader_.width(), reader_.height());
    S_Dib* dib = pictures.Slot(slot);
    if (!dib || !dib->HasPixels() || frame < firstFrame_ || frame >= endFrame_) return;
    reader_.readFrame(int64_t(frame) - firstFrame_, dib->m_pBits);
}

void Movie::Stop() { reader_.close(); }

}  // namespace qf
