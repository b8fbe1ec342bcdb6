// The message log: the texts of the last 128 finished messages, oldest
// first, and the full-screen window that shows seven of them at a time.
#pragma once

#include <string>
#include <string_view>

namespace qf {

struct FrameImages;
struct Input;
struct S_Frame;
struct TextState;
struct WindowTable;

struct MessageLog {
    static constexpr int kCapacity = 128;
    static constexpr int kPageEntries = 7;

    std::string entries[kCapacity];  // Shift-JIS, lines separated by "\n"
    int lineCounts[kCapacity] = {};
    int count = 0;
    int position = 0;  // the first entry shown
    int open = 0;
};

// A full log drops its oldest entry first. The line count is the number of
// "\n"-separated parts of the text.
void MessageLogAdd(MessageLog& log, std::string_view text);
// Entries keep their storage; only the count and the position go back to 0.
void MessageLogClear(MessageLog& log);
// Shows the newest page and brings the window to the front.
void MessageLogOpen(MessageLog& log, WindowTable& windows);
void MessageLogClose(MessageLog& log, WindowTable& windows);
// Left/right: oldest/newest page; up/down and the wheel: one entry; A or B,
// or a click of either mouse button: close. The pad's pulses are consumed.
void MessageLogUpdate(MessageLog& log, Input& in, WindowTable& windows);
// Into the current drawing target, when open: the frame, the entries from the
// position on, each under a "●" with an empty line after it, and the header
// (position, count "/" capacity) along the top.
void MessageLogDraw(MessageLog& log, TextState& text, S_Frame& frame, const FrameImages& images);

}  // namespace qf
