#include "audio/kpi_decoder.h"

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <vector>

namespace qf {

// The entries sit where decoders built for this platform put them: after six
// pointer-wide words.
static_assert(offsetof(qf_KpiModule, init) == 6 * sizeof(void*));
static_assert(offsetof(qf_KpiModule, deinit) == 7 * sizeof(void*));
static_assert(offsetof(qf_KpiModule, open) == 8 * sizeof(void*));
static_assert(offsetof(qf_KpiModule, openFromMemory) == 9 * sizeof(void*));
static_assert(offsetof(qf_KpiModule, close) == 10 * sizeof(void*));
static_assert(offsetof(qf_KpiModule, render) == 11 * sizeof(void*));
static_assert(offsetof(qf_KpiModule, seek) == 12 * sizeof(void*));
static_assert(offsetof(qf_KpiSoundInfo, bitsPerSample) == 8);

namespace {

std::string descriptorPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// A name ending in ".kpi" (any letter case) may also be found as ".so".
std::vector<std::string> candidateNames(const std::string& name) {
    std::vector<std::string> out{name};
    if (name.size() > 4) {
        std::string ext = name.substr(name.size() - 4);
        std::transform(ext.begin(), ext.end(), ext.begin(), [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        });
        if (ext == ".kpi") out.push_back(name.substr(0, name.size() - 4) + ".so");
    }
    return out;
}

}  // namespace

KpiDecoder::~KpiDecoder() { unload(); }

void* KpiDecoder::loadNamed(const std::string& pluginSjis) {
    if (pluginSjis.empty() || !access.openInGame || !access.loadLibrary) return nullptr;
    for (const std::string& name : candidateNames(pluginSjis)) {
        const int fd = access.openInGame(name);
        if (fd < 0) continue;
        if (void* library = access.loadLibrary(descriptorPath(fd))) {
            libraryFd_ = fd;
            return library;
        }
        ::close(fd);
    }
    return nullptr;
}

KpiDecoder::LoadResult KpiDecoder::load(const std::string& pluginSjis) {
    unload();
    library_ = loadNamed(pluginSjis);
    if (!library_ && access.bundledDirs && access.loadLibrary) {
        for (const std::string& dir : access.bundledDirs()) {
            if (dir.empty()) continue;
            library_ = access.loadLibrary(dir + kBundledFile);
            if (library_) break;
        }
        bundled_ = library_ != nullptr;
    }
    if (!library_) return LoadResult::kNoLibrary;
    auto getModule = access.findSymbol
                         ? reinterpret_cast<qf_KpiGetModule_fn>(access.findSymbol(library_, QF_KPI_ENTRY_NAME))
                         : nullptr;
    module_ = getModule ? getModule() : nullptr;
    // A record without the entries the player calls serves nothing.
    if (module_ && (!module_->open || !module_->openFromMemory || !module_->close || !module_->render || !module_->seek))
        module_ = nullptr;
    if (!module_) return LoadResult::kNoModule;
    if (module_->init) module_->init();
    return LoadResult::kReady;
}

void KpiDecoder::unload() {
    closeSound();
    if (module_ && module_->deinit) module_->deinit();
    module_ = nullptr;
    if (library_ && access.freeLibrary) access.freeLibrary(library_);
    library_ = nullptr;
    bundled_ = false;
    if (libraryFd_ >= 0) ::close(libraryFd_);
    libraryFd_ = -1;
}

bool KpiDecoder::openMemory(const uint8_t* image, uint32_t size) {
    closeSound();
    if (!module_) return false;
    info_ = {};
    sound_ = module_->openFromMemory(image, size, &info_);
    return sound_ != nullptr;
}

bool KpiDecoder::openFile(const std::string& nameSjis) {
    closeSound();
    if (!module_) return false;
    // The decoder reads the game's file through a descriptor opened beneath
    // the game directory: it never sees a path of the game's choosing.
    const int fd = access.openInGame ? access.openInGame(nameSjis) : -1;
    if (fd < 0) return false;
    info_ = {};
    sound_ = module_->open(descriptorPath(fd).c_str(), &info_);
    if (!sound_) {
        ::close(fd);
        return false;
    }
    soundFd_ = fd;
    return true;
}

void KpiDecoder::closeSound() {
    if (sound_ && module_) module_->close(sound_);
    sound_ = nullptr;
    if (soundFd_ >= 0) ::close(soundFd_);
    soundFd_ = -1;
}

uint32_t KpiDecoder::render(uint8_t* buffer, uint32_t size) {
    uint32_t n = sound_ ? module_->render(sound_, buffer, size) : 0;
    n = std::min(n, size);
    // A decoder that stops short leaves no stale sound behind it.
    std::memset(buffer + n, 0, size - n);
    return n;
}

void KpiDecoder::seek(uint32_t milliseconds) {
    if (sound_) module_->seek(sound_, milliseconds);
}

}  // namespace qf
