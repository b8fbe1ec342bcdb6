// Compiled forms of the pieces of the program lines run lately, ready for the
// interpreter: what each piece is (absent, empty, an expression), the command and
// whether the line is a condition, found from the line index alone.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "script/program.h"
#include "script/rpn.h"

namespace qf {

struct ReadyLine {
    enum PieceState : uint8_t { Absent, Empty, Expression };

    int32_t line = -1;    // the line index these forms belong to (-1: none)
    uint64_t load = 0;    // the program load they belong to
    int command = 0;
    bool condition = false;  // "#if" / "#elseif": the first expression is a condition
    uint8_t stored = 0;      // pieces from here on are absent
    PieceState state[kPieceCount] = {};
    std::vector<RpnExpr> forms;  // forms[k] for each stored piece k (empty unless Expression)
    // The if index's answers for this line, once asked (kNotAsked until then).
    static constexpr int32_t kNotAsked = -2;
    int32_t ifBranch = kNotAsked, ifEnd = kNotAsked;
};

// A table of kSets sets of two entries keyed by line index: neighbouring lines
// never share a set, and a line is compiled again only after two other lines of
// its set ran since. Forms built for one program load are never used for another.
class LineForms {
public:
    static constexpr size_t kSets = 4096;

    LineForms() : m_entries(std::make_unique<ReadyLine[]>(kSets * 2)), m_recent(std::make_unique<uint8_t[]>(kSets)) {}

    // The ready form of line `index` of `program` (a valid index).
    ReadyLine& get(const Program& program, int index, int ifCommand, int elseifCommand) {
        const size_t set = static_cast<size_t>(index) & (kSets - 1);
        ReadyLine* e = &m_entries[set * 2];
        const uint64_t load = program.loadId();
        if (e[0].line == index && e[0].load == load) {
            m_recent[set] = 0;
            return e[0];
        }
        if (e[1].line == index && e[1].load == load) {
            m_recent[set] = 1;
            return e[1];
        }
        return build(program, index, ifCommand, elseifCommand);
    }

private:
    ReadyLine& build(const Program& program, int index, int ifCommand, int elseifCommand);

    std::unique_ptr<ReadyLine[]> m_entries;
    std::unique_ptr<uint8_t[]> m_recent;  // per set: the entry used last
};

}  // namespace qf
