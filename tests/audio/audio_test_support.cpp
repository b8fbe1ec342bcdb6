#include "audio_test_support.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <ctime>

namespace qf::test {

std::vector<int16_t> sine(size_t frames, double frequency, int rate, double amplitude) {
    std::vector<int16_t> out(frames);
    for (size_t i = 0; i < frames; ++i)
        out[i] = static_cast<int16_t>(std::lround(amplitude * std::sin(2 * kPi * frequency * double(i) / rate)));
    return out;
}

std::vector<int16_t> chirp(size_t frames, double f0, double f1, int rate, double amplitude) {
    std::vector<int16_t> out(frames);
    const double seconds = double(frames) / rate;
    for (size_t i = 0; i < frames; ++i) {
        double t = double(i) / rate;
        double phase = 2 * kPi * (f0 * t + (f1 - f0) * t * t / (2 * seconds));
        out[i] = static_cast<int16_t>(std::lround(amplitude * std::sin(phase)));
    }
    return out;
}

namespace {
void put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
void put32(std::vector<uint8_t>& v, uint32_t x) {
    put16(v, x & 0xFFFF);
    put16(v, x >> 16);
}
}  // namespace

std::vector<uint8_t> wavImage(const std::vector<int16_t>& samples, int rate, int channels, int bits) {
    const uint32_t bytes = static_cast<uint32_t>(samples.size() * (bits / 8));
    std::vector<uint8_t> v;
    v.insert(v.end(), {'R', 'I', 'F', 'F'});
    put32(v, 36 + bytes);
    v.insert(v.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(v, 16);
    put16(v, 1);
    put16(v, static_cast<uint32_t>(channels));
    put32(v, static_cast<uint32_t>(rate));
    put32(v, static_cast<uint32_t>(rate * channels * bits / 8));
    put16(v, static_cast<uint32_t>(channels * bits / 8));
    put16(v, static_cast<uint32_t>(bits));
    v.insert(v.end(), {'d', 'a', 't', 'a'});
    put32(v, bytes);
    for (int16_t s : samples) {
        if (bits == 8) v.push_back(static_cast<uint8_t>((s >> 8) + 128));
        else put16(v, static_cast<uint16_t>(s));
    }
    return v;
}

std::vector<uint8_t> oggImage(const std::vector<int16_t>& samples, int rate, int channels,
                              const std::vector<std::string>& comments, float quality) {
    std::vector<uint8_t> out;
    auto append = [&out](const ogg_page& page) {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
    };
    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, channels, rate, quality) != 0) return out;
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    for (const std::string& c : comments) vorbis_comment_add(&vc, c.c_str());
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state os;
    ogg_stream_init(&os, 20240611);
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &vc, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &headerComment);
    ogg_stream_packetin(&os, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&os, &page)) append(page);

    auto drain = [&] {
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page)) append(page);
            }
        }
    };
    const size_t frames = samples.size() / static_cast<size_t>(channels);
    for (size_t at = 0; at < frames; at += 1024) {
        const int n = static_cast<int>(std::min<size_t>(1024, frames - at));
        float** buffer = vorbis_analysis_buffer(&dsp, n);
        for (int i = 0; i < n; ++i)
            for (int c = 0; c < channels; ++c)
                buffer[c][i] = samples[(at + static_cast<size_t>(i)) * static_cast<size_t>(channels) + static_cast<size_t>(c)] / 32768.0f;
        vorbis_analysis_wrote(&dsp, n);
        drain();
    }
    vorbis_analysis_wrote(&dsp, 0);
    drain();
    while (ogg_stream_flush(&os, &page)) append(page);
    ogg_stream_clear(&os);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&info);
    return out;
}

std::vector<uint8_t> midiImage(int quarterNotes) {
    std::vector<uint8_t> track = {0x00, 0xC0, 0x00};  // program 0: acoustic grand piano
    for (int q = 0; q < quarterNotes; ++q) {
        const uint8_t note = q % 2 ? 64 : 60;
        track.insert(track.end(), {0x00, 0x90, note, 100});         // note on
        track.insert(track.end(), {0x83, 0x60, 0x80, note, 0x40});  // 480 ticks later: note off
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});  // end of track
    std::vector<uint8_t> smf = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0,  // 480 ticks per beat
                                'M', 'T', 'r', 'k'};
    const uint32_t n = static_cast<uint32_t>(track.size());
    smf.insert(smf.end(), {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)});
    smf.insert(smf.end(), track.begin(), track.end());
    return smf;
}

std::vector<int16_t> channel(const std::vector<int16_t>& stereo, int which) {
    std::vector<int16_t> out(stereo.size() / 2);
    for (size_t i = 0; i < out.size(); ++i) out[i] = stereo[2 * i + static_cast<size_t>(which)];
    return out;
}

double rms(const int16_t* samples, size_t count) {
    if (count == 0) return 0;
    double sum = 0;
    for (size_t i = 0; i < count; ++i) sum += double(samples[i]) * samples[i];
    return std::sqrt(sum / double(count));
}

int peak(const std::vector<int16_t>& s, size_t from, size_t to) {
    int p = 0;
    for (size_t i = from; i < to && i < s.size(); ++i) p = std::max(p, std::abs(int(s[i])));
    return p;
}

double measureFrequency(const std::vector<int16_t>& s, int rate) {
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = 1; i < s.size(); ++i) {
        if (s[i - 1] < 0 && s[i] >= 0) {
            double at = double(i - 1) + double(-s[i - 1]) / double(s[i] - s[i - 1]);
            if (first < 0) first = at;
            last = at;
            ++crossings;
        }
    }
    if (crossings < 2) return 0;
    return (crossings - 1) * double(rate) / (last - first);
}

double correlation(const std::vector<int16_t>& a, size_t from, const std::vector<int16_t>& b, size_t at, size_t n) {
    if (from + n > a.size() || at + n > b.size()) return 0;
    double ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < n; ++i) {
        double x = a[from + i], y = b[at + i];
        ab += x * y;
        aa += x * x;
        bb += y * y;
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

size_t firstAbove(const std::vector<int16_t>& s, int threshold, size_t from) {
    for (size_t i = from; i < s.size(); ++i)
        if (std::abs(int(s[i])) > threshold) return i;
    return std::string::npos;
}

size_t endOfSound(const std::vector<int16_t>& s, int threshold) {
    for (size_t i = s.size(); i > 0; --i)
        if (std::abs(int(s[i - 1])) > threshold) return i;
    return 0;
}

AudioServices FakeGame::services() {
    AudioServices s;
    s.readResource = [this](const std::string& name, std::vector<uint8_t>& out) {
        auto it = resources.find(name);
        if (it == resources.end()) return false;
        out = it->second;
        return true;
    };
    s.readDiskFile = [this](const std::string& name, std::vector<uint8_t>& out) {
        auto it = disk.find(name);
        if (it == disk.end()) return false;
        out = it->second;
        return true;
    };
    s.messageBox = [this](const std::string& caption, const std::string& text) { boxes.emplace_back(caption, text); };
    s.isForeground = [this] { return foreground; };
    return s;
}

}  // namespace qf::test
