#include "input/mouse.h"

#include <cstdlib>

namespace qf {

void mouseRememberToggles(Mouse& m, HostInput& host) {
    m.toggle[0] = host.keyState(vk::LBUTTON) & 1;
    m.toggle[1] = host.keyState(vk::RBUTTON) & 1;
    m.rightRemembered = m.toggle[1];
}

void mouseWheelSet(Mouse& m, int delta) {
    m.wheelArrived = 1;
    m.wheelStored = delta;
}

void mousePoll(Mouse& m, HostInput& host, int screenWidth, int screenHeight) {
    int x = 0, y = 0;
    host.cursorPosition(x, y);
    if (x >= 2 * screenWidth || x < 0) x = -1;
    if (y >= 2 * screenHeight || y < 0) y = -1;
    m.x = x;
    m.y = y;
    m.left = host.keyState(vk::LBUTTON);
    m.right = host.keyState(vk::RBUTTON);
    m.middle = host.keyState(vk::MBUTTON);

    // The host gathers the wheel in Windows units; scripts see the opposite sign.
    if (int raw = host.takeWheelDelta(); raw != 0) mouseWheelSet(m, -raw);
    m.wheel = m.wheelArrived ? m.wheelStored : 0;
    m.wheelStored = 0;
    m.wheelArrived = 0;

    m.leftClick = 0;
    const bool leftDown = m.left < 0;
    if (!leftDown) m.clickCounted = 0;
    if (leftDown && !m.clickCounted) {
        if (m.clickCountdown >= 1) {
            if (std::abs(x - m.clickX) < kDoubleClickDistance && std::abs(y - m.clickY) < kDoubleClickDistance) m.leftClick = 2;
            m.clickCountdown = 1;
        } else {
            m.leftClick = 1;
            m.clickX = x;
            m.clickY = y;
            m.clickCountdown = kDoubleClickFrames;
        }
        m.clickCounted = 1;
    }
    // Stops at 0 rather than counting down for ever: closed is closed.
    if (m.clickCountdown > 0) --m.clickCountdown;

    m.rightClickEvent = 0;
    if (m.right < 0) {
        m.rightClickEvent = -1;
    } else if (m.right != m.rightRemembered) {
        m.rightRemembered = m.right;
        m.rightClickEvent = 1;
    }
}

int mouseIn(const Mouse& m, int x, int y, int w, int h, int zoomPercent) {
    const int z = zoomPercent / 100;
    return x * z <= m.x && m.x < (x + w) * z && y * z <= m.y && m.y < (y + h) * z ? 1 : 0;
}

int mouseClicked(Mouse& m, HostInput& host, int button) {
    if (button == 2) return host.keyState(vk::MBUTTON) < 0 ? 1 : 0;
    if (button != 0 && button != 1) return 0;
    const int state = host.keyState(button == 0 ? vk::LBUTTON : vk::RBUTTON);
    if (state < 0 && (state & 1) != m.toggle[button]) {
        m.toggle[button] = state & 1;
        return 1;
    }
    return 0;
}

}  // namespace qf
