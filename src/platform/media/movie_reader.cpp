#include "platform/media/movie_reader.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/media/image_decode.h"
#include "platform/media/media_log.h"

namespace qf {

namespace {

constexpr int kIoBufferSize = 32 * 1024;
// Without a key-frame index, a jump forwards of more frames than this seeks.
constexpr int64_t kFarAhead = 64;

// The file is read from memory only: nothing a movie names is opened.
int refuseNestedOpen(AVFormatContext*, AVIOContext**, const char*, int, AVDictionary**) { return AVERROR(EPERM); }

}  // namespace

struct MovieReader::Impl {
    std::vector<uint8_t> bytes;
    size_t position = 0;

    AVIOContext* io = nullptr;
    AVFormatContext* format = nullptr;
    AVCodecContext* decoder = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    SwsContext* scaler = nullptr;
    AVStream* stream = nullptr;

    int width = 0, height = 0;
    int64_t count = 0;
    AVRational rate{25, 1};
    int64_t startPts = 0;
    int64_t nextIndex = -1;    // the frame the decoder gives next; −1 unknown (after a seek)
    int64_t frameIndex = -1;   // the frame held in `frame`; −1 none
    bool flushed = false;      // the end of the file was handed to the decoder
    int seeks = 0;
    int64_t decoded = 0;

    ~Impl() { close(); }

    void close() {
        sws_freeContext(scaler);
        scaler = nullptr;
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&decoder);
        if (format) avformat_close_input(&format);
        if (io) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
        stream = nullptr;
        bytes.clear();
        bytes.shrink_to_fit();
        position = 0;
        width = height = 0;
        count = 0;
        nextIndex = frameIndex = -1;
        flushed = false;
    }

    static int readBytes(void* opaque, uint8_t* buf, int size) {
        auto* self = static_cast<Impl*>(opaque);
        size_t left = self->bytes.size() - self->position;
        size_t n = std::min(left, size_t(std::max(size, 0)));
        if (n == 0) return AVERROR_EOF;
        std::memcpy(buf, self->bytes.data() + self->position, n);
        self->position += n;
        return int(n);
    }

    static int64_t seekBytes(void* opaque, int64_t offset, int whence) {
        auto* self = static_cast<Impl*>(opaque);
        const int64_t size = int64_t(self->bytes.size());
        whence &= ~AVSEEK_FORCE;
        if (whence == AVSEEK_SIZE) return size;
        int64_t target;
        switch (whence) {
        case SEEK_SET: target = offset; break;
        case SEEK_CUR: target = int64_t(self->position) + offset; break;
        case SEEK_END: target = size + offset; break;
        default: return -1;
        }
        if (target < 0 || target > size) return -1;
        self->position = size_t(target);
        return target;
    }

    int64_t ptsToIndex(int64_t pts) const {
        return av_rescale_q_rnd(pts - startPts, stream->time_base, av_inv_q(rate),
                                AVRounding(AV_ROUND_NEAR_INF | AV_ROUND_PASS_MINMAX));
    }
    int64_t indexToPts(int64_t index) const {
        return startPts + av_rescale_q(index, av_inv_q(rate), stream->time_base);
    }

    MovieOpenError open() {
        quietMediaLog();
        auto* buffer = static_cast<uint8_t*>(av_malloc(kIoBufferSize));
        if (!buffer) return MovieOpenError::Unreadable;
        io = avio_alloc_context(buffer, kIoBufferSize, 0, this, &Impl::readBytes, nullptr, &Impl::seekBytes);
        if (!io) {
            av_free(buffer);
            return MovieOpenError::Unreadable;
        }
        format = avformat_alloc_context();
        if (!format) return MovieOpenError::Unreadable;
        format->pb = io;
        format->flags |= AVFMT_FLAG_CUSTOM_IO;
        format->io_open = refuseNestedOpen;
        if (avformat_open_input(&format, nullptr, nullptr, nullptr) < 0) {
            format = nullptr;  // freed by the failed open
            return MovieOpenError::Unreadable;
        }
        // Probing decodes frames with decoders of its own: they get the same pixel
        // limit as ours, so a header claiming a huge picture allocates nothing big.
        std::vector<AVDictionary*> probeOptions(format->nb_streams, nullptr);
        for (AVDictionary*& options : probeOptions) av_dict_set_int(&options, "max_pixels", kMaxImagePixels, 0);
        const int probed = avformat_find_stream_info(format, probeOptions.empty() ? nullptr : probeOptions.data());
        for (AVDictionary*& options : probeOptions) av_dict_free(&options);
        if (probed < 0) return MovieOpenError::Unreadable;
        const int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        if (index < 0) return MovieOpenError::NoVideo;
        for (unsigned i = 0; i < format->nb_streams; ++i)
            format->streams[i]->discard = int(i) == index ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
        stream = format->streams[index];
        const AVCodecParameters* par = stream->codecpar;
        if (par->width <= 0 || par->height <= 0) return MovieOpenError::Unreadable;
        if (par->width > kMaxImageSide || par->height > kMaxImageSide ||
            int64_t(par->width) * par->height > kMaxImagePixels)
            return MovieOpenError::TooLarge;
        const AVCodec* codec = avcodec_find_decoder(par->codec_id);
        if (!codec) return MovieOpenError::NoVideo;
        decoder = avcodec_alloc_context3(codec);
        if (!decoder || avcodec_parameters_to_context(decoder, par) < 0) return MovieOpenError::Unreadable;
        decoder->thread_count = 1;
        decoder->max_pixels = kMaxImagePixels;
        if (avcodec_open2(decoder, codec, nullptr) < 0) return MovieOpenError::Unreadable;
        packet = av_packet_alloc();
        frame = av_frame_alloc();
        if (!packet || !frame) return MovieOpenError::Unreadable;

        width = par->width;
        height = par->height;
        if (stream->avg_frame_rate.num > 0 && stream->avg_frame_rate.den > 0) rate = stream->avg_frame_rate;
        else if (stream->r_frame_rate.num > 0 && stream->r_frame_rate.den > 0) rate = stream->r_frame_rate;
        startPts = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
        if (stream->nb_frames > 0) count = stream->nb_frames;
        else if (stream->duration > 0) count = av_rescale_q(stream->duration, stream->time_base, av_inv_q(rate));
        else if (format->duration > 0) count = av_rescale_q(format->duration, AVRational{1, AV_TIME_BASE}, av_inv_q(rate));
        count = std::clamp<int64_t>(count, 0, INT32_MAX);
        nextIndex = 0;
        return MovieOpenError::None;
    }

