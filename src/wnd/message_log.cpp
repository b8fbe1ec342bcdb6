#include "wnd/message_log.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <utility>

#include "gfx/text_output.h"
#include "input/input.h"
#include "platform/sjis.h"
#include "wnd/frame.h"
#include "wnd/window_table.h"

namespace qf {

namespace {

constexpr int kMargin = 10;
constexpr int kHeaderPositionX = 150, kHeaderCountX = 190, kHeaderCapacityX = 220;

int lineCount(std::string_view text) { return 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

int clampInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

int newestPage(const MessageLog& log) { return std::max(log.count - MessageLog::kPageEntries, 0); }

}  // namespace

void MessageLogAdd(MessageLog& log, std::string_view text) {
    if (log.count >= MessageLog::kCapacity) {
        std::move(log.entries + 1, log.entries + MessageLog::kCapacity, log.entries);
        std::move(log.lineCounts + 1, log.lineCounts + MessageLog::kCapacity, log.lineCounts);
        log.entries[MessageLog::kCapacity - 1].clear();
        log.lineCounts[MessageLog::kCapacity - 1] = 0;
        log.count = MessageLog::kCapacity - 1;
    }
    log.entries[log.count].assign(text);
    log.lineCounts[log.count] = lineCount(text);
    ++log.count;
}

void MessageLogClear(MessageLog& log) {
    log.count = 0;
    log.position = 0;
}

void MessageLogOpen(MessageLog& log, WindowTable& windows) {
    log.position = newestPage(log);
    log.open = 1;
    windows.Activate(WND_LOG);
}

void MessageLogClose(MessageLog& log, WindowTable& windows) {
    log.open = 0;
    windows.Deactivate(WND_LOG);
}

void MessageLogUpdate(MessageLog& log, Input& in, WindowTable& windows) {
    if (!log.open) return;
    const int wheel = in.mouse.wheel;
    if (in.repeat(BTN_L)) log.position = 0;
    if (in.repeat(BTN_R)) log.position = newestPage(log);
    if (in.repeat(BTN_U) || wheel < 0) log.position = std::max(log.position - 1, 0);
    if (in.repeat(BTN_D) || wheel > 0) log.position = std::max(std::min(log.position + 1, log.count - 1), 0);
    // Both buttons are asked, so a click of either is taken in this frame.
    const bool leftClick = mouseClicked(in.mouse, in.host, 0) != 0;
    const bool rightClick = mouseClicked(in.mouse, in.host, 1) != 0;
    if (in.press(BTN_A) || in.press(BTN_B) || leftClick || rightClick) MessageLogClose(log, windows);
    padClearPulses(in.pad());
}

void MessageLogDraw(MessageLog& log, TextState& text, S_Frame& frame, const FrameImages& images) {
    if (!log.open) return;
    const int h = FontHeight(text);
    frame.Draw(text, images);
    const std::string& marker = sj("●");
    // Lines below the target are not visited: an entry may be long.
    PixelTarget target;
    const int bottom = TextTarget(text, target) ? target.height : 0;
    int64_t lines = 0;
    const int end = std::min({log.position + MessageLog::kPageEntries, log.count, MessageLog::kCapacity});
    for (int i = std::max(log.position, 0); i < end; ++i) {
        const std::string& entry = log.entries[i];
        if (entry.empty()) continue;
        const int y = clampInt(lines * h + kMargin);
        if (y >= bottom) break;
        SetTextPos(text, kMargin, y);
        PrintLine(text, marker);
        // One screen line per "\n"-separated part; a part wider than the
        // screen is cut off at its edge.
        SetTextPos(text, clampInt(int64_t(h) + kMargin), y);
        for (size_t start = 0;;) {
            const size_t stop = entry.find('\n', start);
            PrintLine(text, std::string_view(entry).substr(start, stop == std::string::npos ? std::string::npos : stop - start));
            if (stop == std::string::npos || text.cursorY >= bottom) break;
            start = stop + 1;
        }
        lines += int64_t(log.lineCounts[i]) + 1;
    }
    SetTextPos(text, kHeaderPositionX, 0);
    PrintNumber(text, log.position, 0);
    SetTextPos(text, kHeaderCountX, 0);
    PrintNumber(text, log.count, 0);
    SetTextPos(text, kHeaderCountX, 0);
    PrintLine(text, "/");
    SetTextPos(text, kHeaderCapacityX, 0);
    PrintNumber(text, MessageLog::kCapacity, 0);
}

}  // namespace qf
