// The window frame drawn behind every system window: a tinted box with a
// rounded outline that can open and close with an animation, or a picture
// tiled from a 3×3 sheet; the frame looks shared by all system windows; and
// the window sounds.
#pragma once

namespace qf {

class Audio;
struct FrameImages;
struct TextState;

enum FrameAnimation {
    kFrameStatic = 0,
    kFrameOpenDown = 1,
    kFrameOpenFromCentre = 2,
    kFrameOpenVertically = 3,
    kFrameFadeIn = 4,
    kFrameCloseUp = 7,
    kFrameCloseToCentre = 8,
    kFrameCloseVertically = 9,
    kFrameFadeOut = 10,
};

struct S_Frame {
    int x = 0, y = 0, w = 160, h = 128;
    int r = 0, g = 0, b = 0;
    int keep = 0;         // 0 solid fill .. 255 the background unchanged
    int shown = 1;
    int outline = 1;      // outline width of the static draw; 0 none
    int animMode = kFrameStatic;
    int animSpeed = 0;    // added to the progress every drawn frame
    int animProgress = 0;

    // Each value applies only when it is not _NIL.
    void SetRect(int x, int y, int w, int h);
    void SetColour(int r, int g, int b, int keep);
    void Show();
    void Hide() { shown = 0; }
    void Open(int mode, int speed);
    // Mode 0 hides at once; the others run closing animation mode + 6.
    void Close(int mode, int speed);
    // Into the current drawing target; one animation step a call.
    void Draw(TextState& text, const FrameImages& images);
};

// Picture frames, shared by every frame: slot 0 switches them off.
struct FrameImages {
    int slot = 0;
    int tile = 8;
    int srcX = 0, srcY = 0;  // top-left of the 3×3 tile sheet
    int transparency = 0;    // of the normal draw, 0 opaque
    int maskSlot = -1;       // ≥ 0: drawn through this mask picture
};

enum WindowSoundKind { kSoundEnter = 0, kSoundCancel = 1, kSoundMove = 2, kWindowSoundKinds = 4 };
enum WindowSoundDevice { kSoundNone = 0, kSoundEffectSlot = 1, kSoundMciDevice = 2 };

struct WindowSound {
    int device = kSoundNone;
    int id = 0;
};

// The frames of the system windows that "#wndSetLooks" restyles together.
enum SystemFrame {
    kFrameLog, kFrameMessage, kFrameNamePlate, kFrameSelection, kFrameNameEntry, kFrameNameEntry2, kFrameRecord,
    kFrameNumber, kSystemFrameCount
};

struct WindowLooks {
    S_Frame frames[kSystemFrameCount];
    FrameImages images;
    WindowSound sounds[kWindowSoundKinds];
};

void SetWindowSound(WindowLooks& looks, int kind, int device, int id);
void PlayWindowSound(const WindowLooks& looks, Audio& audio, int kind);

}  // namespace qf
