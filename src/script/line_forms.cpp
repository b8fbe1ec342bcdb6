#include "script/line_forms.h"

namespace qf {

ReadyLine& LineForms::build(const Program& program, int index, int ifCommand, int elseifCommand) {
    // The entry of the set not used last makes room.
    const size_t set = static_cast<size_t>(index) & (kSets - 1);
    const uint8_t way = m_recent[set] ^ 1;
    m_recent[set] = way;
    ReadyLine& r = m_entries[set * 2 + way];
    const ProgramLine& line = program.lines[static_cast<size_t>(index)];
    r.line = index;
    r.load = program.loadId();
    r.command = line.command;
    r.condition = line.command == ifCommand || line.command == elseifCommand;
    r.stored = static_cast<uint8_t>(line.pieces.size());
    r.ifBranch = r.ifEnd = ReadyLine::kNotAsked;
    r.forms.resize(r.stored);
    for (size_t k = 0; k < r.stored; ++k) {
        const Piece& piece = line.pieces[k];
        if (!piece.present) r.state[k] = ReadyLine::Absent;
        else if (piece.empty()) r.state[k] = ReadyLine::Empty;
        else r.state[k] = ReadyLine::Expression;
        r.forms[k] = r.state[k] == ReadyLine::Expression ? rpnCompile(piece.text()) : RpnExpr{};
    }
    return r;
}

}  // namespace qf
