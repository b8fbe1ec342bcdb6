#include "app/plugin_block.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <utility>

#include "app/engine.h"

// The plug-in directory relative to the program's, as the install lays them out.
#ifndef QF_PLUGIN_DIR_FROM_BIN
#define QF_PLUGIN_DIR_FROM_BIN "../lib/quillfen"
#endif

namespace qf {

// Plug-ins read these tables through the public records: the engine's own
// types must have the very same layout.
static_assert(sizeof(Pad) == sizeof(qf_InputDevice));
static_assert(offsetof(Pad, held) == offsetof(qf_InputDevice, m_nHeld));
static_assert(offsetof(Pad, key) == offsetof(qf_InputDevice, m_nKey));
static_assert(offsetof(Pad, repeatDelay) == offsetof(qf_InputDevice, m_nRepeatDelay));
static_assert(offsetof(Pad, lastTick) == offsetof(qf_InputDevice, m_nLastTick));
static_assert(offsetof(Pad, joystick) == offsetof(qf_InputDevice, m_nJoystick));
static_assert(kPadCount == QF_INPUT_DEVICE_COUNT && kPadButtons == QF_PAD_BUTTONS);
static_assert(sizeof(S_Sprite) == sizeof(qf_Sprite) && Sprites::kCount == QF_SPRITE_COUNT);
static_assert(offsetof(S_Sprite, m_fX) == offsetof(qf_Sprite, m_fX));
static_assert(offsetof(S_Sprite, m_nGoalCount) == offsetof(qf_Sprite, m_nGoalCount));
static_assert(offsetof(S_Sprite, m_dGoalStepX) == offsetof(qf_Sprite, m_dGoalStepX));
static_assert(offsetof(S_Sprite, m_nFadeOn) == offsetof(qf_Sprite, m_nFadeOn));
static_assert(offsetof(S_Sprite, m_nAnimePause) == offsetof(qf_Sprite, m_nAnimePause));
static_assert(offsetof(S_Sprite, m_ppAnime) == offsetof(qf_Sprite, m_ppAnime));
static_assert(sizeof(FrameTimers::slot) == QF_TIMER_COUNT * sizeof(uint32_t));
static_assert(Variables::kMax == QF_VARIABLE_COUNT && sizeof(Variable) == sizeof(qf_Variable));

std::string programDirectory() {
    char path[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return {};
    std::string p(path, static_cast<size_t>(n));
    size_t cut = p.rfind('/');
    return cut == std::string::npos ? std::string() : p.substr(0, cut + 1);
}

std::string bundledPluginDirectory() {
    const std::string bin = programDirectory();
    if (bin.empty()) return {};
    const std::string dir = bin + QF_PLUGIN_DIR_FROM_BIN "/";
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return {};
    return dir;
}

std::vector<std::string> bundledPluginDirectories() {
    std::vector<std::string> dirs;
    for (std::string dir : {programDirectory(), bundledPluginDirectory()})
        if (!dir.empty()) dirs.push_back(std::move(dir));
    return dirs;
}

void fillPluginBlock(Engine& e) {
    qf_HostBlock& b = e.plugins.block;
    std::memset(&b, 0, sizeof b);
    b.m_pVariables = e.vars.pluginTable();
    b.m_pVariableCount = e.vars.valCount();
    b.m_pTimers = e.timers.slot;
    b.m_pInputDevices = reinterpret_cast<qf_InputDevice*>(e.input.pads);
    b.m_pSprites = reinterpret_cast<qf_Sprite*>(e.sprites.m_spr);
    e.plugins.places.programDir = programDirectory();
    e.plugins.places.libraryDir = bundledPluginDirectory();
}

}  // namespace qf
