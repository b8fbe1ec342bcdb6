// The message window and message log commands.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "commands/args.h"
#include "commands/registry.h"
#include "script/command_table.h"
#include "wnd/message_log.h"
#include "wnd/message_window.h"

namespace qf {

namespace {

// Lines with a command index up to this are the plain text lines of a message.
constexpr int kTextLineCommand = 1;

int clampInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT_MIN, INT_MAX)); }

// "#msg" name, voice, —, firstSprite, spriteCount, then the text lines.
void cmdMsg(Engine& e) {
    if (!e.run.messageDisplay) return;
    static const int msgCommand = findCommand("#msg");
    const std::vector<ProgramLine>& lines = e.program.lines;
    const int count = e.program.lineCount();
    int last = e.interp.s.currentLine;
    std::string text;
    for (int i = last + 1; i < count && lines[static_cast<size_t>(i)].command <= kTextLineCommand; ++i) {
        if (i > e.interp.s.currentLine + 1) text += '\n';
        text += lines[static_cast<size_t>(i)].args;
        last = i;
    }
    e.interp.s.currentLine = last;
    e.interp.yield = 1;
    MessageWindow& w = e.messages;
    w.Begin(text, argGiven(e, 0) ? argText(e, 0) : std::string());
    // A "#msg" right after the text continues this message in the same window.
    if (last + 1 < count && lines[static_cast<size_t>(last + 1)].command == msgCommand) {
        w.continueFlag = 1;
        w.keepWindow = 1;
    }
    if (argGiven(e, 1)) {
        if (e.interp.args[1].isNumber()) w.messageSound = argInt(e, 1);
        else w.PlayVoice(argText(e, 1));
    }
    if (argGiven(e, 3)) w.ShowSprites(argInt(e, 3), argInt(e, 4), argGiven(e, 4));
}

void cmdMsgSpd(Engine& e) { e.messages.speed = argInt(e, 0); }

void cmdMsgTxtPos(Engine& e) {
    keepArg(e, 0, e.messages.textX);
    keepArg(e, 1, e.messages.textY);
}

void cmdMsgNameWnd(Engine& e) {
    const S_Frame& frame = e.looks.frames[kFrameMessage];
    S_Frame& plate = e.looks.frames[kFrameNamePlate];
    if (argGiven(e, 0)) plate.x = clampInt(int64_t(frame.x) + argInt(e, 0));
    if (argGiven(e, 1)) plate.y = clampInt(int64_t(frame.y) + argInt(e, 1));
    keepArg(e, 2, plate.w);
    keepArg(e, 3, plate.h);
    keepArg(e, 4, e.messages.nameX);
    keepArg(e, 5, e.messages.nameY);
}

// The position is taken as it comes: a left-out coordinate is negative, so
// the cursor follows the text in that direction.
void cmdMsgIcon(Engine& e) {
    keepArg(e, 0, e.messages.iconSprite);
    e.messages.iconX = argInt(e, 1);
    e.messages.iconY = argInt(e, 2);
}

void cmdMsgIconPos(Engine& e) {
    e.messages.iconX = argInt(e, 0);
    e.messages.iconY = argInt(e, 1);
}

void cmdMsgSound(Engine& e) { e.messages.typingSound = argInt(e, 0); }

// lines, columns, x, y, w, h, frame, speed
void cmdMsgInit(Engine& e) {
    MessageWindow& w = e.messages;
    S_Frame& frame = e.looks.frames[kFrameMessage];
    keepArg(e, 0, w.maxLines);
    keepArg(e, 1, w.columns);
    if (argGiven(e, 2) || argGiven(e, 3)) {
        keepArg(e, 2, frame.x);
        keepArg(e, 3, frame.y);
        e.looks.frames[kFrameNamePlate].SetRect(frame.x, clampInt(int64_t(frame.y) - 16), 64, 16);
    }
    keepArg(e, 4, frame.w);
    keepArg(e, 5, frame.h);
    if (argGiven(e, 6)) w.frameOn = argInt(e, 6) > 0 ? 1 : 0;
    keepArg(e, 7, w.speed);
}

void cmdMsgAnime(Engine& e) { e.messages.SetAnime(argInt(e, 0), argInt(e, 1)); }

void cmdMsgAnimeSel(Engine& e) {
    const int slot = argInt(e, 0);
    if (slot >= 0 && slot < MessageWindow::kAnimeSlots) e.messages.animeSlot = slot;
}

void cmdMsgAnimeDel(Engine& e) { e.messages.ClearAnime(argInt(e, 0)); }

void cmdMsgRubySize(Engine& e) {
    if (argGiven(e, 0) && argInt(e, 0) > 0) e.messages.rubyHeight = argInt(e, 0);
}

void cmdMsgLogAdd(Engine& e) { MessageLogAdd(e.messageLog, argGiven(e, 0) ? argText(e, 0) : std::string()); }
void cmdMsgLogClear(Engine& e) { MessageLogClear(e.messageLog); }
void cmdMsgLogView(Engine& e) { MessageLogOpen(e.messageLog, e.windows); }

void cmdMsgLogOpen(Engine& e) {
    MessageLogOpen(e.messageLog, e.windows);
    e.interp.yield = 1;
}

}  // namespace

const CommandFamily kMessageCommands = [] {
    static constexpr CommandBinding bindings[] = {
        {"#msg", cmdMsg},
        {"#msgSpd", cmdMsgSpd},
        {"#msgTxtPos", cmdMsgTxtPos},
        {"#msgNameWnd", cmdMsgNameWnd},
        {"#msgIcon", cmdMsgIcon},
        {"#msgIconPos", cmdMsgIconPos},
        {"#msgSound", cmdMsgSound},
        {"#msgInit", cmdMsgInit},
        {"#msgAnime", cmdMsgAnime},
        {"#msgAnimeSel", cmdMsgAnimeSel},
        {"#msgAnimeDel", cmdMsgAnimeDel},
        {"#msgRubySize", cmdMsgRubySize},
        {"#msgLogAdd", cmdMsgLogAdd},
        {"#msgLogClear", cmdMsgLogClear},
        {"#msgLogView", cmdMsgLogView},
        {"#msgLogOpen", cmdMsgLogOpen},
    };
    return CommandFamily(bindings);
}();

}  // namespace qf
