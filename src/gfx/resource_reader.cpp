#include "gfx/resource_reader.h"

#include <cstdio>

namespace qf {

bool readResourceFromDisk(const std::string& name, std::vector<uint8_t>& out) {
    std::string path = name;
    for (char& c : path)
        if (c == '\\') c = '/';
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    bool ok = false;
    if (std::fseek(f, 0, SEEK_END) == 0) {
        long size = std::ftell(f);
        if (size >= 0 && uint64_t(size) <= kMaxResourceFileSize && std::fseek(f, 0, SEEK_SET) == 0) {
            out.resize(size_t(size));
            ok = size == 0 || std::fread(out.data(), 1, out.size(), f) == out.size();
        }
    }
    std::fclose(f);
    if (!ok) out.clear();
    return ok;
}

}  // namespace qf
