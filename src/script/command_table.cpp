#include "script/command_table.h"

#include <cstring>
#include <string_view>
#include <unordered_map>

namespace qf {

const char* const kCommandNames[kCommandCount] = {
    "", "$", "*", "@", "#",
    "#debug", "#_test", "#dialog", "#_error", "#drivenMode", "#vsync", "#exec", "#execReturn", "#quit",
    "#infoInput", "#infoTag", "#title",
    "#screen",
    "#dllLoad", "#dllFunc",
    "#include",
    "#path",
    "#if", "#elseif", "#else", "#endif", "#}",
    "#switch", "#swend",
    "#for", "#next", "#repeat", "#loop", "#continue", "#break",
    "#goto", "#gosub", "#jump", "#return", "#returnSet",
    "#wait", "#waitf", "#timerSet", "#timerGet", "#rnd", "#rndRgn", "#srnd",
    "#keyInput", "#keyScan", "#keyGosub", "#keyGoto", "#keyGotoStop", "#keySel", "#keyConfig", "#keyConfigA",
    "#keyConfigB", "#mouseIcon",
    "#fontSet", "#fontColor", "#fontInst", "#pos", "#sel", "#unsel", "#cls", "#hide", "#view", "#printf", "#print",
    "#printClear", "#txt", "#txtDel", "#txtColor",
    "#plnWndSet", "#plnWndColor", "#plnWndView", "#plnWndHide", "#plnSprSet", "#plnSprPos", "#plnSprView",
    "#plnSprHide", "#gaugeSet", "#gaugeColor", "#gaugeView",
    "#bgColor",
    "#picLoad", "#picClear", "#picTransColor", "#picCopy", "#picFlip", "#picRegion", "#picFloodFill",
    "#susieLoad",
    "#sprBank", "#sprOrder", "#sprHit", "#sprColor", "#sprInfoGet", "#sprSet", "#sprDel", "#sprView", "#sprHide",
    "#sprViewGroup", "#sprMove", "#sprVec", "#sprCenter", "#sprBlink", "#sprFlash", "#sprAnime", "#sprAnimePause",
    "#sprTransit", "#sprFade", "#sprBlend", "#sprMosaic", "#sprGoal",
    "#efxFadeOut", "#efxFadeIn", "#efxWhiteOut", "#efxWhiteIn", "#efxClear", "#efxShake", "#efxFlash", "#efxTransit",
    "#clipLoad", "#clipPlay", "#clipPause", "#clipStop", "#clipDel",
    "#aviLoad", "#aviDraw", "#aviStop",
    "#midiLoad", "#midiPlay", "#midiStop", "#midiPause", "#mciLoad", "#mciPlay", "#mciStop", "#mciClose", "#mci",
    "#wavLoad", "#wavPlay", "#wavStop",
    "#kpiLoad", "#kpiPlay", "#kpiStop", "#kpiPause", "#kpiVol",
    "#oggLoad", "#oggPlay", "#oggStop", "#oggPause", "#oggVol",
    "#enum", "#dim", "#dimMap",
    "#strToken", "#numDiv", "#toAscii", "#toInt", "#toStr", "#toFloat", "#toDeg", "#toRad", "#sqrt", "#abs", "#sin",
    "#cos", "#atan2", "#sinR", "#cosR", "#atan2R",
    "#recSave", "#recLoad", "#recGetText",
    "#fileCopy", "#fileDel", "#fileGetTime", "#dirCreate",
    "#valClear", "#valLimit", "#valSort", "#valHook",
    "#tblLoad", "#tblGet", "#tblGetRow", "#tblGetCol", "#tblToVal", "#flag", "#flagSeq", "#binLoad", "#binSave",
    "#binPoke", "#binPeek", "#binGetStr", "#binSetStr", "#binResize",
    "#msg", "#msgSpd", "#msgTxtPos", "#msgNameWnd", "#msgIcon", "#msgIconPos", "#msgIconAnm", "#msgSound", "#msgInit",
    "#msgAnime", "#msgAnimeSel", "#msgAnimeDel", "#msgRubySize",
    "#mapSel", "#mapInit", "#mapLoad", "#mapView", "#mapPixel", "#mapScr", "#mapMove", "#mapPixelGet", "#mapReplace",
    "#mapRasterScr", "#mapRange", "#mapRangeSet", "#mapRangeWalk",
    "#evtLoad", "#evtScr", "#evtIsObj", "#evtIsConf", "#evtStop", "#evtRefresh", "#evtActAdd", "#evtMoveRun",
    "#evtView", "#evtSet", "#evtImgSet",
    "#mapLandLoad",
    "#wndSetSnd", "#wndSetLooks", "#wndSetImg", "#wndAct",
    "#wndSel", "#wndSelInit", "#wndNum", "#wndNumInit", "#wndName",
    "#wndRecInit", "#wndRec",
    "#wndFlag",
    "#msgLogAdd", "#msgLogClear", "#msgLogView", "#msgLogOpen",
    "#end",
};

int findCommand(std::string_view name) {
    // Name -> index of its first entry in the table.
    static const std::unordered_map<std::string_view, int> index = [] {
        std::unordered_map<std::string_view, int> m;
        for (int i = 0; i < kCommandCount; ++i) m.emplace(kCommandNames[i], i);
        return m;
    }();
    auto it = index.find(name);
    return it == index.end() ? -1 : it->second;
}

const char* commandName(int index) { return index >= 0 && index < kCommandCount ? kCommandNames[index] : ""; }

}  // namespace qf
