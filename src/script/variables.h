// The variable table, the 67 built-in constants and the flag table.
#pragma once

#include <quillfen/plugin.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "script/variant.h"

namespace qf {

class Host;

// One record of the table: the plug-in layout qf_Variable.
struct Variable {
    variant m_name;
    variant m_value;
    int32_t m_nKind = 0;
    int32_t m_nLower = 0;
    int32_t m_nUpper = 0;
    int32_t m_nLimitMode = 0;

    void reset();
    void swap(Variable& o) noexcept;
};
static_assert(sizeof(Variable) == sizeof(qf_Variable));
static_assert(offsetof(Variable, m_value) == offsetof(qf_Variable, m_value));
static_assert(offsetof(Variable, m_nKind) == offsetof(qf_Variable, m_nKind));
static_assert(offsetof(Variable, m_nLimitMode) == offsetof(qf_Variable, m_nLimitMode));

class Variables {
public:
    static constexpr int kMax = 1536;          // records
    static constexpr int kConstBase = 1536;    // first constant index
    static constexpr int kConstCount = 67;
    static constexpr int kFlags = 256;
    static constexpr int32_t kNil = INT32_MIN; // _NIL

    explicit Variables(Host& host);
    Variables(const Variables&) = delete;
    Variables& operator=(const Variables&) = delete;

    // Index of the variable (0..count-1), of the constant (1536..1602) or -1.
    int valFind(std::string_view name) const;
    variant valGet(int index) const;
    int valGetInt(int index) const;
    void valSetInt(std::string_view name, int value);
    void valSetStr(std::string_view name, std::string_view text);
    void valSet(std::string_view name, const variant& value);
    void valToInt(int index);
    void valToFloat(int index);
    void valToStr(int index);
    void valLimit(std::string_view name, int lower, int upper, int mode);
    void valClear();
    void valSort();
    std::string valDump() const;
    void valAssignMem(const char* text);
    int flagGet(int n) const { return n >= 0 && n < kFlags ? m_flag[n] : -1; }
    void flagSet(int n, int value) {
        if (n >= 0 && n < kFlags) m_flag[n] = value;
    }
    int32_t* valCount() { return &m_nCount; }
    Variable* valTable() { return m_var; }
    qf_Variable* pluginTable() { return reinterpret_cast<qf_Variable*>(m_var); }

    int count() const { return m_nCount; }
    Host& host() const { return m_host; }

    static const char* constantName(int i);   // i in 0..66
    static int32_t constantValue(int i);

    // --- used by the evaluator
    // Changes whenever records move or the table is emptied (never for appends); unique
    // across all Variables objects, so a cached (generation, index) pair stays exact.
    uint64_t generation() const { return m_gen; }
    // Finds or creates the record for an assignment. -1: nothing may be stored (the
    // table is full, reported for valSet when `report`, or the name is a constant's).
    int recordForAssignment(std::string_view name, bool report);
    // The limit rule on record i.
    void applyLimit(int i);

    // A variable the engine sets again and again by a fixed name ("_cnt", "_return"),
    // with its record index kept while the table's records stay where they are.
    struct KeptName {
        std::string_view name;
        uint64_t generation = 0;
        int index = -1;
    };
    // valSet(kept.name, value) and valSetInt(kept.name, value), without the name
    // lookup while the kept index holds.
    void valSetKept(KeptName& kept, const variant& value) {
        const int i = keptRecord(kept, true);
        if (i < 0) return;
        Variable& r = m_var[i];
        r.m_value = value;
        r.m_nKind = value.type();
        if (r.m_nLimitMode != 0) applyLimit(i);
    }
    void valSetKeptInt(KeptName& kept, int value) {
        const int i = keptRecord(kept, false);
        if (i < 0) return;
        Variable& r = m_var[i];
        r.m_value = value;
        r.m_nKind = variant::kInteger;
        if (r.m_nLimitMode != 0) applyLimit(i);
    }

    // The table, the start index by first byte 0x40..0x7F, the flags, the filter text.
    Variable m_var[kMax];
    int32_t m_nCount = 0;
    int32_t m_startIndex[64] = {};
    int32_t m_flag[kFlags] = {};
    variant m_filter;

private:
    int keptRecord(KeptName& kept, bool report) {
        const int i = kept.index;
        if (m_nCount < kMax && kept.generation == m_gen && i >= 0 && i < m_nCount) return i;
        return keptRecordLookup(kept, report);
    }
    int keptRecordLookup(KeptName& kept, bool report);
    static uint32_t hashName(const char* s, size_t n);
    int findInTable(std::string_view name) const;
    void indexRecord(int i);
    void rebuildIndex();
    void newGeneration();

    Host& m_host;
    uint64_t m_gen = 0;
    // Name index: open addressing over record indexes (-1 empty). Lookups through it
    // give exactly the scan's answer, because names in the table are unique.
    static constexpr int kHashSlots = 4096;
    int16_t m_hash[kHashSlots];
    uint32_t m_nameHash[kMax] = {};
    uint32_t m_nameLen[kMax] = {};
};

// The variable commands, called with their evaluated arguments.
void cmdValClear(Variables& vars);
void cmdValSort(Variables& vars);
// name: argument name 0 (the variable the first argument designates).
void cmdValLimit(Variables& vars, std::string_view name, const variant& lower, const variant& upper,
                 const variant& mode);
void cmdValHook(Variables& vars, const variant& text);

// The --dump-vars text: "var\tNAME\tKIND\tVALUE" per variable in table order, then
// "flag\tN\tVALUE" per non-zero flag; UTF-8, log-escaped, each line ending in "\n".
std::string dumpVarsText(const Variables& vars);

}  // namespace qf
