#include "gfx/image_plugin.h"

#include <unistd.h>

#include <cstring>
#include <vector>

#include "platform/host.h"
#include "script/plugin_names.h"

namespace qf {

static_assert(sizeof(qf_ImageInfoHeader) == 40 && sizeof(BmpInfoHeader) == 40);
static_assert(offsetof(qf_ImageInfoHeader, biSizeImage) == offsetof(BmpInfoHeader, biSizeImage));

namespace {

// The progress callback handed to plug-ins: always "go on".
int keepGoing(int, int, intptr_t) { return 0; }

}  // namespace

ImagePlugin::ImagePlugin(Host& host, const PluginPlaces& places) : host_(host), places_(places) {}

ImagePlugin::~ImagePlugin() {
    Release();
    if (module_) host_.freeLibrary(module_);
    if (gameFd_ >= 0) ::close(gameFd_);
}

void ImagePlugin::Load(const std::string& file) {
    const std::vector<std::string> names = pluginFileNames(file, ".spi");
    void* module = nullptr;
    if (places_.openInGame) {
        for (const std::string& name : names) {
            int fd = places_.openInGame(name);
            if (fd < 0) continue;
            module = host_.loadLibrary("/proc/self/fd/" + std::to_string(fd));
            if (module) {
                gameFd_ = fd;
                break;
            }
            ::close(fd);
        }
    }
    // Then beside the program, then among the installed plug-ins.
    for (const std::string* dir : {&places_.programDir, &places_.libraryDir}) {
        if (module || dir->empty()) continue;
        for (const std::string& name : names) {
            std::string relative = plainRelativePath(name);
            if (relative.empty()) continue;
            if ((module = host_.loadLibrary(*dir + relative))) break;
        }
    }
    if (!module) return;
    isSupported_ = reinterpret_cast<qf_IsSupported_fn>(host_.findSymbol(module, "IsSupported"));
    getPicture_ = reinterpret_cast<qf_GetPicture_fn>(host_.findSymbol(module, "GetPicture"));
    freeBlock_ = reinterpret_cast<qf_FreeBlock_fn>(host_.findSymbol(module, "FreeBlock"));
    if (!isSupported_ || !getPicture_ || !freeBlock_) {
        // Not an image plug-in: the built-in decoders serve instead.
        host_.freeLibrary(module);
        if (gameFd_ >= 0) ::close(gameFd_);
        gameFd_ = -1;
        isSupported_ = nullptr;
        getPicture_ = nullptr;
        freeBlock_ = nullptr;
        return;
    }
    module_ = module;
}

bool ImagePlugin::Usable(const BmpInfoHeader& h) const {
    return h.biBitCount == 24 && h.biWidth > 0 && h.biHeight > 0 && h.biWidth <= kMaxImageSide &&
           h.biHeight <= kMaxImageSide && int64_t(h.biWidth) * h.biHeight <= kMaxImagePixels;
}

int ImagePlugin::Decode(const uint8_t* buffer, size_t size) {
    Release();
    error_.clear();
    if (!module_) {
        if (!decodeImage(buffer, size, builtIn_, error_)) return -1;
        header_ = BmpInfoHeader{};
        header_.biWidth = builtIn_.width;
        header_.biHeight = builtIn_.height;
        header_.biSizeImage = uint32_t(builtIn_.rows.size());
        info_ = &header_;
        bits_ = builtIn_.rows.data();
        return 0;
    }
    if (!isSupported_(nullptr, const_cast<uint8_t*>(buffer))) {
        error_ = "は読み込めない画像形式です";
        return -1;
    }
    int result = getPicture_(reinterpret_cast<const char*>(buffer), intptr_t(size), QF_IMAGE_FROM_MEMORY,
                             &infoBlock_, &bitsBlock_, keepGoing, 0);
    if (result != 0 || !infoBlock_ || !bitsBlock_) {
        error_ = "の画像データが壊れています";
        Release();
        return result != 0 ? result : -1;
    }
    BmpInfoHeader header;
    std::memcpy(&header, infoBlock_, sizeof header);
    if (!Usable(header)) {
        error_ = "は読み込めない画像形式です（24ビット以外または大きすぎる画像）";
        Release();
        return -1;
    }
    header_ = header;
    info_ = &header_;
    bits_ = static_cast<const uint8_t*>(bitsBlock_);
    return 0;
}

void ImagePlugin::Release() {
    if (freeBlock_) {
        if (infoBlock_) freeBlock_(infoBlock_);
        if (bitsBlock_) freeBlock_(bitsBlock_);
    }
    infoBlock_ = bitsBlock_ = nullptr;
    builtIn_ = DecodedImage{};
    info_ = nullptr;
    bits_ = nullptr;
}

}  // namespace qf
