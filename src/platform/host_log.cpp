#include "platform/host_log.h"

#include "platform/sjis.h"

namespace qf {

std::string escapeLogText(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (char c : utf8) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            default: out += c;
        }
    }
    return out;
}

HostLog::~HostLog() {
    if (file_) std::fclose(file_);
}

bool HostLog::open(const std::string& path, std::string& error) {
    std::lock_guard<std::mutex> guard(lock_);
    if (file_) std::fclose(file_);
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) {
        error = "cannot write log file '" + path + "'";
        return false;
    }
    return true;
}

void HostLog::write(const std::string& line) {
    std::lock_guard<std::mutex> guard(lock_);
    if (keep_) lines_.push_back(line);
    if (file_) {
        std::fwrite(line.data(), 1, line.size(), file_);
        std::fputc('\n', file_);
        std::fflush(file_);
    }
}

void HostLog::messageBox(std::string_view captionSjis, std::string_view textSjis) {
    write("dialog\t" + escapeLogText(sjisToUtf8(captionSjis)) + "\t" + escapeLogText(sjisToUtf8(textSjis)));
}

void HostLog::debugLine(std::string_view sjis) { write("dbg\t" + escapeLogText(sjisToUtf8(sjis))); }

std::vector<std::string> HostLog::lines() const {
    std::lock_guard<std::mutex> guard(lock_);
    return lines_;
}

}  // namespace qf
