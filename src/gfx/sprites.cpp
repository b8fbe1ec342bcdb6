#include "gfx/sprites.h"

namespace qf {

void Sprites::SetAnimeList(int n, int first, int frames) {
    if (!Valid(n) || first < 0 || frames < 1 || first > kCount - frames) return;
    std::vector<S_Sprite*>& list = animeList[n];
    list.clear();
    for (int i = 0; i < frames; ++i) list.push_back(&m_spr[first + i]);
    m_spr[n].m_ppAnime = list.data();
}

void Sprites::FreeAnimeList(int n) {
    if (!Valid(n)) return;
    animeList[n].clear();
    animeList[n].shrink_to_fit();
    m_spr[n].m_ppAnime = nullptr;
}

void Sprites::FreeAnimeLists() {
    for (int n = 0; n < kCount; ++n) FreeAnimeList(n);
}

}  // namespace qf
