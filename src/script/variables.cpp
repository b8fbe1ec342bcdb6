#include "script/variables.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <numeric>
#include <vector>

#include "platform/report.h"
#include "platform/host_log.h"
#include "platform/sjis.h"
#include "script/text.h"

namespace qf {

namespace {

struct Constant {
    const char* name;
    int32_t value;
};

const Constant kConstants[Variables::kConstCount] = {
    {"_RUN_DASH", 0}, {"_RUN_FRAME", 1}, {"_RUN_VBLANK", 2}, {"_RUN_DEBUG", 3},
    {"_SE_ENTER", 0}, {"_SE_CANCEL", 1}, {"_SE_MOVE", 2}, {"_SE_DEV_WAV", 1}, {"_SE_DEV_MCI", 2},
    {"_REC_SEL", 0}, {"_REC_SAVE", 1}, {"_REC_LOAD", 2}, {"_REC_COPY", 3}, {"_REC_DELETE", 4},
    {"_BLEND_NORMAL", 0}, {"_BLEND_ADD", 1}, {"_BLEND_SUB", 2}, {"_BLEND_MULTIPLY", 3},
    {"_BLEND_SCREEN", 4}, {"_BLEND_OVERLAY", 5}, {"_BLEND_SOFTLIGHT", 6}, {"_BLEND_HARDLIGHT", 7},
    {"_BLEND_DODGE", 8}, {"_BLEND_BURN", 9}, {"_BLEND_HUE", 10}, {"_BLEND_SATURATION", 11},
    {"_unuse", 0}, {"_unuse", 0}, {"_unuse", 0},
    {"_BLEND_FLIP", 20}, {"_BLEND_EXPAND", 30}, {"_BLEND_FILL", 31}, {"_BLEND_LIGHT", 32},
    {"_BLEND_FLASH", 33}, {"_BLEND_MOSAIC", 34},
    {"_unuse", 0}, {"_unuse", 0}, {"_unuse", 0}, {"_unuse", 0},
    {"_BLEND_ROT_NO", 20}, {"_BLEND_FLIP_H", 21}, {"_BLEND_FLIP_V", 22}, {"_BLEND_ROT_180", 23},
    {"_BLEND_ROT_270", 24}, {"_BLEND_ROT_90", 25}, {"_BLEND_RF_L", 26}, {"_BLEND_RF_R", 27},
    {"_KEY_U", 1}, {"_KEY_D", 2}, {"_KEY_L", 4}, {"_KEY_R", 8}, {"_KEY_A", 16}, {"_KEY_B", 32},
    {"_KEY_SEL", 64}, {"_KEY_ST", 128}, {"_KEY_X", 256}, {"_KEY_Y", 512}, {"_KEY_L1", 1024},
    {"_KEY_R1", 2048},
    {"_NIL", INT32_MIN}, {"_NULL", 0}, {"_TRUE", 1}, {"_FALSE", 0}, {"_ON", 1}, {"_OFF", 0},
    {"_ALL", -1}, {"_END", 0},
};

std::atomic<uint64_t> g_generation{0};

// The dump's rendering of a value: reals "%.5f", integers "%.0f", strings as they are.
void appendDumpValue(std::string& out, const variant& v) {
    if (v.isString()) {
        out += v.raw();
        return;
    }
    char buf[kNumBuf];
    size_t n = formatFixed(buf, v.m_dValue, v.isReal() ? 5 : 0);
    out.append(buf, n);
}

}  // namespace

void Variable::reset() {
    variant().swap(m_name);
    variant().swap(m_value);
    m_nKind = m_nLower = m_nUpper = m_nLimitMode = 0;
}

void Variable::swap(Variable& o) noexcept {
    m_name.swap(o.m_name);
    m_value.swap(o.m_value);
    std::swap(m_nKind, o.m_nKind);
    std::swap(m_nLower, o.m_nLower);
    std::swap(m_nUpper, o.m_nUpper);
    std::swap(m_nLimitMode, o.m_nLimitMode);
}

const char* Variables::constantName(int i) { return i >= 0 && i < kConstCount ? kConstants[i].name : ""; }
int32_t Variables::constantValue(int i) { return i >= 0 && i < kConstCount ? kConstants[i].value : 0; }

Variables::Variables(Host& host) : m_host(host) {
    std::fill(std::begin(m_hash), std::end(m_hash), int16_t(-1));
    newGeneration();
}

void Variables::newGeneration() { m_gen = ++g_generation; }

uint32_t Variables::hashName(const char* s, size_t n) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < n; ++i) h = (h ^ static_cast<unsigned char>(s[i])) * 16777619u;
    return h;
}

