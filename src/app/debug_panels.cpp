// The listing panels of the debug overlay: commands, the interpreter and its
// source, the label/if/switch tables, the variables, the data tables and the
// picture page viewer.
#include <algorithm>
#include <string>

#include "app/debug_overlay.h"
#include "app/engine.h"
#include "app/overlay_canvas.h"
#include "gfx/text_output.h"
#include "platform/sjis.h"
#include "script/command_table.h"
#include "commands/args.h"

namespace qf {

namespace {

constexpr int kPageWait = 8;

std::string Label(const std::string& label, long long n) { return label + ":" + std::to_string(n); }

// Pages turn with the left and right repeat triggers while button 1 is held,
// at most once every kPageWait frames; the page wraps within `pages`.
void TurnPage(const Pad& pad, bool needButton1, int& page, int& wait, int pages) {
    if (wait > 0) --wait;
    if (pages < 1) pages = 1;
    if (needButton1 && !pad.held[1]) return;
    if (wait > 0) return;
    int step = (pad.repeat[BTN_R] ? 1 : 0) - (pad.repeat[BTN_L] ? 1 : 0);
    if (step == 0) return;
    page = ((page + step) % pages + pages) % pages;
    wait = kPageWait;
}

int PagesOf(int items, int perPage) { return std::max(1, (items + perPage - 1) / perPage); }

}  // namespace

void DrawCommandList(Engine& e, OverlayCanvas& canvas) {
    OverlayPages& p = e.game.overlayPages;
    const Program& prog = e.program;
    TurnPage(e.input.pad(), true, p.commands, p.listingWait, PagesOf(prog.lineCount(), 20));
    const int h = canvas.lineHeight();
    canvas.text(5, 5, sj("命令リスト"));
    for (int row = 0; row < 20; ++row) {
        const int index = p.commands * 20 + row;
        if (index >= prog.lineCount()) break;
        const ProgramLine& line = prog.lines[static_cast<size_t>(index)];
        const int y = 15 + row * h;
        canvas.text(5, y, std::to_string(line.command));
        canvas.text(45, y, line.command < kCommandCount ? commandName(line.command) : "");
        canvas.text(105, y, line.args);
    }
}

void DrawInterpreterPanel(Engine& e, OverlayCanvas& canvas) {
    OverlayPages& p = e.game.overlayPages;
    const Program& prog = e.program;
    const InterpreterState& s = e.interp.s;
    TurnPage(e.input.pad(), true, p.source, p.listingWait, PagesOf(prog.lineCount(), 19));
    const int h = canvas.lineHeight();
    canvas.box(0, 0, 256, 224, kPanelBoxKeep, 1);
    canvas.text(5, 5, "Qlfmod");
    canvas.text(125, 5, Label("nPage", p.source));
    for (int row = 0; row < 19; ++row) {
        const int index = p.source * 19 + row;
        if (index >= prog.lineCount()) break;
        const ProgramLine& line = prog.lines[static_cast<size_t>(index)];
        const int y = 25 + row * 10;
        canvas.text(5, y, std::to_string(index));
        canvas.text(35, y, std::to_string(line.sourceLine));
        for (int slot = 0; slot < kPieceCount; ++slot)
            if (line.pieces[static_cast<size_t>(slot)].present)
                canvas.text(105 + 50 * slot, y, line.pieces[static_cast<size_t>(slot)].postfix());
    }
    const int current = s.currentLine;
    const int currentSource =
        current >= 0 && current < prog.lineCount() ? prog.lines[static_cast<size_t>(current)].sourceLine : -1;
    const int lastSource = prog.lineCount() > 0 ? prog.lines.back().sourceLine : -1;
    canvas.text(65, 5, std::to_string(current) + " / " + std::to_string(prog.lineCount()));
    canvas.text(65, 5 + h, std::to_string(currentSource + 1) + " / " + std::to_string(lastSource + 1));
    canvas.text(185, 5, Label("g_nNestLv", s.callDepth));
    for (int level = 0; level < std::min(s.callDepth, kCallDepth); ++level)
        canvas.text(185, 5 + h * (level + 1), std::to_string(s.callStack[static_cast<size_t>(level)]));
    canvas.text(185, 105, Label("g_nRptLv", s.loopDepth));
    for (int level = 0; level <= std::min(s.loopDepth, kLoopDepth - 1); ++level)
        canvas.text(185, 105 + h * (level + 1), std::to_string(s.loopStack[static_cast<size_t>(level)].line));
    for (int level = 0; level < std::min(s.loopDepth, kLoopDepth); ++level)
        canvas.text(225, 115 + h * level, std::to_string(s.loopStack[static_cast<size_t>(level)].count));
}

void DrawTablesListing(Engine& e, OverlayCanvas& canvas) {
    const Program& prog = e.program;
    const int h = canvas.lineHeight();
    canvas.box(0, 0, 256, 224, kPanelBoxKeep, 1);
    canvas.text(5, 5, "Qlfmod");
    canvas.box(0, 0, 101, 224, kPanelBoxKeep, 1);
    canvas.text(5, 15, Label(sj("ラベル名"), static_cast<long long>(prog.labels.size())));
    const int rows = (224 - 25) / h;
    for (int i = 0; i < std::min<int>(rows, static_cast<int>(prog.labels.size())); ++i) {
        canvas.text(5, 25 + h * i, std::to_string(prog.labels[static_cast<size_t>(i)].line));
        canvas.text(25, 25 + h * i, prog.labels[static_cast<size_t>(i)].name);
    }
    static const char* const kIfKinds[] = {"#if", "#endif", "#else", "#elseif"};
    canvas.text(105, 5, Label(sj("#ifテーブル"), static_cast<long long>(prog.ifs.size())));
    for (int i = 0; i < std::min<int>(rows + 1, static_cast<int>(prog.ifs.size())); ++i) {
        const IfEntry& entry = prog.ifs[static_cast<size_t>(i)];
        canvas.text(105, 15 + h * i, std::to_string(entry.line));
        canvas.text(125, 15 + h * i, entry.kind >= 0 && entry.kind < 4 ? kIfKinds[entry.kind] : "");
    }
    canvas.text(185, 5, Label("#switch", static_cast<long long>(prog.switches.size())));
    for (int i = 0; i < std::min<int>(rows + 1, static_cast<int>(prog.switches.size())); ++i) {
        const SwitchEntry& entry = prog.switches[static_cast<size_t>(i)];
        canvas.text(185, 15 + h * i, std::to_string(entry.line));
        canvas.text(205, 15 + h * i, std::to_string(entry.kind));
        canvas.text(225, 15 + h * i, entry.value);
    }
}

void DrawVariableViewer(Engine& e, OverlayCanvas& canvas) {
    OverlayPages& p = e.game.overlayPages;
    Variables& vars = e.vars;
    const std::string filter = vars.m_filter.isString() ? valueText(vars.m_filter) : std::string();
    std::vector<int> shown;
    for (int i = 0; i < vars.count() && shown.size() < 256; ++i) {
        if (filter.empty() || valueText(vars.m_var[i].m_name).find(filter) != std::string::npos) shown.push_back(i);
    }
    TurnPage(e.input.pad(), false, p.variables, p.variableWait, PagesOf(static_cast<int>(shown.size()), 20));
    const int h = canvas.lineHeight();
    canvas.box(0, 0, 256, 224, kPanelBoxKeep, 1);
    canvas.text(5, 5, sj("変数") + ":" + std::to_string(vars.count()) + "/" + std::to_string(Variables::kMax));
    canvas.text(125, 5, Label("nPage", p.variables));
    for (int row = 0; row < 20; ++row) {
        const size_t index = static_cast<size_t>(p.variables * 20 + row);
        if (index >= shown.size()) break;
        const Variable& v = vars.m_var[shown[index]];
        const int y = 15 + h * row;
        canvas.text(5, y, valueText(v.m_name));
        canvas.text(125, y, valueText(v.m_value));
        canvas.text(225, y, std::to_string(v.m_nKind));
    }
}

void DrawTableViewer(Engine& e, OverlayCanvas& canvas) {
    OverlayPages& p = e.game.overlayPages;
    TurnPage(e.input.pad(), true, p.tables, p.listingWait, DataSlots::kTables);
    const Table& t = e.data.tables[p.tables];
    const int h = canvas.lineHeight();
    canvas.box(0, 0, 256, 224, kPanelBoxKeep, 1);
    canvas.text(5, 5, Label("tbl", p.tables) + "  " + Label("row", t.rowCount) + "  " + Label("col", t.columnCount));
    const int rows = (224 - 15) / h;
    for (int r = 0; r < std::min(rows, static_cast<int>(t.rows.size())); ++r) {
        std::string line;
        for (const variant& cell : t.rows[static_cast<size_t>(r)]) {
            if (!line.empty()) line += ",";
            line += valueText(cell);
        }
        canvas.text(5, 15 + h * r, line);
    }
}

void DrawPageViewer(Engine& e, OverlayCanvas& canvas) {
    OverlayPages& p = e.game.overlayPages;
    if (--p.viewerCountdown < 0) {
        p.viewerCountdown = 5;
        if (e.host.keyState('S') < 0) --p.viewerPage;
        if (e.host.keyState('F') < 0) ++p.viewerPage;
        p.viewerPage = (p.viewerPage + 32) % 32;
    }
    canvas.picture(p.viewerPage);
    const S_Dib* page = e.pictures.Entry(p.viewerPage);
    const int x = e.display.width - 100, h = canvas.lineHeight();
    canvas.text(x, 30, Label("g_nCurBuf", e.pictures.m_nCurBuf));
    canvas.text(x, 30 + h, Label("nPage", p.viewerPage - 8));
    canvas.text(x, 30 + 2 * h, Label("nW", page ? page->Width() : 0));
    canvas.text(x, 30 + 3 * h, Label("nH", page ? page->Height() : 0));
}

}  // namespace qf
