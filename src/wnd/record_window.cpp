#include "wnd/record_window.h"

#include <algorithm>
#include <cstdio>

#include "gfx/pictures.h"
#include "gfx/text_output.h"
#include "input/input.h"
#include "platform/sjis.h"
#include "res/file_io.h"
#include "script/text.h"
#include "script/variables.h"
#include "wnd/record_variables.h"
#include "wnd/save_record.h"
#include "wnd/window_services.h"
#include "wnd/window_table.h"

namespace qf {

namespace {

constexpr int kTitleWidth = 64, kTitlePadding = 4;
constexpr int kTargetOffset = 32;
constexpr int kBlinkPeriod = 60, kBlinkShown = 52;

const std::string& defaultEmptyText() { return sj("－－－－ -- 00:00:00"); }

void placeFrames(RecordWindow& w, const S_Frame& frame, int fontHeight) {
    w.target.x = frame.x + kTargetOffset;
    w.target.y = frame.y + kTargetOffset;
    w.target.w = frame.w;
    w.target.h = frame.h;
    const int titleHeight = fontHeight + 2 * kTitlePadding;
    w.title.x = frame.x;
    w.title.y = frame.y - titleHeight;
    w.title.w = kTitleWidth;
    w.title.h = titleHeight;
}

std::vector<std::string> slotColumns(const RecordWindow& w, const RecordFiles& io, int number) {
    if (std::optional<RecordContents> record = loadRecord(io, RecordFileName(number), w.name))
        return splitAny(record->displayText, " ");
    return splitAny(w.emptyText.empty() ? defaultEmptyText() : w.emptyText, " ");
}

void readPage(const RecordWindow& w, const RecordFiles& io, int page, int rows, std::vector<std::string> (&out)[RecordWindow::kPerPage]) {
    for (int r = 0; r < RecordWindow::kPerPage; ++r)
        out[r] = r < rows ? slotColumns(w, io, page * RecordWindow::kPerPage + r) : std::vector<std::string>();
}

int wrap(int v, int n) { return n > 0 ? (v % n + n) % n : 0; }

// Left/right turn the page, up/down move the cursor within it.
bool walk(RecordWindow& w, Input& in, int& page, int& cursor, int& rows, bool& pageTurned) {
    bool moved = false;
    pageTurned = false;
    const int pages = RecordPages(w);
    if (in.repeat(BTN_L) || in.repeat(BTN_R)) {
        page = wrap(page + (in.repeat(BTN_R) ? 1 : -1), pages);
        rows = RecordRowsOnPage(w, page);
        cursor = std::min(cursor, std::max(rows - 1, 0));
        moved = pageTurned = true;
    }
    if (in.repeat(BTN_U)) cursor = wrap(cursor - 1, rows), moved = true;
    if (in.repeat(BTN_D)) cursor = wrap(cursor + 1, rows), moved = true;
    return moved;
}

void close(RecordWindow& w, WindowServices& s, int answer) {
    s.vars.valSetInt("_stat", answer);
    w.open = 0;
    w.copying = 0;
    s.windows.Deactivate(WND_REC);
}

void choose(RecordWindow& w, WindowServices& s, const RecordFiles& io) {
    const int number = w.page * RecordWindow::kPerPage + w.cursor;
    const std::string file = RecordFileName(number);
    switch (w.mode) {
        case kRecSave:
            saveRecord(io, file, w.name, w.saveText, s.vars.m_flag, recordVariableText(s.vars));
            break;
        case kRecLoad:
            if (std::optional<RecordContents> record = loadRecord(io, file, w.name)) restoreRecord(s.vars, *record);
            else w.columns[w.cursor] = splitAny(sj("－－－－,--,00:00:00"), ",");
            break;
        case kRecCopy:
            w.copying = 1;
            w.targetPage = w.page;
            w.targetCursor = w.cursor;
            w.targetRows = w.rows;
            w.targetBlink = 0;
            readPage(w, io, w.targetPage, w.targetRows, w.targetColumns);
            return;
        case kRecDelete:
            fileDelete(io.root, io.host, file);
            break;
        default:
            break;
    }
    w.lastChosen = number;
    close(w, s, number);
}

void copyUpdate(RecordWindow& w, WindowServices& s, const RecordFiles& io) {
    Input& in = s.input;
    bool turned = false;
    if (walk(w, in, w.targetPage, w.targetCursor, w.targetRows, turned)) {
        PlayWindowSound(s.looks, s.audio, kSoundMove);
        if (turned) readPage(w, io, w.targetPage, w.targetRows, w.targetColumns);
        w.targetBlink = 0;
    }
    if (in.repeat(BTN_A)) {
        PlayWindowSound(s.looks, s.audio, kSoundEnter);
        const int from = w.page * RecordWindow::kPerPage + w.cursor;
        const int to = w.targetPage * RecordWindow::kPerPage + w.targetCursor;
        fileCopy(io.root, RecordFileName(to), RecordFileName(from), false);
        w.copying = 0;
        readPage(w, io, w.page, w.rows, w.columns);
    } else if (in.repeat(BTN_B)) {
        PlayWindowSound(s.looks, s.audio, kSoundCancel);
        w.copying = 0;
    }
}

void print(TextState& text, int x, int y, const std::string& sjis) {
    SetTextPos(text, x, y);
    PrintLine(text, sjis);
}

void drawRows(const RecordWindow& w, TextState& text, int page, int rows, const std::vector<std::string> (&columns)[RecordWindow::kPerPage],
              int y, int numberX, int columnX) {
    const int line = FontHeight(text) + text.lineSpacing;
    const int half = line / 2 - 1;
    for (int r = 0; r < rows && page * RecordWindow::kPerPage + r < w.maximum; ++r) {
        const int rowY = y + half + r * line;
        char number[16];
        std::snprintf(number, sizeof number, "%d.", page * RecordWindow::kPerPage + r);
        print(text, numberX, rowY, number);
        for (int c = 0; c < RecordWindow::kColumns && c < static_cast<int>(columns[r].size()); ++c)
            if (!columns[r][static_cast<size_t>(c)].empty())
                print(text, columnX + w.columnOffset[c], rowY, columns[r][static_cast<size_t>(c)]);
    }
}

// The record frame's looks at another rectangle.
void drawLike(const S_Frame& frame, const S_Frame& place, TextState& text, const FrameImages& images) {
    S_Frame copy = frame;
    copy.x = place.x;
    copy.y = place.y;
    copy.w = place.w;
    copy.h = place.h;
    copy.Draw(text, images);
}

}  // namespace

std::string RecordFileName(int number) {
    char name[32];
    std::snprintf(name, sizeof name, "%02d.sav", number);
    return name;
}

int RecordPages(const RecordWindow& w) {
    return std::max((w.maximum + RecordWindow::kPerPage - 1) / RecordWindow::kPerPage, 1);
}

int RecordRowsOnPage(const RecordWindow& w, int page) {
    return std::clamp(w.maximum - page * RecordWindow::kPerPage, 0, int(RecordWindow::kPerPage));
}

void InitRecordWindow(RecordWindow& w, S_Frame& frame, int fontHeight) {
    w.saveText = sj("きろく－ -- 00:00:00");
    frame.x = 24;
    frame.y = 24;
    frame.w = 160;
    frame.h = 24;
    placeFrames(w, frame, fontHeight);
}

void SetRecordWindow(RecordWindow& w, S_Frame& frame, int fontHeight, int x, int y, int width, int height,
                     int maximum, int titleMode, int column2, int column3) {
    frame.SetRect(x, y, width, height);
    if (maximum != kArgAbsent) w.maximum = std::clamp(maximum, 1, int(RecordWindow::kMaxRecords));
    if (titleMode != kArgAbsent) w.titleMode = titleMode;
    w.columnOffset[0] = 0;
    if (column2 != kArgAbsent) w.columnOffset[1] = column2;
    if (column3 != kArgAbsent) w.columnOffset[2] = column3;
    placeFrames(w, frame, fontHeight);
}

void OpenRecordWindow(RecordWindow& w, S_Frame& frame, WindowServices& s, const RecordFiles& io, int mode,
                      const std::string* name, const std::string* saveText, const std::string* emptyText) {
    s.windows.Activate(WND_REC);
    if (name) w.name = *name;
    if (emptyText) w.emptyText = *emptyText;
    if (saveText) w.saveText = *saveText;
    w.page = std::min(w.page, RecordPages(w) - 1);
    w.rows = RecordRowsOnPage(w, w.page);
    w.cursor = std::min(w.cursor, std::max(w.rows - 1, 0));
    const int fontHeight = FontHeight(s.text);
    frame.h = (fontHeight + s.text.lineSpacing) * std::min(int(RecordWindow::kPerPage), w.maximum) + 10;
    placeFrames(w, frame, fontHeight);
    if (mode != kArgAbsent) w.mode = mode;
    w.copying = 0;
    w.blink = 0;
    readPage(w, io, w.page, w.rows, w.columns);
    w.open = 1;
}

void RecordWindowUpdate(RecordWindow& w, WindowServices& s, const RecordFiles& io) {
    if (!w.open) return;
    Input& in = s.input;
    if (w.copying) {
        copyUpdate(w, s, io);
        padClearPulses(in.pad());
        return;
    }
    bool turned = false;
    if (walk(w, in, w.page, w.cursor, w.rows, turned)) {
        PlayWindowSound(s.looks, s.audio, kSoundMove);
        if (turned) readPage(w, io, w.page, w.rows, w.columns);
        w.blink = 0;
    }
    if (in.repeat(BTN_A)) {
        PlayWindowSound(s.looks, s.audio, kSoundEnter);
        choose(w, s, io);
    } else if (in.repeat(BTN_B)) {
        PlayWindowSound(s.looks, s.audio, kSoundCancel);
        close(w, s, -1);
    }
    padClearPulses(in.pad());
}

void RecordWindowDraw(RecordWindow& w, S_Frame& frame, WindowServices& s) {
    if (!w.open) return;
    TextState& text = s.text;
    text.pictures->SelectTarget(Pictures::kBackBufferSlot);
    const int fontHeight = FontHeight(text);
    const int line = fontHeight + text.lineSpacing;
    const int half = line / 2 - 1;
    if (w.titleMode == 1 || w.titleMode == 2) {
        static const char* const kEnglish[kRecModes] = {"select", "save", "load", "copy", "delete"};
        static const char* const kJapanese[kRecModes] = {"選択", "セーブ", "ロード", "コピー", "デリート"};
        drawLike(frame, w.title, text, s.looks.images);
        if (w.mode >= 0 && w.mode < kRecModes)
            print(text, frame.x + fontHeight, frame.y - fontHeight - kTitlePadding,
                  w.titleMode == 1 ? std::string(kEnglish[w.mode]) : sj(kJapanese[w.mode]));
    }
    frame.Draw(text, s.looks.images);
    drawRows(w, text, w.page, w.rows, w.columns, frame.y, frame.x + 20, frame.x + 35);

    w.blink = (w.blink + 1) % kBlinkPeriod;
    const bool steady = s.windows.OrderAt(0) != WND_REC || w.copying;
    if (steady || w.blink < kBlinkShown) print(text, frame.x - half + line, frame.y + half + w.cursor * line, sj("→"));

    if (w.copying) {
        drawLike(frame, w.target, text, s.looks.images);
        const int left = w.target.x + half + line;
        drawRows(w, text, w.targetPage, w.targetRows, w.targetColumns, w.target.y, left + 10, left + 20);
        w.targetBlink = (w.targetBlink + 1) % kBlinkPeriod;
        if (w.targetBlink < kBlinkShown)
            print(text, w.target.x - half + line, w.target.y + half + w.targetCursor * line, sj("→"));
    }
}

}  // namespace qf
