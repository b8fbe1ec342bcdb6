#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/engine.h"
#include "gfx/susie_load.h"
#include "platform/headless/headless_host.h"
#include "platform/media/movie_reader.h"
#include "platform/png_io.h"

namespace qf {
namespace {

std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// One 256 × 224 MJPEG frame after the other into a picture-sized buffer.
void BM_MovieFrameSequential(benchmark::State& state) {
    const std::vector<uint8_t> file = readBytes(std::string(QF_SOURCE_DIR) + "/bench/media/frames-256x224.avi");
    MovieReader reader;
    if (reader.open(file) != MovieOpenError::None) {
        state.SkipWithError("movie missing");
        return;
    }
    std::vector<uint8_t> frame(size_t(reader.width()) * size_t(reader.height()) * 3);
    int64_t n = 0;
    for (auto _ : state) {
        if (n == reader.frameCount()) {
            state.PauseTiming();
            reader.open(file);  // start again without counting a seek
            n = 0;
            state.ResumeTiming();
        }
        if (!reader.readFrame(n++, frame.data())) state.SkipWithError("frame not decoded");
        benchmark::DoNotOptimize(frame.data());
    }
}
BENCHMARK(BM_MovieFrameSequential)->Unit(benchmark::kMillisecond);

// A 640 × 480 PNG through "#susieLoad" with a Windows plug-in name, into a slot.
void BM_SusieLoadPng(benchmark::State& state) {
    std::vector<uint8_t> bgr(640 * 480 * 3);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) {
            uint8_t* p = &bgr[size_t(y * 640 + x) * 3];
            p[0] = uint8_t(x ^ y);
            p[1] = uint8_t((x * 3 + y) / 4);
            p[2] = uint8_t(((x / 16 + y / 16) % 2) * 200);
        }
    const std::string path = "/tmp/quillfen-bench-640x480.png";
    writePngBgr(path, bgr.data(), 640, 480);
    HeadlessHost host;
    Engine e(host);
    e.pictures.reader = [](const std::string& name, std::vector<uint8_t>& out) {
        out = readBytes(name);
        return !out.empty();
    };
    for (auto _ : state) {
        SusieLoadResult r = susieLoad(e.pictures, e.plugins.places, "ifpng.spi", path, 0, 0);
        if (!r.decoded) state.SkipWithError("picture not decoded");
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_SusieLoadPng)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qf
