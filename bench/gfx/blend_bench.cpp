// Picture draws on the 256 × 224 screen, in pixels per second, beside a
// memcpy of the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "gfx/blend_modes.h"
#include "gfx/draw.h"
#include "gfx/pictures.h"
#include "platform/headless/headless_host.h"

namespace {

constexpr int kW = 256, kH = 224;

struct Scene {
    qf::HeadlessHost host;
    qf::Pictures pics{host};
    std::vector<uint8_t> screen = std::vector<uint8_t>(size_t(kW) * kH * 3, 0);

    Scene() {
        pics.CreateScreen(screen.data(), kW, kH);
        std::mt19937 random(3);
        qf::S_Dib& picture = *pics.Slot(0);
        picture.CreateBlank(kW, kH, false);
        for (size_t i = 0; i < picture.PixelCount(); ++i) {
            uint8_t* p = picture.m_pBits + i * 3;
            // About one pixel in ten is the transparent pure green.
            if (random() % 10 == 0) {
                p[0] = 0, p[1] = 255, p[2] = 0;
            } else {
                p[0] = uint8_t(random()), p[1] = uint8_t(random()), p[2] = uint8_t(random());
            }
        }
        qf::S_Dib& chip = *pics.Slot(1);
        chip.CreateBlank(16, 16, false);
        std::memcpy(chip.m_pBits, picture.m_pBits, 16 * 16 * 3);
        qf::S_Dib& sprite = *pics.Slot(2);
        sprite.CreateBlank(37, 29, false);
        std::memcpy(sprite.m_pBits, picture.m_pBits, 37 * 29 * 3);
        pics.SelectTarget(qf::Pictures::kBackBufferSlot);
    }
};

void fullScreen(benchmark::State& state, int mode, int alpha, bool vector = true) {
    Scene scene;
    scene.pics.scratch.useAvx2 = scene.pics.scratch.useAvx2 && vector;
    for (auto _ : state) {
        qf::DrawPicture(scene.pics, 0, 0, 0, -1, -1, 0, 0, alpha, mode);
        benchmark::DoNotOptimize(scene.screen.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kW * kH);
    state.SetBytesProcessed(state.iterations() * kW * kH * 3);
}

void BM_Memcpy(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        std::memcpy(scene.screen.data(), scene.pics.Slot(0)->m_pBits, scene.screen.size());
        benchmark::DoNotOptimize(scene.screen.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kW * kH);
    state.SetBytesProcessed(state.iterations() * kW * kH * 3);
}
BENCHMARK(BM_Memcpy);

void BM_NormalOpaque(benchmark::State& state) { fullScreen(state, qf::kBlendNormal, 0); }
void BM_NormalAlpha128(benchmark::State& state) { fullScreen(state, qf::kBlendNormal, 128); }
void BM_Add(benchmark::State& state) { fullScreen(state, qf::kBlendAdd, 0); }
void BM_Multiply(benchmark::State& state) { fullScreen(state, qf::kBlendMultiply, 64); }
void BM_Hue(benchmark::State& state) { fullScreen(state, qf::kBlendHue, 0); }
void BM_Saturation(benchmark::State& state) { fullScreen(state, qf::kBlendSaturation, 0); }
void BM_Rotate180(benchmark::State& state) { fullScreen(state, qf::kBlendRot180, 0); }
BENCHMARK(BM_NormalOpaque);
// The loops that run where the processor has no AVX2.
void BM_NormalOpaquePortable(benchmark::State& state) { fullScreen(state, qf::kBlendNormal, 0, false); }
void BM_AddPortable(benchmark::State& state) { fullScreen(state, qf::kBlendAdd, 0, false); }
BENCHMARK(BM_NormalOpaquePortable);
BENCHMARK(BM_AddPortable);
BENCHMARK(BM_NormalAlpha128);
BENCHMARK(BM_Add);
BENCHMARK(BM_Multiply);
BENCHMARK(BM_Hue);
BENCHMARK(BM_Saturation);
BENCHMARK(BM_Rotate180);

void BM_Rotate90Sprite64(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        qf::DrawPicture(scene.pics, 0, 100, 80, 64, 64, 0, 0, 0, qf::kBlendRot90);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 64 * 64);
}
BENCHMARK(BM_Rotate90Sprite64);

void BM_Chip16x300(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        for (int i = 0; i < 300; ++i)
            qf::DrawPicture(scene.pics, 1, (i % 16) * 16, (i / 16) * 16 - 8, 16, 16, 0, 0, 0, qf::kBlendNormal);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 300 * 16 * 16);
}
BENCHMARK(BM_Chip16x300);

// Rows of 37 pixels (a block of 32 and a short rest), a fifth of them cut
// by an edge of the screen.
void BM_Sprite37x29x100(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        for (int i = 0; i < 100; ++i)
            qf::DrawPicture(scene.pics, 2, (i * 53) % 290 - 17, (i * 31) % 250 - 13, -1, -1, 0, 0, 0, qf::kBlendNormal);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 100 * 37 * 29);
}
BENCHMARK(BM_Sprite37x29x100);

}  // namespace
