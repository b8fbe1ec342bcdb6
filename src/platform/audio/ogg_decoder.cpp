#include "platform/audio/ogg_decoder.h"

#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <cstring>

namespace qf {

struct OggDecoder::Impl {
    OggVorbis_File file{};
    bool open = false;
    std::vector<uint8_t> image;
    size_t position = 0;

    // read(destination, size, count): whole items only.
    static size_t readItems(void* destination, size_t size, size_t count, void* source) {
        Impl& m = *static_cast<Impl*>(source);
        if (size == 0) return 0;
        size_t items = (m.image.size() - m.position) / size;
        if (items > count) items = count;
        if (items) std::memcpy(destination, m.image.data() + m.position, items * size);
        m.position += items * size;
        return items;
    }

    static int seek(void* source, ogg_int64_t offset, int whence) {
        Impl& m = *static_cast<Impl*>(source);
        const int64_t size = static_cast<int64_t>(m.image.size());
        int64_t base;
        switch (whence) {
        case SEEK_SET: base = 0; break;
        case SEEK_CUR: base = static_cast<int64_t>(m.position); break;
        case SEEK_END: base = size; break;
        default: return -1;
        }
        // Offsets are bounded so that the sum cannot overflow.
        if (offset > size || offset < -size - 1) {
            m.position = offset > 0 ? m.image.size() : 0;
            return -1;
        }
        int64_t target = base + offset;
        if (target > size) {
            m.position = m.image.size();
            return -1;
        }
        if (target < 0) {
            m.position = 0;
            return -1;
        }
        m.position = static_cast<size_t>(target);
        return 0;
    }

    static int close(void*) { return 0; }

    static long tell(void* source) { return static_cast<long>(static_cast<Impl*>(source)->position); }
};

OggDecoder::OggDecoder() : impl_(std::make_unique<Impl>()) {}

OggDecoder::~OggDecoder() { clear(); }

int OggDecoder::open(std::vector<uint8_t> image) {
    clear();
    impl_->image = std::move(image);
    impl_->position = 0;
    ov_callbacks callbacks{&Impl::readItems, &Impl::seek, &Impl::close, &Impl::tell};
    int result = ov_open_callbacks(impl_.get(), &impl_->file, nullptr, 0, callbacks);
    if (result != 0) {
        // A failed open has already released what it set up.
        impl_->image.clear();
        impl_->image.shrink_to_fit();
        return result;
    }
    impl_->open = true;
    return 0;
}

bool OggDecoder::isOpen() const { return impl_->open; }

void OggDecoder::clear() {
    if (impl_->open) ov_clear(&impl_->file);
    impl_->open = false;
    impl_->image.clear();
    impl_->image.shrink_to_fit();
    impl_->position = 0;
}

int OggDecoder::channels() const {
    if (!impl_->open) return 0;
    vorbis_info* info = ov_info(&impl_->file, -1);
    return info ? info->channels : 0;
}

long OggDecoder::rate() const {
    if (!impl_->open) return 0;
    vorbis_info* info = ov_info(&impl_->file, -1);
    return info ? info->rate : 0;
}

std::vector<std::string> OggDecoder::comments() const {
    std::vector<std::string> out;
    if (!impl_->open) return out;
    vorbis_comment* c = ov_comment(&impl_->file, -1);
    if (!c) return out;
    for (int i = 0; i < c->comments; ++i) {
        if (!c->user_comments[i] || c->comment_lengths[i] < 0) continue;
        out.emplace_back(c->user_comments[i], static_cast<size_t>(c->comment_lengths[i]));
    }
    return out;
}

long OggDecoder::bitrate() const {
    if (!impl_->open) return OV_EINVAL;
    return ov_bitrate(&impl_->file, -1);
}

long OggDecoder::read(uint8_t* destination, int bytes, int* section) {
    if (!impl_->open) return OV_EINVAL;
    int ignored = 0;
    return ov_read(&impl_->file, reinterpret_cast<char*>(destination), bytes, 0, 2, 1, section ? section : &ignored);
}

int OggDecoder::pcmSeek(int64_t frame) {
    if (!impl_->open) return OV_EINVAL;
    return ov_pcm_seek(&impl_->file, frame);
}

int64_t OggDecoder::pcmTell() const {
    if (!impl_->open) return OV_EINVAL;
    return ov_pcm_tell(&impl_->file);
}

int64_t OggDecoder::pcmTotal() const {
    if (!impl_->open) return OV_EINVAL;
    return ov_pcm_total(&impl_->file, -1);
}

}  // namespace qf
