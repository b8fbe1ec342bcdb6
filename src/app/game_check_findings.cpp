#include "app/game_check_findings.h"

#include <algorithm>

#include "platform/sjis.h"

namespace qf {

int Findings::fileOrder(const std::string& file) {
    auto it = std::find(files_.begin(), files_.end(), file);
    if (it != files_.end()) return static_cast<int>(it - files_.begin());
    files_.push_back(file);
    return static_cast<int>(files_.size()) - 1;
}

void Findings::add(const std::string& file, int line, Severity severity, std::string message) {
    fileOrder(file);
    if (!seen_.insert({file, line, message}).second) return;
    items_.push_back({file, line, severity, std::move(message)});
}

bool Findings::hasErrors() const {
    return std::any_of(items_.begin(), items_.end(), [](const Finding& f) { return f.severity == Severity::Error; });
}

void Findings::print(std::ostream& out) const {
    std::vector<const Finding*> order;
    order.reserve(items_.size());
    for (const Finding& f : items_) order.push_back(&f);
    auto rank = [this](const Finding* f) { return std::find(files_.begin(), files_.end(), f->file) - files_.begin(); };
    std::stable_sort(order.begin(), order.end(), [&](const Finding* a, const Finding* b) {
        auto ra = rank(a), rb = rank(b);
        return ra != rb ? ra < rb : a->line < b->line;
    });
    for (const Finding* f : order)
        out << sjisToUtf8(f->file) << ':' << f->line << ": "
            << (f->severity == Severity::Error ? "error: " : "warning: ") << f->message << '\n';
}

std::string quoted(const std::string& sjis) { return "\"" + sjisToUtf8(sjis) + "\""; }

}  // namespace qf
