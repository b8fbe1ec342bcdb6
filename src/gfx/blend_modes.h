// Draw mode numbers of the picture draw (the script's _BLEND_* constants).
#pragma once

namespace qf {

enum BlendMode : int {
    kBlendNormal = 0,
    kBlendAdd = 1,
    kBlendSub = 2,
    kBlendMultiply = 3,
    kBlendScreen = 4,
    kBlendOverlay = 5,
    kBlendSoftLight = 6,
    kBlendHardLight = 7,
    kBlendDodge = 8,
    kBlendBurn = 9,
    kBlendHue = 10,
    kBlendSaturation = 11,
    kBlendRotNo = 20,  // also _BLEND_FLIP
    kBlendFlipH = 21,
    kBlendFlipV = 22,
    kBlendRot180 = 23,
    kBlendRot270 = 24,
    kBlendRot90 = 25,
    kBlendRfL = 26,
    kBlendRfR = 27,
    kBlendExpand = 30,
    kBlendFill = 31,
    kBlendLight = 32,
    kBlendFlash = 33,
    kBlendMosaic = 34,
};

}  // namespace qf
