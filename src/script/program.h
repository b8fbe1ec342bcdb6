// The program the loader builds and the interpreter runs: the flat array of
// program lines and the label, if, switch and loop tables.
#pragma once

#include <cstdint>
#include <new>
#include <string_view>
#include <string>
#include <unordered_map>
#include <vector>

#include "script/rpn.h"

namespace qf {

constexpr int kPieceCount = 8;

// A piece of a line: absent, or present with its postfix text (empty for an
// empty piece), held in one small block.
class Piece {
public:
    bool present = false;

    Piece() = default;
    explicit Piece(bool isPresent, const RpnExpr& expr = {}) : present(isPresent) { assign(expr.postfix); }
    static Piece ofText(bool isPresent, std::string_view postfix) {
        Piece piece;
        piece.present = isPresent;
        piece.assign(postfix);
        return piece;
    }
    Piece(const Piece& other) : present(other.present) { assign(other.text()); }
    Piece(Piece&& other) noexcept : present(other.present), m_text(other.m_text) { other.m_text = nullptr; }
    Piece& operator=(const Piece& other) {
        if (this != &other) {
            present = other.present;
            assign(other.text());
        }
        return *this;
    }
    Piece& operator=(Piece&& other) noexcept {
        if (this != &other) {
            release();
            present = other.present;
            m_text = other.m_text;
            other.m_text = nullptr;
        }
        return *this;
    }
    ~Piece() { release(); }

    // The postfix text, zero-terminated ("" for an empty or absent piece).
    const char* text() const { return m_text ? m_text : ""; }
    std::string_view postfix() const { return text(); }
    bool empty() const { return m_text == nullptr; }

private:
    void assign(std::string_view postfix);
    void release() {
        ::operator delete(m_text);
        m_text = nullptr;
    }
    char* m_text = nullptr;  // null for an empty text
};

// The kPieceCount pieces of a line. Only the pieces up to the last present one
// are stored: the others read as absent and cost nothing.
class PieceList {
public:
    const Piece& operator[](size_t k) const { return k < m_pieces.size() ? m_pieces[k] : absent(); }
    // The number of stored pieces: those from `size()` on are absent.
    size_t size() const { return m_pieces.size(); }
    // Piece k becomes `piece` (k below kPieceCount).
    void set(size_t k, Piece piece) {
        if (k >= m_pieces.size()) m_pieces.resize(k + 1);
        m_pieces[k] = std::move(piece);
    }
    void reserve(size_t n) { m_pieces.reserve(n); }
    void clear() { m_pieces.clear(); }

private:
    static const Piece& absent() {
        static const Piece none;
        return none;
    }
    std::vector<Piece> m_pieces;
};

struct ProgramLine {
    int command = 0;      // 0..250 command index, 256 + k plug-in command k
    int sourceLine = 0;   // physical line in its file, from 0
    std::string args;     // text after the command word (at most 255 bytes, cut at "//")
    PieceList pieces;
};

struct LabelEntry {
    std::string name;  // with its leading "*"
    int line = 0;
    int sourceLine = 0;
};

enum IfKind { IF_IF = 0, IF_ENDIF = 1, IF_ELSE = 2, IF_ELSEIF = 3 };
struct IfEntry {
    int kind = 0;
    int line = 0;
    int sourceLine = 0;
};

enum SwitchKind { SW_SWITCH = 0, SW_SWEND = 1, SW_CASE = 2, SW_DEFAULT = 3 };
struct SwitchEntry {
    int line = 0;
    int kind = 0;
    std::string value;
};

enum LoopKind { LOOP_REPEAT = 0, LOOP_LOOP = 1, LOOP_CONTINUE = 2, LOOP_BREAK = 3, LOOP_FOR = 4, LOOP_NEXT = 5 };
struct LoopEntry {
    int line = 0;
    int kind = 0;
};

struct IncludeEntry {
    std::string name;
    int line = 0;  // line index of its "#include" within the naming file
};

struct Program {
    static constexpr int kLabelCapacity = 416;
    static constexpr int kIfCapacity = 560;
    static constexpr int kSwitchCapacity = 256;
    static constexpr int kLoopCapacity = 256;
    static constexpr int kIncludeCapacity = 16;
    static constexpr int kPluginNameCapacity = 64;
    static constexpr int kForPairCapacity = 16;
    static constexpr int kBlockCapacity = 256;

    std::vector<ProgramLine> lines;
    std::vector<LabelEntry> labels;
    std::vector<IfEntry> ifs;
    std::vector<SwitchEntry> switches;
    std::vector<LoopEntry> loops;
    std::vector<IncludeEntry> includes;
    std::string mainScript;
    // Not reset between loads.
    std::vector<std::string> pluginNames;
    std::vector<int> blockStack;  // 0 if, 1 switch, 2 repeat, 3 for
    struct ForPair {
        Piece condition, step;
    };
    std::vector<ForPair> forPairs;

    int lineCount() const { return static_cast<int>(lines.size()); }
    // Index of the first label with exactly this name, or -1.
    int findLabel(const std::string& name) const;

    // The if table's branch structure, for the entry index k of the first entry
    // after a line: the first entry from k on that a scan at nesting depth 0 stops at
    // — "#elseif", "#else" or "#endif" (ifBranchFrom), "#endif" only (ifEndFrom) —
    // or -1. Entries nested in an inner "#if" ... "#endif" are passed over. Valid
    // while `ifsIndexed()`.
    std::vector<int> ifBranchFrom, ifEndFrom;
    bool ifsIndexed() const { return ifBranchFrom.size() == ifs.size() + 1 && ifEndFrom.size() == ifs.size() + 1; }
    // Index of the first if-table entry whose line is after `line`. The answer of
    // the previous call is tried first: a loop asks about the same lines again.
    int firstIfAfter(int line) const;
    // Builds the two tables above and the label index from the tables as they are,
    // and gives the program a new load identity. Call it after changing the lines.
    void index();
    // Process-unique for each state of the lines: forms compiled from the lines
    // stay valid while it is unchanged.
    uint64_t loadId() const { return m_loadId; }

private:
    static uint64_t newLoadId();
    uint64_t m_loadId = newLoadId();
    // Label name -> index of its first entry when index() ran; a hit is checked
    // against the table, anything else falls back to the scan.
    std::unordered_map<std::string, int> m_labelIndex;
    mutable size_t m_ifHint = 0;
};

}  // namespace qf