void Variables::indexRecord(int i) {
    const char* name = m_var[i].m_name.raw();
    size_t n = std::strlen(name);
    uint32_t h = hashName(name, n);
    m_nameHash[i] = h;
    m_nameLen[i] = static_cast<uint32_t>(n);
    uint32_t slot = h & (kHashSlots - 1);
    while (m_hash[slot] >= 0) slot = (slot + 1) & (kHashSlots - 1);
    m_hash[slot] = static_cast<int16_t>(i);
}

void Variables::rebuildIndex() {
    std::fill(std::begin(m_hash), std::end(m_hash), int16_t(-1));
    for (int i = 0; i < m_nCount; ++i) indexRecord(i);
}

int Variables::findInTable(std::string_view name) const {
    uint32_t h = hashName(name.data(), name.size());
    uint32_t slot = h & (kHashSlots - 1);
    for (;;) {
        int i = m_hash[slot];
        if (i < 0) return -1;
        if (m_nameHash[i] == h && m_nameLen[i] == name.size() &&
            std::memcmp(m_var[i].m_name.raw(), name.data(), name.size()) == 0)
            return i;
        slot = (slot + 1) & (kHashSlots - 1);
    }
}

int Variables::valFind(std::string_view name) const {
    int i = findInTable(name);
    if (i >= 0) return i;
    if (!name.empty() && name[0] == '_') {
        for (int c = 0; c < kConstCount; ++c)
            if (name == kConstants[c].name) return kConstBase + c;
    }
    return -1;
}

variant Variables::valGet(int index) const {
    if (index >= 0 && index < kMax) return m_var[index].m_value;
    if (index >= kConstBase && index < kConstBase + kConstCount) return variant(kConstants[index - kConstBase].value);
    return variant(0);
}

int Variables::valGetInt(int index) const {
    if (index < 0 || index >= kMax) return 0;
    return truncInt(m_var[index].m_value.num());
}

int Variables::recordForAssignment(std::string_view name, bool report) {
    if (m_nCount >= kMax) {
        if (report) dialog(m_host, sj("変数の最大数に達しました"));
        return -1;
    }
    int i = valFind(name);
    if (i >= kMax) return -1;  // a built-in constant: nothing outside the table is written
    if (i < 0) {
        i = m_nCount++;
        m_var[i].m_name.assign(name.data(), name.size());
        indexRecord(i);
    }
    return i;
}

void Variables::applyLimit(int i) {
    Variable& r = m_var[i];
    if (r.m_nLimitMode == 1) {
        double v = r.m_value.num();
        if (v < r.m_nLower) {
            r.m_value = static_cast<int>(r.m_nLower);
            v = r.m_nLower;
        }
        if (v > r.m_nUpper) r.m_value = static_cast<int>(r.m_nUpper);
    } else if (r.m_nLimitMode == 2) {
        double v = r.m_value.num();
        if (v < r.m_nLower) {
            r.m_value = static_cast<int>(r.m_nUpper);
            v = r.m_nUpper;
        }
        if (v > r.m_nUpper) r.m_value = static_cast<int>(r.m_nLower);
    }
}

int Variables::keptRecordLookup(KeptName& kept, bool report) {
    const int i = recordForAssignment(kept.name, report);
    if (i < 0) return -1;
    kept.generation = m_gen;
    kept.index = i;
    return i;
}

void Variables::valSetInt(std::string_view name, int value) {
    int i = recordForAssignment(name, false);
    if (i < 0) return;
    m_var[i].m_value = value;
    m_var[i].m_nKind = variant::kInteger;
    applyLimit(i);
}

void Variables::valSetStr(std::string_view name, std::string_view text) {
    int i = recordForAssignment(name, false);
    if (i < 0) return;
    m_var[i].m_value.assign(text.data(), text.size());
    m_var[i].m_nKind = variant::kString;
}

void Variables::valSet(std::string_view name, const variant& value) {
    int i = recordForAssignment(name, true);
    if (i < 0) return;
    m_var[i].m_value = value;
    m_var[i].m_nKind = value.type();
    applyLimit(i);
}

