#include "script/program.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace qf {

namespace {
std::atomic<uint64_t> nextLoadId{1};
}  // namespace

uint64_t Program::newLoadId() { return nextLoadId.fetch_add(1, std::memory_order_relaxed); }

void Piece::assign(std::string_view postfix) {
    // The text may be this piece's own: it is copied before the old block goes.
    char* text = nullptr;
    if (!postfix.empty()) {
        text = static_cast<char*>(::operator new(postfix.size() + 1));
        std::memcpy(text, postfix.data(), postfix.size());
        text[postfix.size()] = 0;
    }
    release();
    m_text = text;
}

int Program::findLabel(const std::string& name) const {
    auto it = m_labelIndex.find(name);
    if (it != m_labelIndex.end()) {
        const size_t i = static_cast<size_t>(it->second);
        if (i < labels.size() && labels[i].name == name) return it->second;
    }
    for (size_t i = 0; i < labels.size(); ++i)
        if (labels[i].name == name) return static_cast<int>(i);
    return -1;
}

int Program::firstIfAfter(int line) const {
    // In a table in line order the entry k with ifs[k - 1].line <= line < ifs[k].line
    // is the only one, so a hint that passes this check is the answer.
    const size_t n = ifs.size(), k = m_ifHint;
    if (ifsIndexed() && k <= n && (k == 0 || ifs[k - 1].line <= line) && (k == n || ifs[k].line > line))
        return static_cast<int>(k);
    auto it = std::upper_bound(ifs.begin(), ifs.end(), line, [](int l, const IfEntry& e) { return l < e.line; });
    m_ifHint = static_cast<size_t>(it - ifs.begin());
    return static_cast<int>(m_ifHint);
}

void Program::index() {
    m_loadId = newLoadId();
    m_labelIndex.clear();
    for (size_t i = 0; i < labels.size(); ++i) m_labelIndex.emplace(labels[i].name, static_cast<int>(i));

    // Right to left: an "#if" entry is passed over with everything up to its
    // "#endif", then the scan goes on after it.
    const size_t n = ifs.size();
    ifBranchFrom.clear();
    ifEndFrom.clear();
    for (size_t k = 1; k < n; ++k)
        if (ifs[k].line <= ifs[k - 1].line) return;  // not in line order: the scans stay
    ifBranchFrom.assign(n + 1, -1);
    ifEndFrom.assign(n + 1, -1);
    for (size_t k = n; k-- > 0;) {
        switch (ifs[k].kind) {
            case IF_IF: {
                const int end = ifEndFrom[k + 1];
                ifEndFrom[k] = end < 0 ? -1 : ifEndFrom[static_cast<size_t>(end) + 1];
                ifBranchFrom[k] = end < 0 ? -1 : ifBranchFrom[static_cast<size_t>(end) + 1];
                break;
            }
            case IF_ENDIF:
                ifEndFrom[k] = static_cast<int>(k);
                ifBranchFrom[k] = static_cast<int>(k);
                break;
            default:  // "#else", "#elseif"
                ifEndFrom[k] = ifEndFrom[k + 1];
                ifBranchFrom[k] = static_cast<int>(k);
                break;
        }
    }
}

}  // namespace qf
