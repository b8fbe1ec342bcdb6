#include "script/plugin_host.h"
#include "script/plugin_names.h"

#include <unistd.h>

#include <cstdio>
#include <initializer_list>
#include <vector>

#include "platform/host.h"
#include "platform/report.h"
#include "platform/sjis.h"
#include "script/text.h"

namespace {

// The host whose plug-in is running on this thread: a plug-in's message boxes
// go to it. Plug-in code runs only inside the calls below.
thread_local qf::Host* runningHost = nullptr;

class RunningPlugin {
public:
    explicit RunningPlugin(qf::Host& host) : saved_(runningHost) { runningHost = &host; }
    ~RunningPlugin() { runningHost = saved_; }
    RunningPlugin(const RunningPlugin&) = delete;
    RunningPlugin& operator=(const RunningPlugin&) = delete;

private:
    qf::Host* saved_;
};

}  // namespace

// The message box plug-ins find in the program (QF_MESSAGE_BOX_SYMBOL).
extern "C" QF_PLUGIN_EXPORT void qf_messageBox(const char* text, const char* caption) {
    if (!text) text = "";
    if (!caption) caption = "dialog";
    if (runningHost) qf::dialog(*runningHost, text, caption);
    else std::fprintf(stderr, "[%s] %s\n", caption, text);
}

namespace qf {

PluginHost::PluginHost(Host& host) : host_(host) { gameFds_.fill(-1); }

PluginHost::~PluginHost() { closeAll(); }

void* PluginHost::open(const std::string& file, int& gameFd) {
    const std::vector<std::string> names = pluginFileNames(file, ".dll");
    // The game directory first, confined to it: the library is opened there
    // and loaded through its descriptor.
    if (places.openInGame) {
        for (const std::string& name : names) {
            int fd = places.openInGame(name);
            if (fd < 0) continue;
            if (void* module = host_.loadLibrary("/proc/self/fd/" + std::to_string(fd))) {
                gameFd = fd;
                return module;
            }
            ::close(fd);
        }
    }
    // Beside the program, then among the bundled plug-ins of an installed one.
    for (const std::string* dir : {&places.programDir, &places.libraryDir}) {
        if (dir->empty()) continue;
        for (const std::string& name : names) {
            std::string relative = plainRelativePath(name);
            if (relative.empty()) continue;
            if (void* module = host_.loadLibrary(*dir + relative)) return module;
        }
    }
    // The system's own search, for bare names only.
    for (const std::string& name : names) {
        if (name.empty() || name.find_first_of("\\/") != std::string::npos) continue;
        if (void* module = host_.loadLibrary(name)) return module;
    }
    return nullptr;
}

void PluginHost::load(const std::string& file) {
    if (used_ >= kSlotCapacity) {
        dialog(host_, sj("プラグインは32個までしか読み込めません：") + file);
        return;
    }
    S_Dll& dll = slots_[static_cast<size_t>(used_++)];
    dll.m_strFile = file;
    if (dll.m_hModule) host_.freeLibrary(dll.m_hModule);
    dll.m_hModule = open(file, gameFds_[static_cast<size_t>(used_ - 1)]);
    if (!dll.m_hModule) {
        dialog(host_, sj("LoadLibrary失敗"));
        return;
    }
    dll.m_pInit = reinterpret_cast<qf_dllInitA_fn>(host_.findSymbol(dll.m_hModule, "dllInitA"));
    if (!dll.m_pInit) {
        dialog(host_, sj("GetProcAddress失敗"));
        return;
    }
    dll.m_pClose = reinterpret_cast<qf_dllClose_fn>(host_.findSymbol(dll.m_hModule, "dllClose"));
    if (!dll.m_pClose) {
        dialog(host_, sj("GetProcAddress失敗"));
        return;
    }
    registerCommands(dll);
}

void PluginHost::registerCommands(S_Dll& dll) {
    variant registration;
    {
        RunningPlugin running(host_);
        dll.m_pInit(&block, &registration);
    }
    const std::vector<std::string> pieces = splitAny(registration.str(), ",");
    const int pairs = static_cast<int>(pieces.size() / 2);
    for (int i = 0; i < pairs; ++i) {
        if (i >= S_Dll::kCommandCapacity) {
            dialog(host_, sj("プラグインの命令は32個までしか登録できません：") + dll.m_strFile.str());
            return;
        }
        const std::string& word = pieces[static_cast<size_t>(2 * i)];
        const std::string& function = pieces[static_cast<size_t>(2 * i + 1)];
        auto command = reinterpret_cast<qf_command_fn>(host_.findSymbol(dll.m_hModule, function));
        if (!command) {
            dialog(host_, sj("GetProcAddress失敗"), i);
            dialog(host_, dll.m_nCommandCount);
            return;
        }
        dll.m_pCommand[static_cast<size_t>(dll.m_nCommandCount)] = command;
        dll.m_strWord[static_cast<size_t>(dll.m_nCommandCount)] = word;
        ++dll.m_nCommandCount;
    }
}

void PluginHost::call(const std::string& word) {
    for (int s = 0; s < used_; ++s) {
        S_Dll& dll = slots_[static_cast<size_t>(s)];
        for (int c = 0; c < dll.m_nCommandCount; ++c) {
            if (word != dll.m_strWord[static_cast<size_t>(c)].raw()) continue;
            std::array<variant, 8> args;
            {
                RunningPlugin running(host_);
                dll.m_pCommand[static_cast<size_t>(c)](args.data());
            }
            break;
        }
    }
}

void PluginHost::info() {
    if (used_ == 0) return;
    S_Dll& dll = slots_[static_cast<size_t>(used_ - 1)];
    std::string text = sj("プラグイン名：");
    text += dll.m_strFile.str();
    text += "\n";
    text += intText(dll.m_nCommandCount).c_str();
    text += sj("個の命令");
    text += "\n\n";
    for (int c = 0; c < dll.m_nCommandCount; ++c) {
        text += dll.m_strWord[static_cast<size_t>(c)].raw();
        text += "\n";
    }
    dialog(host_, text);
}

void PluginHost::closeAll() {
    for (int s = 0; s < used_; ++s) {
        S_Dll& dll = slots_[static_cast<size_t>(s)];
        if (dll.m_pClose) {
            RunningPlugin running(host_);
            dll.m_pClose();
        }
        if (dll.m_hModule) host_.freeLibrary(dll.m_hModule);
        dll = S_Dll{};
        int& fd = gameFds_[static_cast<size_t>(s)];
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
    used_ = 0;
}

}  // namespace qf
