// A loaded KPI music decoder library and the one sound it has open. The
// library the game names is looked for in the game directory; a library that
// cannot be loaded here (a Windows decoder, or no such file) is replaced by
// the decoder bundled with the program. What the decoder is asked to do is
// the module record's seven entries (quillfen/kpi_plugin.h).
//
// Not thread-safe: its owner serialises every call.
#pragma once

#include <quillfen/kpi_plugin.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qf {

// What the decoder binding needs from the rest of the engine.
struct KpiLibraryAccess {
    // Opens a file of the game directory for reading, confined to it; -1 when
    // it is not there or the name is refused. The descriptor passes to the caller.
    std::function<int(const std::string& nameSjis)> openInGame;
    // The directories the program's bundled plug-ins live in, in the order
    // they are looked in, each with a trailing "/".
    std::function<std::vector<std::string>()> bundledDirs;
    std::function<void*(const std::string& path)> loadLibrary;
    std::function<void*(void* library, const char* symbol)> findSymbol;
    std::function<void(void* library)> freeLibrary;
};

class KpiDecoder {
public:
    // File name of the bundled decoder.
    static constexpr const char* kBundledFile = "kpi_sndfile.so";

    enum class LoadResult { kNoLibrary, kNoModule, kReady };

    KpiDecoder() = default;
    ~KpiDecoder();
    KpiDecoder(const KpiDecoder&) = delete;
    KpiDecoder& operator=(const KpiDecoder&) = delete;

    KpiLibraryAccess access;

    // Releases what was loaded, loads the named library (else the bundled
    // one), asks it for its module record and runs its init entry.
    LoadResult load(const std::string& pluginSjis);
    // Closes the sound, runs the deinit entry, unloads the library.
    void unload();

    // The open-from-memory entry; the image must outlive the sound.
    bool openMemory(const uint8_t* image, uint32_t size);
    // The open entry with the named file of the game directory.
    bool openFile(const std::string& nameSjis);
    // The close entry for the open sound, if any.
    void closeSound();
    // The render entry for `size` bytes; the rest past what it reports is zeroed.
    uint32_t render(uint8_t* buffer, uint32_t size);
    // The seek entry, in milliseconds.
    void seek(uint32_t milliseconds);

    bool hasModule() const { return module_ != nullptr; }
    bool hasSound() const { return sound_ != nullptr; }
    // The loaded library is the bundled decoder.
    bool bundled() const { return bundled_; }
    const qf_KpiSoundInfo& soundInfo() const { return info_; }

private:
    void* loadNamed(const std::string& pluginSjis);

    void* library_ = nullptr;
    int libraryFd_ = -1;  // the game file the library was loaded through
    bool bundled_ = false;
    const qf_KpiModule* module_ = nullptr;
    qf_KpiHandle sound_ = nullptr;
    int soundFd_ = -1;  // the game file the open entry reads
    qf_KpiSoundInfo info_{};
};

}  // namespace qf
