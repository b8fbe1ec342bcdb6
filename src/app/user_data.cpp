#include "app/user_data.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/host.h"
#include "platform/report.h"

namespace qf {

std::string userDataHome() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return std::string(data) + "/quillfen/";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/share/quillfen/";
    return {};
}

bool directoryWritable(const GameRoot& root) {
    if (root.fd() < 0) return false;
    return ::faccessat(root.fd(), ".", W_OK | X_OK, AT_EACCESS) == 0;
}

std::string gameDirectoryName(const std::string& directory) {
    char resolved[PATH_MAX];
    std::string path = ::realpath(directory.c_str(), resolved) ? std::string(resolved) : directory;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    const size_t cut = path.rfind('/');
    std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
    if (name.empty() || name == "." || name == "..") return "game";
    return name;
}

bool makeDirectories(const std::string& path) {
    if (path.empty() || path[0] != '/') return false;
    for (size_t at = 1; at <= path.size(); ++at) {
        if (at < path.size() && path[at] != '/') continue;
        const std::string prefix = path.substr(0, at);
        if (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void UserData::choose(Host& host, const GameRoot& game, const std::string& gameDirectory) {
    root_.reset();
    path_.clear();
    if (directoryWritable(game)) return;
    const std::string home = userDataHome();
    if (home.empty()) {
        dbg(host, "userData", "the game directory cannot be written to, and neither XDG_DATA_HOME nor HOME is set");
        return;
    }
    const std::string dir = home + gameDirectoryName(gameDirectory);
    std::string reason;
    if (makeDirectories(dir)) {
        if (std::optional<GameRoot> opened = GameRoot::open(dir, &reason)) {
            root_ = std::move(opened);
            path_ = dir + "/";
            dbg(host, "userData", "the game directory cannot be written to; records and _error.txt go to " + path_);
            return;
        }
    } else {
        reason = std::strerror(errno);
    }
    dbg(host, "userData", "cannot use " + dir + ": " + reason);
}

}  // namespace qf
