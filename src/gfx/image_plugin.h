// The decoder behind "#susieLoad": a picture file in memory in, a bitmap info
// header and 24-bit bottom-up padded rows out. A native image plug-in (see
// quillfen/image_plugin.h) is used when the named library loads and exports
// the entries; otherwise — a Windows library, or no such file — the built-in
// decoders (PNG, JPEG, GIF, TGA, BMP) stand in for it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <quillfen/image_plugin.h>

#include "gfx/dib.h"
#include "platform/media/image_decode.h"
#include "script/plugin_host.h"

namespace qf {

class Host;

class ImagePlugin {
public:
    ImagePlugin(Host& host, const PluginPlaces& places);
    // Release, then the library is freed.
    ~ImagePlugin();
    ImagePlugin(const ImagePlugin&) = delete;
    ImagePlugin& operator=(const ImagePlugin&) = delete;

    // Looks for the library in the game directory, then beside the program,
    // under its own name and, for "X.spi", as "X.so" and "libX.so".
    void Load(const std::string& file);
    bool IsNative() const { return module_ != nullptr; }

    // Releases any previous picture, then decodes. 0 with a picture, −1 when
    // the decoder does not read the data, else the plug-in's own result.
    int Decode(const uint8_t* buffer, size_t size);
    void Release();

    // The picture of the last successful Decode: 24-bit, 1..32767 a side;
    // null after a failure.
    const BmpInfoHeader* Info() const { return info_; }
    const uint8_t* Bits() const { return bits_; }
    // Why the last Decode gave no picture (a UTF-8 fragment after the file name).
    const std::string& Error() const { return error_; }

private:
    bool Usable(const BmpInfoHeader& header) const;

    Host& host_;
    const PluginPlaces& places_;
    void* module_ = nullptr;
    int gameFd_ = -1;
    qf_IsSupported_fn isSupported_ = nullptr;
    qf_GetPicture_fn getPicture_ = nullptr;
    qf_FreeBlock_fn freeBlock_ = nullptr;
    // Blocks of the native plug-in, or of the built-in decoder.
    void* infoBlock_ = nullptr;
    void* bitsBlock_ = nullptr;
    BmpInfoHeader header_;  // copy of the delivered header
    DecodedImage builtIn_;
    const BmpInfoHeader* info_ = nullptr;
    const uint8_t* bits_ = nullptr;
    std::string error_;
};

}  // namespace qf
