#include "platform/sjis.h"

#include <iconv.h>

#include <cerrno>
#include <mutex>
#include <unordered_map>

namespace qf {

namespace {

std::string convert(std::string_view in, const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
    std::string out;
    out.resize(in.size() * 4 + 16);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    while (srcLeft > 0) {
        size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        if (r != static_cast<size_t>(-1)) break;
        if (errno == E2BIG) {
            size_t used = static_cast<size_t>(dst - out.data());
            out.resize(out.size() * 2);
            dst = out.data() + used;
            dstLeft = out.size() - used;
            continue;
        }
        // EILSEQ or EINVAL: replace one byte and go on.
        if (dstLeft == 0) {
            size_t used = static_cast<size_t>(dst - out.data());
            out.resize(out.size() * 2);
            dst = out.data() + used;
            dstLeft = out.size() - used;
        }
        *dst++ = '?';
        --dstLeft;
        ++src;
        --srcLeft;
    }
    out.resize(static_cast<size_t>(dst - out.data()));
    iconv_close(cd);
    return out;
}

}  // namespace

std::string utf8ToSjis(std::string_view utf8) { return convert(utf8, "CP932", "UTF-8"); }
std::string sjisToUtf8(std::string_view sjis) { return convert(sjis, "UTF-8", "CP932"); }

const std::string& sj(const char* utf8) {
    static std::mutex lock;
    static std::unordered_map<const char*, std::string> cache;
    std::lock_guard<std::mutex> guard(lock);
    auto it = cache.find(utf8);
    if (it == cache.end()) it = cache.emplace(utf8, utf8ToSjis(utf8)).first;
    return it->second;
}

}  // namespace qf
