// Script plug-ins: up to 32 loaded libraries, each registering up to 32 script
// words with the exported functions that implement them. A line whose word is
// no built-in command calls every plug-in that registered the word, in load
// order. The libraries stay loaded until the host is destroyed (or closeAll),
// when each one's "dllClose" runs.
#pragma once

#include <quillfen/plugin.h>

#include <array>
#include <functional>
#include <string>

#include "script/variant.h"

namespace qf {

class Host;

// One loaded plug-in.
struct S_Dll {
    static constexpr int kCommandCapacity = 32;

    void* m_hModule = nullptr;  // null when loading failed
    qf_dllInitA_fn m_pInit = nullptr;
    qf_dllClose_fn m_pClose = nullptr;
    std::array<qf_command_fn, kCommandCapacity> m_pCommand{};
    int m_nCommandCount = 0;
    std::array<variant, kCommandCapacity> m_strWord;
    variant m_strFile;
};

// Where a plug-in file may come from, besides the system's own search.
struct PluginPlaces {
    // Opens a file of the game directory (confined to it) for reading; -1 when
    // it is not there or the name is refused.
    std::function<int(const std::string& name)> openInGame;
    // The directory that holds the program, with a trailing "/"; empty for none.
    std::string programDir;
    // The bundled plug-ins of an installed program (<prefix>/lib/quillfen/),
    // with a trailing "/"; empty for none. Looked in after programDir.
    std::string libraryDir;
};

class PluginHost {
public:
    static constexpr int kSlotCapacity = 32;

    explicit PluginHost(Host& host);
    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    PluginPlaces places;
    // The block every plug-in receives; filled by the program at start-up.
    qf_HostBlock block{};

    // "#dllLoad": loads into the next slot (a failed load uses it too).
    void load(const std::string& file);
    // Calls every plug-in that registered `word` with eight integer-0 values.
    void call(const std::string& word);
    // The information dialog of the last slot used.
    void info();
    // Runs every plug-in's "dllClose" and frees the libraries (once).
    void closeAll();

    int used() const { return used_; }
    const S_Dll& slot(int i) const { return slots_[static_cast<size_t>(i)]; }

private:
    void* open(const std::string& file, int& gameFd);
    void registerCommands(S_Dll& dll);

    Host& host_;
    std::array<S_Dll, kSlotCapacity> slots_;
    // The open game file of each slot loaded from the game directory: the
    // library is loaded through its descriptor's path, which must stay
    // distinct from every other loaded library's, so it stays open.
    std::array<int, kSlotCapacity> gameFds_;
    int used_ = 0;
};

}  // namespace qf