    bool seekTo(int64_t n) {
        ++seeks;
        if (av_seek_frame(format, stream->index, indexToPts(n), AVSEEK_FLAG_BACKWARD) < 0 &&
            av_seek_frame(format, stream->index, indexToPts(0), AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY) < 0)
            return false;
        avcodec_flush_buffers(decoder);
        nextIndex = -1;
        frameIndex = -1;
        flushed = false;
        return true;
    }

    // Whether reaching frame n from here is quicker through a seek.
    bool shouldSeek(int64_t n) const {
        if (nextIndex < 0 || n < nextIndex) return true;
        if (n == nextIndex) return false;
        const AVIndexEntry* key = avformat_index_get_entry_from_timestamp(stream, indexToPts(n), AVSEEK_FLAG_BACKWARD);
        if (key && avformat_index_get_entries_count(stream) > 1) return ptsToIndex(key->timestamp) > nextIndex;
        return n - nextIndex > kFarAhead;
    }

    // The next frame out of the decoder; false at the end or on an error.
    bool decodeNext() {
        for (;;) {
            int got = avcodec_receive_frame(decoder, frame);
            if (got == 0) {
                ++decoded;
                int64_t pts = frame->best_effort_timestamp;
                int64_t index = pts != AV_NOPTS_VALUE ? ptsToIndex(pts) : (nextIndex >= 0 ? nextIndex : 0);
                frameIndex = index;
                nextIndex = index + 1;
                return true;
            }
            if (got != AVERROR(EAGAIN) || flushed) return false;
            int read = av_read_frame(format, packet);
            if (read < 0) {
                flushed = true;
                avcodec_send_packet(decoder, nullptr);
                continue;
            }
            if (packet->stream_index == stream->index) {
                int sent = avcodec_send_packet(decoder, packet);
                // A broken packet is skipped; the next one may decode.
                if (sent < 0 && sent != AVERROR(EAGAIN) && sent != AVERROR_INVALIDDATA) {
                    av_packet_unref(packet);
                    return false;
                }
            }
            av_packet_unref(packet);
        }
    }

    bool convert(uint8_t* bgr) {
        if (frame->width <= 0 || frame->height <= 0 || frame->width > kMaxImageSide || frame->height > kMaxImageSide)
            return false;
        scaler = sws_getCachedContext(scaler, frame->width, frame->height, AVPixelFormat(frame->format), width, height,
                                      AV_PIX_FMT_BGR24, SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (!scaler) return false;
        uint8_t* dst[4] = {bgr, nullptr, nullptr, nullptr};
        int dstStride[4] = {width * 3, 0, 0, 0};
        return sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, dst, dstStride) == height;
    }

    bool read(int64_t n, uint8_t* bgr) {
        if (!decoder || n < 0 || n >= count) return false;
        if (frameIndex == n) return convert(bgr);
        if (shouldSeek(n) && !seekTo(n)) return false;
        // Frames before n are decoded and dropped; a frame that is missing
        // from the file is stood in for by the next one decoded.
        while (decodeNext()) {
            if (frameIndex >= n) return convert(bgr);
        }
        frameIndex = -1;
        return false;
    }
};

MovieReader::MovieReader() : impl_(std::make_unique<Impl>()) {}
MovieReader::~MovieReader() = default;

MovieOpenError MovieReader::open(std::vector<uint8_t> bytes) {
    impl_->close();
    impl_->bytes = std::move(bytes);
    MovieOpenError result = impl_->open();
    if (result != MovieOpenError::None) impl_->close();
    return result;
}

void MovieReader::close() { impl_->close(); }
bool MovieReader::isOpen() const { return impl_->decoder != nullptr; }
int MovieReader::width() const { return impl_->width; }
int MovieReader::height() const { return impl_->height; }
int64_t MovieReader::firstFrame() const { return 0; }
int64_t MovieReader::frameCount() const { return impl_->count; }
double MovieReader::frameTime() const { return 1000.0 * impl_->rate.den / impl_->rate.num; }
bool MovieReader::readFrame(int64_t n, uint8_t* bgr) { return impl_->read(n, bgr); }
int MovieReader::seekCount() const { return impl_->seeks; }
int64_t MovieReader::decodedCount() const { return impl_->decoded; }

}  // namespace qf
