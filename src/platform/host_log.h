// The run log of message boxes and debugger lines, UTF-8, one entry a line:
// "dialog<TAB>CAPTION<TAB>TEXT" or "dbg<TAB>TEXT", with backslash, tab, line
// feed and carriage return escaped.
#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace qf {

std::string escapeLogText(std::string_view utf8);

class HostLog {
public:
    ~HostLog();
    bool open(const std::string& path, std::string& error);
    void messageBox(std::string_view captionSjis, std::string_view textSjis);
    void debugLine(std::string_view sjis);
    // Keep lines in memory too (the headless host does, for tests).
    void keepLines(bool keep) { keep_ = keep; }
    std::vector<std::string> lines() const;

private:
    void write(const std::string& line);
    mutable std::mutex lock_;
    std::FILE* file_ = nullptr;
    bool keep_ = false;
    std::vector<std::string> lines_;
};

}  // namespace qf
