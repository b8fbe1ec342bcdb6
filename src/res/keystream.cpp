#include "res/keystream.h"

#include <algorithm>
#include <cstring>

namespace qf {

namespace {

// Eight bytes at a time; memcpy keeps the unaligned loads well defined and
// compiles to plain 64-bit moves.
inline void xorBytes(uint8_t* __restrict data, const uint8_t* __restrict key, size_t n) {
    size_t i = 0;
    for (; i + 32 <= n; i += 32) {
        uint64_t d[4], k[4];
        std::memcpy(d, data + i, 32);
        std::memcpy(k, key + i, 32);
        for (int w = 0; w < 4; ++w) d[w] ^= k[w];
        std::memcpy(data + i, d, 32);
    }
    for (; i < n; ++i) data[i] ^= key[i];
}

}  // namespace

void Keystream::keep(size_t bytes) {
    bytes = std::min(bytes, kKeptBytes);
    if (bytes <= m_keptSize) return;
    if (!m_kept) m_kept.reset(new uint8_t[kKeptBytes]);
    size_t grown = std::min(kKeptBytes, (bytes + 0xFFF) & ~size_t(0xFFF));
    m_keptEnd.nextLowBytes(m_kept.get() + m_keptSize, grown - m_keptSize);
    m_keptSize = grown;
}

void Keystream::apply(uint8_t* data, size_t n, uint64_t position) {
    if (n == 0) return;
    uint64_t end = position + n;
    if (position < kKeptBytes) {
        keep(static_cast<size_t>(std::min<uint64_t>(end, kKeptBytes)));
        size_t take = static_cast<size_t>(std::min<uint64_t>(end, m_keptSize) - position);
        xorBytes(data, m_kept.get() + position, take);
        data += take;
        n -= take;
        position += take;
        if (n == 0) return;
    }
    // Past the kept part: a generator walking forward, restarted when asked
    // for an earlier position.
    if (!m_walker || m_walkerPos > position) {
        keep(kKeptBytes);
        m_walker = m_keptEnd;
        m_walkerPos = kKeptBytes;
    }
    m_walker->skip(position - m_walkerPos);
    m_walkerPos = position;
    uint8_t key[4096];
    while (n > 0) {
        size_t take = std::min(n, sizeof key);
        m_walker->nextLowBytes(key, take);
        xorBytes(data, key, take);
        data += take;
        n -= take;
        m_walkerPos += take;
    }
}

}  // namespace qf
