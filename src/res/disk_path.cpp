#include "res/disk_path.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>

namespace qf {

namespace {

bool pathExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::vector<std::string> splitPieces(const std::string& path) {
    std::vector<std::string> pieces;
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        if (slash == std::string::npos) slash = path.size();
        pieces.push_back(path.substr(start, slash - start));
        start = slash + 1;
    }
    return pieces;
}

}  // namespace

std::string toDiskSeparators(std::string_view name) {
    std::string out(name);
    for (size_t i = 0; i < out.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (isCp932LeadByte(c)) {
            ++i;
        } else if (c == '\\') {
            out[i] = '/';
        }
    }
    return out;
}

std::string foldAsciiCase(std::string_view name) {
    std::string out(name);
    for (size_t i = 0; i < out.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (isCp932LeadByte(c)) {
            ++i;
        } else if (c >= 'a' && c <= 'z') {
            out[i] = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

bool windowsNameLess(std::string_view a, std::string_view b) {
    std::string fa = foldAsciiCase(a), fb = foldAsciiCase(b);
    if (fa != fb) return fa < fb;  // std::string compares bytes as unsigned char
    return a < b;
}

std::vector<DirEntry> listDirectory(const std::string& diskDir) {
    std::vector<DirEntry> entries;
    std::string dir = diskDir.empty() ? std::string(".") : diskDir;
    DIR* d = ::opendir(dir.c_str());
    if (!d) return entries;
    while (dirent* e = ::readdir(d)) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        DirEntry entry;
        entry.name = e->d_name;
        bool known = e->d_type == DT_DIR || e->d_type == DT_REG;
        if (known) {
            entry.isDirectory = e->d_type == DT_DIR;
        } else {
            struct stat st {};
            std::string full = dir + "/" + entry.name;
            if (::stat(full.c_str(), &st) != 0) continue;  // dangling link
            entry.isDirectory = S_ISDIR(st.st_mode);
        }
        entries.push_back(std::move(entry));
    }
    ::closedir(d);
    // Sort on precomputed keys: folding once per entry, not once per comparison.
    std::vector<std::pair<std::string, size_t>> keys;
    keys.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) keys.emplace_back(foldAsciiCase(entries[i].name), i);
    std::sort(keys.begin(), keys.end(), [&](const auto& x, const auto& y) {
        if (x.first != y.first) return x.first < y.first;
        return entries[x.second].name < entries[y.second].name;
    });
    std::vector<DirEntry> sorted;
    sorted.reserve(entries.size());
    for (const auto& k : keys) sorted.push_back(std::move(entries[k.second]));
    return sorted;
}

std::string resolveDiskPath(std::string_view name) {
    std::string path = toDiskSeparators(name);
    if (path.empty() || pathExists(path)) return path;
    std::vector<std::string> pieces = splitPieces(path);
    std::string result;
    bool absolute = path[0] == '/';
    size_t first = absolute ? 1 : 0;
    if (absolute) result = "/";
    for (size_t i = first; i < pieces.size(); ++i) {
        const std::string& piece = pieces[i];
        std::string base = result;
        std::string candidate = base + piece;
        bool last = i + 1 == pieces.size();
        if (piece.empty() || piece == "." || piece == ".." || pathExists(candidate)) {
            result = candidate;
        } else {
            std::string folded = foldAsciiCase(piece);
            std::string match;
            std::string listDir = base.empty() ? std::string(".") : base;
            for (const DirEntry& e : listDirectory(listDir)) {
                if (foldAsciiCase(e.name) == folded) {
                    match = e.name;
                    break;
                }
            }
            if (match.empty()) {
                // Nothing matches: the rest stays as given.
                result = candidate;
                for (size_t j = i + 1; j < pieces.size(); ++j) result += "/" + pieces[j];
                return result;
            }
            result = base + match;
        }
        if (!last) result += "/";
    }
    return result;
}

bool wildcardMatch(std::string_view pattern, std::string_view name) {
    if (pattern == "*.*" || pattern == "*") return true;
    std::string p = foldAsciiCase(pattern), n = foldAsciiCase(name);
    size_t pi = 0, ni = 0, starP = std::string::npos, starN = 0;
    while (ni < n.size()) {
        if (pi < p.size() && (p[pi] == '?' || p[pi] == n[ni])) {
            ++pi;
            ++ni;
        } else if (pi < p.size() && p[pi] == '*') {
            starP = pi++;
            starN = ni;
        } else if (starP != std::string::npos) {
            pi = starP + 1;
            ni = ++starN;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*') ++pi;
    return pi == p.size();
}

}  // namespace qf
