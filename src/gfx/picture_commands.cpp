#include "gfx/picture_commands.h"

#include "gfx/blend_modes.h"
#include "gfx/draw.h"
#include "gfx/pictures.h"

namespace qf {

void picBgColor(Pictures& pics, const std::array<int, 3>& args) {
    pics.SetBackgroundColor(args[0], args[1], args[2]);
}

int picLoad(Pictures& pics, int slot, const std::string& file, int flag) {
    return pics.LoadSlot(slot, file, flag == kArgAbsent ? 0 : flag);
}

void picClear(Pictures&) {}

void picTransColor(Pictures& pics, const std::array<int, 4>& args) {
    if (S_Dib* dib = pics.Entry(args[0])) dib->SetTransColor(args[1], args[2], args[3]);
}

void picCopy(Pictures& pics, const std::array<int, 10>& args) {
    const int alpha = args[8], mode = args[9];
    if (alpha != kArgAbsent) pics.m_nPicCopyAlpha = alpha;
    if (mode != kArgAbsent) pics.m_nPicCopyMode = mode;
    pics.SelectTarget(args[0]);
    // The stored mode is kept for later use; the copy itself is always the normal blend.
    DrawPicture(pics, args[1], args[2], args[3], args[4], args[5], args[6], args[7], alpha, kBlendNormal);
}

void picFlip(Pictures& pics, const std::array<int, 2>& args) {
    if (S_Dib* dib = pics.Slot(args[0])) dib->Turn(args[1]);
}

void picRegion(Pictures& pics, const std::array<int, 5>& args) {
    PictureRegion& r = pics.m_region;
    if (args[0] != kArgAbsent) r.index = args[0] + 8;
    if (args[1] != kArgAbsent) r.x = args[1];
    if (args[2] != kArgAbsent) r.y = args[2];
    if (args[3] != kArgAbsent) r.w = args[3];
    if (args[4] != kArgAbsent) r.h = args[4];
}

void picFloodFill(Pictures& pics, const std::array<int, 6>& args) {
    S_Dib* dib = pics.Entry(pics.m_region.index);
    if (!dib) return;
    if (args[3] != kArgAbsent && args[4] != kArgAbsent && args[5] != kArgAbsent) {
        dib->m_nReplR = args[3];
        dib->m_nReplG = args[4];
        dib->m_nReplB = args[5];
    }
    const PictureRegion& r = pics.m_region;
    dib->ReplaceColor(r.x, r.y, r.w, r.h, args[0], args[1], args[2]);
}

}  // namespace qf
