// Table and binary-buffer commands.
#include <vector>

#include <algorithm>

#include "commands/args.h"
#include "commands/events.h"
#include "commands/files.h"
#include "commands/registry.h"
#include "script/tables.h"

namespace qf {

namespace {

Table* table(Engine& e, int slot) {
    int n = argInt(e, slot);
    return n >= 0 && n < DataSlots::kTables ? &e.data.tables[n] : nullptr;
}
S_Bin* buffer(Engine& e, int slot) {
    int n = argInt(e, slot);
    return n >= 0 && n < DataSlots::kBuffers ? &e.data.buffers[n] : nullptr;
}

void cmdTblLoad(Engine& e) {
    Table* t = table(e, 0);
    if (!t) return;
    std::string text;
    if (readScript(e, argText(e, 1), text))
        t->Load(text, argGiven(e, 2) ? argInt(e, 2) : 0, argGiven(e, 3) ? argInt(e, 3) : -1);
    setVariableInt(e, "_tblRow", t->rowCount);
    setVariableInt(e, "_tblCol", t->columnCount);
}

void cmdTblGet(Engine& e) {
    Table* t = table(e, 1);
    setVariable(e, argName(e, 0), t ? t->Cell(argInt(e, 2), argInt(e, 3)) : variant(0));
}

void cmdTblGetRow(Engine& e) {
    Table* t = table(e, 1);
    setVariableInt(e, argName(e, 0), t ? t->rowCount : 0);
}

void cmdTblGetCol(Engine& e) {
    Table* t = table(e, 1);
    setVariableInt(e, argName(e, 0), t ? t->columnCount : 0);
}

void cmdTblToVal(Engine& e) {
    Table* t = table(e, 0);
    if (!t) return;
    const std::string target = argName(e, 1);
    const int targetCol = argInt(e, 2), targetRow = argInt(e, 3), columns = argInt(e, 4), rows = argInt(e, 5);
    const int sourceCol = argInt(e, 6), sourceRow = argInt(e, 7);
    for (int r = 0; r < rows; ++r) {
        int row = sourceRow + r;
        if (row >= t->rowCount || row < 0) return;
        for (int c = 0; c < columns; ++c) {
            int col = sourceCol + c;
            if (col < 0 || col >= t->columnCount) break;
            const std::string name = elementName(target, targetRow + r, targetCol + c);
            // Once the variable table is full no further element can be made.
            if (e.vars.count() >= Variables::kMax && e.vars.valFind(name) < 0) return;
            setVariable(e, name, t->Cell(col, row));
        }
    }
}

void cmdBinLoad(Engine& e) {
    S_Bin* b = buffer(e, 0);
    if (!b) return;
    std::vector<uint8_t> bytes;
    if (!readGameFile(e, argText(e, 1), bytes)) {
        b->data.clear();
        b->hasData = false;
        b->size = -1;
    } else {
        b->size = static_cast<int>(bytes.size());
        bytes.push_back(0);
        b->data.swap(bytes);
        b->hasData = true;
    }
    setVariableInt(e, "_binSize", b->size);
}

void cmdBinSave(Engine& e) {
    S_Bin* b = buffer(e, 0);
    if (!b || !b->hasData || b->size < 0) return;
    writeGameFile(e, argText(e, 1), b->data.data(), static_cast<size_t>(b->size));
}

// A size beyond what "#binLoad" accepts leaves the buffer as it is.
void cmdBinResize(Engine& e) {
    if (argInt(e, 1) > kMaxGameFileBytes) return;
    if (S_Bin* b = buffer(e, 0)) b->Resize(argInt(e, 1));
}

void cmdBinPoke(Engine& e) {
    if (S_Bin* b = buffer(e, 1)) b->Poke(argInt(e, 2), argInt(e, 3), argInt(e, 0));
}

void cmdBinPeek(Engine& e) {
    S_Bin* b = buffer(e, 1);
    int width = argInt(e, 2);
    if (width != 1 && width != 2 && width != 4 && width != 8) return;
    setVariableInt(e, argName(e, 0), b ? static_cast<int>(b->Peek(width, argInt(e, 3))) : 0);
}

void cmdBinGetStr(Engine& e) {
    S_Bin* b = buffer(e, 1);
    std::string text;
    if (b && b->GetString(argInt(e, 2), argInt(e, 3), text)) setVariableText(e, argName(e, 0), text);
}

void cmdBinSetStr(Engine& e) {
    if (S_Bin* b = buffer(e, 1)) b->SetString(argText(e, 0), argInt(e, 2), argGiven(e, 3) ? argInt(e, 3) : 0);
}


void setOrToggleFlags(Engine& e, int first, int count, bool given, int value) {
    // Only flags 0..255 exist: the range is cut to them.
    const long long end = std::min<long long>(static_cast<long long>(first) + count, 256);
    for (long long f = std::max(first, 0); f < end; ++f) {
        if (given) e.vars.flagSet(static_cast<int>(f), value);
        else e.vars.flagSet(static_cast<int>(f), e.vars.flagGet(static_cast<int>(f)) == 0 ? 1 : 0);
    }
}

void cmdFlag(Engine& e) {
    int count = argGiven(e, 2) ? argInt(e, 2) : 1;
    if (count < 0) count = 0;
    if (count > 256) count = 256;
    setOrToggleFlags(e, argInt(e, 0), count, argGiven(e, 1), argInt(e, 1));
    refreshMapEvents(e);
}

void cmdFlagSeq(Engine& e) {
    int first = argInt(e, 0), count = argInt(e, 1);
    setOrToggleFlags(e, first, count, argGiven(e, 2), argInt(e, 2));
}

}  // namespace

const CommandFamily kTableCommands = [] {
    static constexpr CommandBinding bindings[] = {
        {"#tblLoad", cmdTblLoad},     {"#tblGet", cmdTblGet},       {"#tblGetRow", cmdTblGetRow},
        {"#tblGetCol", cmdTblGetCol}, {"#tblToVal", cmdTblToVal},   {"#flag", cmdFlag},
        {"#flagSeq", cmdFlagSeq},     {"#binLoad", cmdBinLoad},     {"#binSave", cmdBinSave},
        {"#binResize", cmdBinResize}, {"#binPoke", cmdBinPoke},     {"#binPeek", cmdBinPeek},
        {"#binGetStr", cmdBinGetStr}, {"#binSetStr", cmdBinSetStr},
    };
    return CommandFamily(bindings);
}();

}  // namespace qf
