#include "gfx/susie_load.h"

#include <vector>

#include "gfx/image_plugin.h"
#include "platform/report.h"
#include "platform/sjis.h"

namespace qf {

namespace {

constexpr const char* kCaption = "エラー：susieLoad()";

}  // namespace

SusieLoadResult susieLoad(Pictures& pictures, const PluginPlaces& places, const std::string& plugin,
                          const std::string& file, int slot, int takeTrans) {
    SusieLoadResult result;
    std::vector<uint8_t> bytes;
    if (!pictures.reader || !pictures.reader(file, bytes) || bytes.empty()) {
        dialog(pictures.host, sj(kCaption) + "\n" + file + sj("が見つかりません"), sj(kCaption));
        return result;
    }
    ImagePlugin decoder(pictures.host, places);
    decoder.Load(plugin);
    if (decoder.Decode(bytes.data(), bytes.size()) != 0 || !decoder.Info()) {
        dbg(pictures.host, "susieLoad", file + sj(decoder.Error().empty() ? "を読み込めません" : decoder.Error().c_str()));
        return result;
    }
    const BmpInfoHeader& info = *decoder.Info();
    if (S_Dib* dib = pictures.Slot(slot)) dib->FromPacked(info, decoder.Bits(), takeTrans);
    result.decoded = true;
    result.width = info.biWidth;
    result.height = info.biHeight;
    result.sizeImage = int(info.biSizeImage);
    return result;
}

}  // namespace qf
