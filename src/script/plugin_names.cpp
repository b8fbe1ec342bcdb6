#include "script/plugin_names.h"

namespace qf {

namespace {

bool endsWithFolded(std::string_view name, std::string_view extension) {
    if (name.size() < extension.size()) return false;
    std::string_view tail = name.substr(name.size() - extension.size());
    for (size_t i = 0; i < tail.size(); ++i) {
        char c = tail[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != extension[i]) return false;
    }
    return true;
}

}  // namespace

std::vector<std::string> pluginFileNames(const std::string& file, std::string_view windowsExtension) {
    std::vector<std::string> out{file};
    if (endsWithFolded(file, windowsExtension)) {
        std::string stem = file.substr(0, file.size() - windowsExtension.size());
        size_t cut = stem.find_last_of("\\/");
        size_t leaf = cut == std::string::npos ? 0 : cut + 1;
        out.push_back(stem + ".so");
        out.push_back(stem.substr(0, leaf) + "lib" + stem.substr(leaf) + ".so");
    }
    return out;
}

std::string plainRelativePath(const std::string& name) {
    std::string path = name;
    for (char& c : path)
        if (c == '\\') c = '/';
    if (path.empty() || path[0] == '/' || path.find(':') != std::string::npos) return {};
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        if (path.compare(start, end - start, "..") == 0) return {};
        start = end + 1;
    }
    return path;
}

}  // namespace qf
