#include "res/keystream.h"

#include <algorithm>

namespace qf {

namespace {

inline void xorBytes(uint8_t* data, const uint8_t* key, size_t n) {
    for (size_t i = 0; i < n; ++i) data[i] ^= key[i];
}

}  // namespace

void Keystream::keep(size_t bytes) {
    bytes = std::min(bytes, kKeptBytes);
    if (bytes <= m_kept.size()) return;
    size_t grown = std::max(bytes, std::min(kKeptBytes, m_kept.size() * 2));
    grown = std::min(kKeptBytes, (grown + 0xFFF) & ~size_t(0xFFF));
    size_t old = m_kept.size();
    m_kept.resize(grown);
    m_keptEnd.nextLowBytes(m_kept.data() + old, grown - old);
}

void Keystream::apply(uint8_t* data, size_t n, uint64_t position) {
    if (n == 0) return;
    uint64_t end = position + n;
    if (position < kKeptBytes) {
        keep(static_cast<size_t>(std::min<uint64_t>(end, kKeptBytes)));
        size_t take = static_cast<size_t>(std::min<uint64_t>(end, m_kept.size()) - position);
        xorBytes(data, m_kept.data() + position, take);
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
