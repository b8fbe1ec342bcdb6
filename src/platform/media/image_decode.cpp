#include "platform/media/image_decode.h"

#include <png.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <cstring>
#include <memory>

#include "platform/media/media_log.h"

namespace qf {

namespace {

constexpr const char* kNotPicture = "は読み込めない画像形式です";
constexpr const char* kTooLarge = "は画像が大きすぎます";
constexpr const char* kBroken = "の画像データが壊れています";

uint32_t be16(const uint8_t* p) { return uint32_t(p[0]) << 8 | p[1]; }
uint32_t le16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t be32(const uint8_t* p) { return be16(p) << 16 | be16(p + 2); }
int32_t le32(const uint8_t* p) { return int32_t(le16(p) | le16(p + 2) << 16); }

bool withinLimits(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width <= kMaxImageSide && height <= kMaxImageSide &&
           width * height <= kMaxImagePixels;
}

int paddedStride(int width) { return (width * 3 + 3) & ~3; }

// Width and height of the first frame header of a JPEG stream; false when
// no frame header comes before the first scan, or there is no scan.
bool jpegSize(const uint8_t* data, size_t size, int64_t& width, int64_t& height) {
    bool frame = false;
    size_t p = 2;
    while (p + 4 <= size) {
        if (data[p] != 0xFF) return false;
        uint8_t marker = data[p + 1];
        if (marker == 0xFF) {  // fill byte
            ++p;
            continue;
        }
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            p += 2;
            continue;
        }
        if (marker == 0xD9) return false;
        if (marker == 0xDA) return frame;
        size_t length = be16(data + p + 2);
        if (length < 2) return false;
        const bool frameHeader = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frameHeader && !frame) {
            if (p + 9 > size) return false;
            height = be16(data + p + 5);
            width = be16(data + p + 7);
            frame = true;
            // Too large already: no need to look for the scan.
            if (width > kMaxImageSide || height > kMaxImageSide || width * height > kMaxImagePixels) return true;
        }
        p += 2 + length;
    }
    return false;
}

bool plausibleTga(const uint8_t* data, size_t size) {
    if (size < 18) return false;
    const uint8_t colourMapType = data[1], imageType = data[2], depth = data[16];
    if (colourMapType > 1) return false;
    switch (imageType) {
    case 1: case 9: if (colourMapType != 1) return false; break;
    case 2: case 3: case 10: case 11: break;
    default: return false;
    }
    if (depth != 8 && depth != 15 && depth != 16 && depth != 24 && depth != 32) return false;
    return le16(data + 12) > 0 && le16(data + 14) > 0;
}

// The size the headers declare; false when they cannot be read.
bool declaredSize(ImageFormat format, const uint8_t* data, size_t size, int64_t& width, int64_t& height) {
    switch (format) {
    case ImageFormat::Png:
        if (size < 24) return false;
        width = be32(data + 16);
        height = be32(data + 20);
        return true;
    case ImageFormat::Jpeg: return jpegSize(data, size, width, height);
    case ImageFormat::Gif:
        if (size < 10) return false;
        width = le16(data + 6);
        height = le16(data + 8);
        return true;
    case ImageFormat::Tga:
        width = le16(data + 12);
        height = le16(data + 14);
        return true;
    case ImageFormat::Bmp: {
        if (size < 26) return false;
        if (le32(data + 14) == 12) {
            width = le16(data + 18);
            height = le16(data + 20);
        } else {
            width = le32(data + 18);
            height = le32(data + 22);
            if (height < 0) height = -int64_t(height);
        }
        return true;
    }
    case ImageFormat::Unknown: break;
    }
    return false;
}

bool decodePng(const uint8_t* data, size_t size, DecodedImage& out, std::string& error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) {
        error = kBroken;
        return false;
    }
    if (!withinLimits(image.width, image.height)) {
        png_image_free(&image);
        error = kTooLarge;
        return false;
    }
    image.format = PNG_FORMAT_BGR;
    const int width = int(image.width), height = int(image.height), stride = paddedStride(width);
    std::vector<uint8_t> rows(size_t(stride) * size_t(height), 0);
    png_color black{0, 0, 0};
    // A negative stride stores the bottom row first.
    if (!png_image_finish_read(&image, &black, rows.data(), -stride, nullptr)) {
        png_image_free(&image);
        error = kBroken;
        return false;
    }
    out.width = width;
    out.height = height;
    out.stride = stride;
    out.rows = std::move(rows);
    return true;
}

