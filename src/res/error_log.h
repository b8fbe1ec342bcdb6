// The error log: lines of seven kinds collected during a run and written to
// "_error.txt" at shutdown when there are any. Appends come from the main
// thread and from the archive packer's thread.
#pragma once

#include <mutex>
#include <string>
#include <string_view>

namespace qf {

class GameRoot;

class ErrorLog {
public:
    static constexpr int kKinds = 7;

    // "エラー", "ファイルのオープンに失敗しました", … (Shift-JIS); "" for other kinds.
    static const std::string& kindText(int kind);

    void clear();
    // Appends the kind's text, "：", `text` and CR LF; unknown kinds are ignored.
    void add(int kind, std::string_view text);
    std::string text() const;
    bool empty() const;
    // When the log holds at least two bytes, replaces `name` (null:
    // "_error.txt") in the game directory with it, never through a link and
    // never leaving a partial file. True when a file was written.
    bool save(const GameRoot& root, const char* name = nullptr) const;

private:
    mutable std::mutex m_lock;
    std::string m_text;
};

inline void errLogClear(ErrorLog& log) { log.clear(); }
inline void errLogAdd(ErrorLog& log, int kind, std::string_view text) { log.add(kind, text); }
// Called by shutdown with a null name.
inline bool errLogSave(const ErrorLog& log, const GameRoot& root, const char* name = nullptr) {
    return log.save(root, name);
}

}  // namespace qf
