// The picture slot table: 32 buffers for slots −8..23 (−8 the window, −7 the
// back buffer, −6 the work screen), the current drawing target, the
// background colour, the region of "#picFloodFill" and the drawing state that
// belongs to the picture draw (flash colour, mosaic counter, the last
// "#picCopy" alpha and mode, scratch rows).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/blend_scratch.h"
#include "gfx/dib.h"
#include "gfx/resource_reader.h"
#include "script/nil.h"

namespace qf {

class Host;

inline constexpr int kArgAbsent = kNil;

struct PictureRegion {
    int index = 0;  // table index (slot + 8)
    int x = 0, y = 0, w = 256, h = 224;
};

class Pictures {
public:
    static constexpr int kSlotCount = 32;
    static constexpr int kFirstSlot = -8;
    static constexpr int kWindowSlot = -8, kBackBufferSlot = -7, kWorkScreenSlot = -6;

    explicit Pictures(Host& host, ResourceReader reader = readResourceFromDisk);
    Pictures(const Pictures&) = delete;
    Pictures& operator=(const Pictures&) = delete;

    Host& host;
    ResourceReader reader;
    S_Dib m_dib[kSlotCount];
    int m_nCurBuf = 0;  // table index of the drawing target
    int m_nBgR = 0, m_nBgG = 0, m_nBgB = 0;
    PictureRegion m_region;
    int m_nFlashR = 255, m_nFlashG = 255, m_nFlashB = 255;
    int m_nMosaicCounter = 0;
    int m_nPicCopyAlpha = 0, m_nPicCopyMode = 0;
    BlendScratch scratch;
    std::vector<uint8_t> mosaicColours;

    // Buffer of a slot −8..23, or of a table index 0..31; null outside.
    S_Dib* Slot(int slot) { return Entry(slot - kFirstSlot); }
    S_Dib* Entry(int index) { return index >= 0 && index < kSlotCount ? &m_dib[index] : nullptr; }
    S_Dib* Target() { return Entry(m_nCurBuf); }

    void SelectTarget(int slot) { m_nCurBuf = int(int64_t(slot) - kFirstSlot); }
    // 0 without loading when the slot is outside −8..23, else 1.
    int LoadSlot(int slot, const std::string& name, int takeTrans);
    void FillTarget(int r, int g, int b);
    // Remakes the slot at w × h (not filled) unless it already has exactly that size.
    void MakeSlot(int slot, int w, int h);
    void SetBackgroundColor(int r, int g, int b);
    void ClearBackBuffer();
    // The screen (re)made: −7 wraps the back buffer's pixels, −6 becomes a black picture.
    void CreateScreen(uint8_t* backBuffer, int width, int height);
    // Tint of the target with the clamped keep; a negative channel takes the
    // window colour's (R | G << 8 | B << 16).
    void TintTarget(int x, int y, int w, int h, int r, int g, int b, int keep, uint32_t windowColour);
};

}  // namespace qf