void Variables::valToInt(int index) {
    if (index >= 0 && index < kMax) m_var[index].m_value.toInt();
}
void Variables::valToFloat(int index) {
    if (index >= 0 && index < kMax) m_var[index].m_value.toFloat();
}
void Variables::valToStr(int index) {
    if (index >= 0 && index < kMax) m_var[index].m_value.toStr();
}

void Variables::valLimit(std::string_view name, int lower, int upper, int mode) {
    int i = valFind(name);
    if (i < 0) {
        valSetInt(name, 0);
        i = valFind(name);
    }
    if (i < 0 || i >= kMax) return;
    m_var[i].m_nLower = lower;
    m_var[i].m_nUpper = upper;
    m_var[i].m_nLimitMode = mode;
    applyLimit(i);
}

void Variables::valClear() {
    m_nCount = 0;
    for (auto& r : m_var) r.reset();
    std::fill(std::begin(m_startIndex), std::end(m_startIndex), 0);
    rebuildIndex();
    newGeneration();
}

void Variables::valSort() {
    std::vector<int> order(static_cast<size_t>(m_nCount));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this](int a, int b) {
        return compareText(m_var[a].m_name.raw(), m_var[b].m_name.raw()) < 0;
    });
    std::vector<Variable> sorted(static_cast<size_t>(m_nCount));
    for (int i = 0; i < m_nCount; ++i) sorted[static_cast<size_t>(i)].swap(m_var[order[static_cast<size_t>(i)]]);
    for (int i = 0; i < m_nCount; ++i) m_var[i].swap(sorted[static_cast<size_t>(i)]);
    for (int i = 0; i < m_nCount; ++i) {
        unsigned char b = static_cast<unsigned char>(m_var[i].m_name.raw()[0]);
        if (b >= 0x40 && b <= 0x7F && m_startIndex[b - 0x40] == 0) m_startIndex[b - 0x40] = i;
    }
    rebuildIndex();
    newGeneration();
}

std::string Variables::valDump() const {
    std::string out;
    for (int i = 0; i < m_nCount; ++i) {
        if (i) out += "\r\n";
        out += m_var[i].m_name.raw();
        out += ',';
        appendDumpValue(out, m_var[i].m_value);
        out += ',';
        out += intText(m_var[i].m_nKind).c_str();
    }
    return out;
}

void Variables::valAssignMem(const char* text) {
    Token lines(text ? text : "", "\n", 1);
    dbg(m_host, "valAssignMem tokenDat.cnt()", lines.cnt());
    for (int i = 0; i < lines.cnt(); ++i) {
        Token fields(lines.getText(i), ",", 1);
        if (fields.getInt(2) != 0) {
            std::string name = fields.getText(0);
            valSet(name, fields.get(1));
        } else {
            std::string name = fields.getText(0);
            valSetInt(name, fields.getInt(1));
        }
    }
}

// ---------------------------------------------------------------- commands

void cmdValClear(Variables& vars) { vars.valClear(); }
void cmdValSort(Variables& vars) { vars.valSort(); }

void cmdValLimit(Variables& vars, std::string_view name, const variant& lower, const variant& upper,
                 const variant& mode) {
    vars.valLimit(name, truncInt(lower.num()), truncInt(upper.num()), truncInt(mode.num()));
}

void cmdValHook(Variables& vars, const variant& text) {
    if (text.isNumber() && text.m_dValue == Variables::kNil) {
        vars.m_filter = "";
        return;
    }
    variant copy(text);
    vars.m_filter = copy.text();
}

std::string dumpVarsText(const Variables& vars) {
    std::string out;
    for (int i = 0; i < vars.m_nCount; ++i) {
        const Variable& r = vars.m_var[i];
        std::string value;
        appendDumpValue(value, r.m_value);
        out += "var\t";
        out += escapeLogText(sjisToUtf8(r.m_name.raw()));
        out += '\t';
        out += intText(r.m_nKind).c_str();
        out += '\t';
        out += escapeLogText(sjisToUtf8(value));
        out += '\n';
    }
    for (int n = 0; n < Variables::kFlags; ++n) {
        if (vars.m_flag[n] == 0) continue;
        out += "flag\t";
        out += intText(n).c_str();
        out += '\t';
        out += intText(vars.m_flag[n]).c_str();
        out += '\n';
    }
    return out;
}

}  // namespace qf