struct CodecContextFree {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct PacketFree {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameFree {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};

bool decodeWithCodec(AVCodecID id, const uint8_t* data, size_t size, DecodedImage& out, std::string& error) {
    error = kBroken;
    if (size > size_t(INT32_MAX) - AV_INPUT_BUFFER_PADDING_SIZE) return false;
    const AVCodec* codec = avcodec_find_decoder(id);
    if (!codec) {
        error = kNotPicture;
        return false;
    }
    std::unique_ptr<AVCodecContext, CodecContextFree> ctx(avcodec_alloc_context3(codec));
    std::unique_ptr<AVPacket, PacketFree> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameFree> frame(av_frame_alloc());
    if (!ctx || !packet || !frame) return false;
    ctx->max_pixels = kMaxImagePixels;
    ctx->thread_count = 1;
    if (avcodec_open2(ctx.get(), codec, nullptr) < 0) return false;
    if (av_new_packet(packet.get(), int(size)) < 0) return false;
    std::memcpy(packet->data, data, size);
    packet->flags |= AV_PKT_FLAG_KEY;
    if (avcodec_send_packet(ctx.get(), packet.get()) < 0) return false;
    avcodec_send_packet(ctx.get(), nullptr);
    if (avcodec_receive_frame(ctx.get(), frame.get()) < 0) return false;
    const int width = frame->width, height = frame->height;
    if (!withinLimits(width, height)) {
        error = kTooLarge;
        return false;
    }
    SwsContext* sws = sws_getContext(width, height, AVPixelFormat(frame->format), width, height, AV_PIX_FMT_BGR24,
                                     SWS_BILINEAR | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INT, nullptr, nullptr, nullptr);
    if (!sws) return false;
    const int stride = paddedStride(width);
    std::vector<uint8_t> rows(size_t(stride) * size_t(height), 0);
    // The bottom row first: start at the last stored row and step backwards.
    uint8_t* dst[4] = {rows.data() + size_t(stride) * size_t(height - 1), nullptr, nullptr, nullptr};
    int dstStride[4] = {-stride, 0, 0, 0};
    const int done = sws_scale(sws, frame->data, frame->linesize, 0, height, dst, dstStride);
    sws_freeContext(sws);
    if (done != height) return false;
    out.width = width;
    out.height = height;
    out.stride = stride;
    out.rows = std::move(rows);
    error.clear();
    return true;
}

}  // namespace

ImageFormat sniffImageFormat(const uint8_t* data, size_t size) {
    static const uint8_t png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (size >= 8 && std::memcmp(data, png, 8) == 0) return ImageFormat::Png;
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF) return ImageFormat::Jpeg;
    if (size >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0))
        return ImageFormat::Gif;
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') return ImageFormat::Bmp;
    if (plausibleTga(data, size)) return ImageFormat::Tga;
    return ImageFormat::Unknown;
}

bool decodeImage(const uint8_t* data, size_t size, DecodedImage& out, std::string& error) {
    out = DecodedImage{};
    error.clear();
    quietMediaLog();
    const ImageFormat format = data ? sniffImageFormat(data, size) : ImageFormat::Unknown;
    if (format == ImageFormat::Unknown) {
        error = kNotPicture;
        return false;
    }
    int64_t width = 0, height = 0;
    if (!declaredSize(format, data, size, width, height)) {
        error = kBroken;
        return false;
    }
    if (!withinLimits(width, height)) {
        error = width <= 0 || height <= 0 ? kBroken : kTooLarge;
        return false;
    }
    switch (format) {
    case ImageFormat::Png: return decodePng(data, size, out, error);
    case ImageFormat::Jpeg: return decodeWithCodec(AV_CODEC_ID_MJPEG, data, size, out, error);
    case ImageFormat::Gif: return decodeWithCodec(AV_CODEC_ID_GIF, data, size, out, error);
    case ImageFormat::Tga: return decodeWithCodec(AV_CODEC_ID_TARGA, data, size, out, error);
    case ImageFormat::Bmp: return decodeWithCodec(AV_CODEC_ID_BMP, data, size, out, error);
    case ImageFormat::Unknown: break;
    }
    return false;
}

}  // namespace qf
