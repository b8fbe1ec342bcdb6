// The one place that gathers the handlers of every family, and the lists of
// commands that do nothing.
#include "commands/registry.h"

#include "script/interpreter.h"

namespace qf {

void cmdNothing(Engine&) {}

std::vector<CommandBinding> commandBindings() {
    std::vector<CommandBinding> out;
    for (const CommandFamily* family :
         {&kControlCommands, &kEngineCommands, &kDisplayCommands, &kVariableCommands, &kNumberCommands, &kFileCommands,
          &kTableCommands, &kPictureCommands, &kFontCommands, &kPlaneCommands, &kSpriteCommands, &kGaugeCommands,
          &kInputCommands, &kWindowCommands})
        out.insert(out.end(), family->begin(), family->end());
    return out;
}

void installCommands(Interpreter& interpreter) {
    interpreter.handlers.fill(&cmdNothing);
    for (const CommandBinding& b : commandBindings()) {
        int index = findCommand(b.name);
        if (index >= 0) interpreter.handlers[static_cast<size_t>(index)] = b.handler;
    }
}

const std::vector<const char*>& inertCommandNames() {
    static const std::vector<const char*> names = {
        "", "$", "*", "#", "#_error", "#infoInput", "#infoTag", "#dllFunc", "#include", "#endif", "#}", "#swend",
        "#picClear", "#msgIconAnm", "#mapRangeSet",
    };
    return names;
}

const std::vector<const char*>& pendingCommandNames() {
    static const std::vector<const char*> names = {
        // maps (needs the "lmu" reader)
        "#_test",
        // plug-ins
        "#dllLoad",
        // search path
        "#path",
        // pictures
        "#susieLoad",
        // effects, clips, movies
        "#efxFadeOut", "#efxFadeIn", "#efxWhiteOut", "#efxWhiteIn", "#efxClear", "#efxShake", "#efxFlash", "#efxTransit",
        "#clipLoad", "#clipPlay", "#clipPause", "#clipStop", "#clipDel",
        "#aviLoad", "#aviDraw", "#aviStop",
        // sound
        "#midiLoad", "#midiPlay", "#midiStop", "#midiPause", "#mciLoad", "#mciPlay", "#mciStop", "#mciClose", "#mci",
        "#wavLoad", "#wavPlay", "#wavStop",
        "#kpiLoad", "#kpiPlay", "#kpiStop", "#kpiPause", "#kpiVol",
        "#oggLoad", "#oggPlay", "#oggStop", "#oggPause", "#oggVol",
        // save records
        "#recSave", "#recLoad", "#recGetText",
        // message window, message log
        "#msg", "#msgSpd", "#msgTxtPos", "#msgNameWnd", "#msgIcon", "#msgIconPos", "#msgSound", "#msgInit",
        "#msgAnime", "#msgAnimeSel", "#msgAnimeDel", "#msgRubySize",
        "#msgLogAdd", "#msgLogClear", "#msgLogView", "#msgLogOpen",
        // maps, ranges, events
        "#mapSel", "#mapInit", "#mapLoad", "#mapView", "#mapPixel", "#mapScr", "#mapMove", "#mapPixelGet", "#mapReplace",
        "#mapRasterScr", "#mapRange", "#mapRangeWalk",
        "#evtLoad", "#evtScr", "#evtIsObj", "#evtIsConf", "#evtStop", "#evtRefresh", "#evtActAdd", "#evtMoveRun",
        "#evtView", "#evtSet", "#evtImgSet",
        "#mapLandLoad",
        // system windows
        "#wndSel", "#wndSelInit", "#wndNum", "#wndNumInit", "#wndName",
        "#wndRecInit", "#wndRec",
    };
    return names;
}

}  // namespace qf
