// The record window ("WND_REC"): the numbered records "00.sav" … "99.sav",
// ten to a page, in one of five modes: select, save, load, copy (a second
// list chooses the target) and delete. Closing writes the record number, or
// −1 for B, into `_stat`.
#pragma once

#include <string>
#include <vector>

#include "wnd/frame.h"

namespace qf {

struct RecordFiles;
struct WindowServices;

enum RecordMode { kRecSelect = 0, kRecSave = 1, kRecLoad = 2, kRecCopy = 3, kRecDelete = 4, kRecModes = 5 };

struct RecordWindow {
    static constexpr int kPerPage = 10;
    static constexpr int kMaxRecords = 100;
    static constexpr int kColumns = 3;

    // The window's own frame is the record frame of the window looks; the
    // copy target sits at +32, +32 of it and the title plate on its top-left.
    S_Frame target;
    S_Frame title;

    int maximum = kMaxRecords;
    int page = 0, cursor = 0, rows = kPerPage;
    int mode = kRecSelect;
    int titleMode = 0;  // 0 none, 1 English, 2 Japanese
    int columnOffset[kColumns] = {0, 60, 80};
    std::string name;
    std::string saveText;   // Shift-JIS; set up by InitRecordWindow
    std::string emptyText;  // empty: the default empty-slot text
    std::vector<std::string> columns[kPerPage];

    int copying = 0;
    int targetPage = 0, targetCursor = 0, targetRows = kPerPage;
    std::vector<std::string> targetColumns[kPerPage];

    int blink = 0, targetBlink = 0;
    int lastChosen = -1;
    int open = 0;
};

// The default texts and the frames' places for a record frame at its default rectangle.
void InitRecordWindow(RecordWindow& w, S_Frame& frame, int fontHeight);

int RecordPages(const RecordWindow& w);
// Every page but the last holds ten records; the last the rest.
int RecordRowsOnPage(const RecordWindow& w, int page);
// "%02d.sav".
std::string RecordFileName(int number);

// "#wndRecInit": each argument applies when it is not _NIL.
void SetRecordWindow(RecordWindow& w, S_Frame& frame, int fontHeight, int x, int y, int width, int height,
                     int maximum, int titleMode, int column2, int column3);
// "#wndRec": texts are applied when given (null when left out).
void OpenRecordWindow(RecordWindow& w, S_Frame& frame, WindowServices& s, const RecordFiles& io, int mode,
                      const std::string* name, const std::string* saveText, const std::string* emptyText);
void RecordWindowUpdate(RecordWindow& w, WindowServices& s, const RecordFiles& io);
// Into the back buffer, when open.
void RecordWindowDraw(RecordWindow& w, S_Frame& frame, WindowServices& s);

}  // namespace qf
