// What "quillfen check" reports: findings tied to a script file and line,
// printed one per line as "FILE:LINE: error: message" in UTF-8.
#pragma once

#include <ostream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace qf {

enum class Severity { Warning, Error };

struct Finding {
    std::string file;  // the game's own name for the file (Shift-JIS)
    int line = 0;      // 1-based, as an editor counts lines
    Severity severity = Severity::Error;
    std::string message;  // UTF-8; game texts inside it already converted
};

class Findings {
public:
    // Files are listed in the order they are first named; findings print in
    // that order, then by line. A finding already reported is dropped.
    void add(const std::string& file, int line, Severity severity, std::string message);
    void error(const std::string& file, int line, std::string message) {
        add(file, line, Severity::Error, std::move(message));
    }
    void warning(const std::string& file, int line, std::string message) {
        add(file, line, Severity::Warning, std::move(message));
    }

    // Names a file before its findings come, fixing its place in the output.
    void noteFile(const std::string& file) { fileOrder(file); }

    const std::vector<Finding>& all() const { return items_; }
    bool hasErrors() const;
    // Every finding as "FILE:LINE: error: message\n", file names in UTF-8.
    void print(std::ostream& out) const;

private:
    int fileOrder(const std::string& file);

    std::vector<Finding> items_;
    std::vector<std::string> files_;
    std::set<std::tuple<std::string, int, std::string>> seen_;
};

// A game text (Shift-JIS) quoted for a message in UTF-8.
std::string quoted(const std::string& sjis);

}  // namespace qf
