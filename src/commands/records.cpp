// Save records and the record window.
#include "commands/args.h"
#include "commands/registry.h"
#include "commands/system_windows.h"
#include "wnd/record_variables.h"
#include "wnd/record_window.h"
#include "wnd/save_record.h"

namespace qf {

namespace {

void cmdRecSave(Engine& e) {
    saveRecord(recordFiles(e), argText(e, 0), argText(e, 1), argText(e, 2), e.vars.m_flag, recordVariableText(e.vars));
}

void cmdRecLoad(Engine& e) {
    if (std::optional<RecordContents> record = loadRecord(recordFiles(e), argText(e, 0), argText(e, 1)))
        restoreRecord(e.vars, *record);
}

void cmdRecGetText(Engine& e) {
    const std::string name = argName(e, 0);
    std::optional<RecordContents> record = loadRecord(recordFiles(e), argText(e, 1), argText(e, 2));
    setVariableText(e, name, record ? record->displayText : std::string());
}

void cmdWndRecInit(Engine& e) {
    const auto a = argInts<8>(e);
    SetRecordWindow(e.recordWindow, e.looks.frames[kFrameRecord], FontHeight(e.text), a[0], a[1], a[2], a[3], a[4], a[5],
                    a[6], a[7]);
}

void cmdWndRec(Engine& e) {
    std::string texts[3];
    const std::string* given[3] = {};
    for (int i = 0; i < 3; ++i)
        if (!argRaw(e, i + 1).empty() && argGiven(e, i + 1)) {
            texts[i] = argText(e, i + 1);
            given[i] = &texts[i];
        }
    WindowServices s = windowServices(e);
    OpenRecordWindow(e.recordWindow, e.looks.frames[kFrameRecord], s, recordFiles(e), argInt(e, 0), given[0], given[1],
                     given[2]);
    e.interp.yield = 1;
}

}  // namespace

const CommandFamily kRecordCommands = [] {
    static constexpr CommandBinding bindings[] = {
        {"#recSave", cmdRecSave},       {"#recLoad", cmdRecLoad}, {"#recGetText", cmdRecGetText},
        {"#wndRecInit", cmdWndRecInit}, {"#wndRec", cmdWndRec},
    };
    return CommandFamily(bindings);
}();

}  // namespace qf
