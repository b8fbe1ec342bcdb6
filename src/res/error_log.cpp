#include "res/error_log.h"

#include "platform/sjis.h"
#include "res/safe_write.h"

namespace qf {

const std::string& ErrorLog::kindText(int kind) {
    static const char* const texts[kKinds] = {
        "エラー",
        "ファイルのオープンに失敗しました",
        "ファイルの読み込みに失敗しました",
        "ファイルの書き込みに失敗しました",
        "ファイルが見つかりません",
        "ファイルが壊れている可能性があります",
        "このバージョンのROMには対応していません",
    };
    static const std::string none;
    if (kind < 0 || kind >= kKinds) return none;
    return sj(texts[kind]);
}

void ErrorLog::clear() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_text.clear();
}

void ErrorLog::add(int kind, std::string_view text) {
    if (kind < 0 || kind >= kKinds) return;
    const std::string& kindName = kindText(kind);
    const std::string& separator = sj("：");
    std::lock_guard<std::mutex> guard(m_lock);
    m_text += kindName;
    m_text += separator;
    m_text += text;
    m_text += "\r\n";
}

std::string ErrorLog::text() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_text;
}

bool ErrorLog::empty() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_text.empty();
}

bool ErrorLog::save(const GameRoot& root, const char* name) const {
    std::string snapshot = text();
    if (snapshot.size() < 2) return false;
    return writeFileSafely(root, name ? name : "_error.txt",
                           std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(snapshot.data()), snapshot.size()));
}

}  // namespace qf
