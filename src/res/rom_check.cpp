#include "res/rom_check.h"

#include <cstring>

#include "platform/report.h"
#include "platform/sjis.h"
#include "res/game_root.h"
#include "res/keystream.h"
#include "res/posix_file.h"
#include "res/rom1.h"

namespace qf {

int romLayoutCheck(Host& host, const GameRoot& dir, const std::string& name) {
    PosixFile file(dir.openRead(name));
    return romLayoutCheck(host, file);
}

int romLayoutCheck(Host& host, const PosixFile& file) {
    uint8_t probe[128] = {};
    if (file.ok()) file.readAt(probe, sizeof probe, S_Rom1::kOuterHeaderSize);
    Keystream keystream;
    uint8_t magic[4];
    std::memcpy(magic, probe, 4);
    keystream.apply(magic, 4);
    if (std::memcmp(magic, "AR1", 4) != 0) return 0;
    uint8_t head[8];
    std::memcpy(head, probe, 8);
    keystream.apply(head, 8);
    auto major = static_cast<int8_t>(head[4]);
    auto minor = static_cast<int8_t>(head[5]);
    const std::string& text = sj("このバージョンのROMには対応していません");
    if (major > 1) {
        dialog(host, text, sj("メジャーバージョンエラー"));
        return -1;
    }
    if (major == 1 && minor >= 1) {
        dialog(host, text, sj("マイナーバージョンエラー"));
        return -1;
    }
    return 1;
}

std::unique_ptr<S_Rom> makeRom(int layout, Host& host, ErrorLog& log) {
    if (layout == 1) return std::make_unique<S_Rom1>(host, log);
    if (layout == 0) return std::make_unique<S_Rom>(host, log);
    return nullptr;
}

}  // namespace qf
