#include "res/disk_path.h"

#include <algorithm>
#include <cstring>

namespace qf {


std::string toDiskSeparators(std::string_view name) {
    std::string out(name);
    for (size_t i = 0; i < out.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (isCp932LeadByte(c) && i + 1 < out.size() && isCp932TrailByte(static_cast<unsigned char>(out[i + 1]))) {
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
        if (isCp932LeadByte(c) && i + 1 < out.size() && isCp932TrailByte(static_cast<unsigned char>(out[i + 1]))) {
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
