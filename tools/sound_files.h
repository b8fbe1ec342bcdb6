// Writers of the small sound files the generator scripts in this folder make
// (tools/make-test-sounds.sh, make-demo-sounds.sh, make-audio-seeds.sh): byte
// helpers, 8-bit WAV images, Ogg Vorbis through libvorbisenc, MIDI delta times.
#pragma once

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;
using Samples = std::vector<float>;  // -1..1, channels interleaved

constexpr double kTwoPi = 6.283185307179586;

inline void put16(Bytes& v, uint32_t x) { v.push_back(uint8_t(x)); v.push_back(uint8_t(x >> 8)); }
inline void put32(Bytes& v, uint32_t x) { put16(v, x & 0xFFFF); put16(v, x >> 16); }

inline void save(const std::string& path, const Bytes& b) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(b.data()), long(b.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

// 8-bit unsigned mono RIFF WAVE.
inline Bytes wav8(const Samples& s, int rate) {
    Bytes v = {'R', 'I', 'F', 'F'};
    put32(v, uint32_t(36 + s.size()));
    for (char c : std::string("WAVEfmt ")) v.push_back(uint8_t(c));
    put32(v, 16);
    put16(v, 1);
    put16(v, 1);
    put32(v, uint32_t(rate));
    put32(v, uint32_t(rate));
    put16(v, 1);
    put16(v, 8);
    for (char c : std::string("data")) v.push_back(uint8_t(c));
    put32(v, uint32_t(s.size()));
    for (float x : s) v.push_back(uint8_t(128 + std::lround(x * 127)));
    return v;
}

// Ogg Vorbis of interleaved samples, handed to the encoder `chunkFrames` at a
// time; `serial` numbers the logical stream.
inline Bytes oggVorbis(const Samples& s, int channels, int rate, const std::vector<std::string>& comments,
                       float quality, int serial, size_t chunkFrames) {
    Bytes out;
    auto append = [&out](const ogg_page& p) {
        out.insert(out.end(), p.header, p.header + p.header_len);
        out.insert(out.end(), p.body, p.body + p.body_len);
    };
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, channels, rate, quality) != 0) {
        std::fprintf(stderr, "the Vorbis encoder refused the format\n");
        std::exit(1);
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    for (const std::string& c : comments) vorbis_comment_add(&vc, c.c_str());
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, serial);
    ogg_packet h0, h1, h2;
    vorbis_analysis_headerout(&vd, &vc, &h0, &h1, &h2);
    ogg_stream_packetin(&os, &h0);
    ogg_stream_packetin(&os, &h1);
    ogg_stream_packetin(&os, &h2);
    ogg_page page;
    while (ogg_stream_flush(&os, &page)) append(page);
    auto drain = [&] {
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet p;
            while (vorbis_bitrate_flushpacket(&vd, &p)) {
                ogg_stream_packetin(&os, &p);
                while (ogg_stream_pageout(&os, &page)) append(page);
            }
        }
    };
    const size_t frames = s.size() / size_t(channels);
    for (size_t at = 0; at < frames; at += chunkFrames) {
        const int n = int(std::min(chunkFrames, frames - at));
        float** buffer = vorbis_analysis_buffer(&vd, n);
        for (int i = 0; i < n; ++i)
            for (int c = 0; c < channels; ++c) buffer[c][i] = s[(at + size_t(i)) * size_t(channels) + size_t(c)];
        vorbis_analysis_wrote(&vd, n);
        drain();
    }
    vorbis_analysis_wrote(&vd, 0);
    drain();
    while (ogg_stream_flush(&os, &page)) append(page);
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

// Variable-length quantity of a MIDI delta time.
inline void vlq(Bytes& v, uint32_t x) {
    uint8_t b[4];
    int n = 0;
    do {
        b[n++] = uint8_t(x & 0x7F);
        x >>= 7;
    } while (x);
    while (n--) v.push_back(uint8_t(b[n] | (n ? 0x80 : 0)));
}
