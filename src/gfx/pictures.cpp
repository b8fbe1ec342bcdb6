#include "gfx/pictures.h"

#include <algorithm>

namespace qf {

Pictures::Pictures(Host& h, ResourceReader read) : host(h), reader(std::move(read)) {}

int Pictures::LoadSlot(int slot, const std::string& name, int takeTrans) {
    S_Dib* dib = Slot(slot);
    if (!dib) return 0;
    dib->LoadFile(host, reader, name, takeTrans);
    return 1;
}

void Pictures::FillTarget(int r, int g, int b) {
    if (S_Dib* t = Target()) t->Fill(r, g, b);
}

void Pictures::MakeSlot(int slot, int w, int h) {
    S_Dib* dib = Slot(slot);
    if (!dib) return;
    if (dib->HasPixels() && dib->Width() == w && dib->Height() == h) return;
    dib->CreateBlank(w, h, false);
}

void Pictures::SetBackgroundColor(int r, int g, int b) {
    m_nBgR = r;
    m_nBgG = g;
    m_nBgB = b;
}

void Pictures::ClearBackBuffer() {
    S_Dib* back = Slot(kBackBufferSlot);
    if (m_nBgR == m_nBgG && m_nBgG == m_nBgB)
        back->Clear(m_nBgR);
    else
        back->Fill(m_nBgR, m_nBgG, m_nBgB);
}

void Pictures::CreateScreen(uint8_t* backBuffer, int width, int height) {
    BmpInfoHeader header;
    header.biWidth = width;
    header.biHeight = height;
    header.biSizeImage = uint32_t(size_t(std::max(width, 0)) * 3 * size_t(std::max(height, 0)));
    Slot(kBackBufferSlot)->Attach(header, backBuffer);
    S_Dib* work = Slot(kWorkScreenSlot);
    work->CreateBlank(width, height, false);
    work->Fill(0, 0, 0);
}

void Pictures::TintTarget(int x, int y, int w, int h, int r, int g, int b, int keep, uint32_t windowColour) {
    S_Dib* t = Target();
    if (!t) return;
    if (r < 0) r = int(windowColour & 0xFF);
    if (g < 0) g = int((windowColour >> 8) & 0xFF);
    if (b < 0) b = int((windowColour >> 16) & 0xFF);
    t->Tint(x, y, w, h, r, g, b, std::clamp(keep, 0, 255));
}

}  // namespace qf
