#include "app/application.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <fstream>
#include <memory>
#include <optional>

#include "app/engine.h"
#include "res/game_root.h"
#include "app/game.h"
#include "platform/report.h"
#include "app/variable_dump.h"
#include "platform/png_io.h"
#include "platform/sjis.h"

namespace qf {

namespace {

// A headless run that is not released a frame for this long of virtual time
// (focus taken away and never given back) ends as if Escape had been pressed.
constexpr uint32_t kHeadlessIdleLimitMs = 10 * 60 * 1000;

void writeScreenshot(const Display& d, const std::string& path) {
    if (d.lastPresented.empty()) {
        std::fprintf(stderr, "quillfen: no frame was presented; %s not written\n", path.c_str());
        return;
    }
    if (!writePngBgr(path, d.lastPresented.data(), d.width, d.height))
        std::fprintf(stderr, "quillfen: cannot write screenshot %s\n", path.c_str());
}

}  // namespace

bool locateGame(const std::string& path, GameLocation& out, std::string& error) {
    out = GameLocation{};
    if (path.empty()) return true;
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) {
        error = "cannot find '" + path + "'";
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        out.directory = path;
        return true;
    }
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        out.scriptName = path;
    } else {
        out.directory = path.substr(0, slash + 1);
        out.scriptName = path.substr(slash + 1);
    }
    return true;
}

int runApplication(Host& host, const Options& options, const GameLocation& game,
                   void (*onEngine)(Engine&, void*), void* context) {
    std::string reason;
    std::optional<GameRoot> root = GameRoot::open(game.directory, &reason);
    if (!root) {
        std::fprintf(stderr, "quillfen: cannot open the game directory '%s': %s\n", game.directory.c_str(), reason.c_str());
        return 2;
    }
    dbg(host, sj("　"));
    dbg(host, sj("【 ---- Tov start ---- 】"));
    if (!options.path.empty()) dbg(host, sj("コマンドライン"), options.path);

    auto engine = std::make_unique<Engine>(host);
    Engine& e = *engine;
    e.files.SetRoot(std::move(*root));
    e.userData.choose(host, e.files.Root(), game.directory);
    e.game.scriptName = game.scriptName;
    e.game.seed = options.seed;
    host.setTitle("Tov");
    host.setClientSize(e.display.width * e.display.zoom / 100, e.display.height * e.display.zoom / 100);
    if (!GameInit(e)) {
        GameClose(e);
        return 1;
    }
    if (onEngine) onEngine(e, context);

    size_t nextShot = 0;
    std::vector<std::pair<long long, std::string>> shots = options.screenshotsAt;
    std::stable_sort(shots.begin(), shots.end(), [](auto& a, auto& b) { return a.first < b.first; });
    long long framesRun = 0;
    uint32_t lastFrameTick = host.tickMs();
    if (options.frames == 0) PostQuit(e);

    for (;;) {
        if (host.pumpEvents() == PumpResult::Closed) {
            // Closing the window shuts down on the spot.
            GameClose(e);
            return 0;
        }
        if (e.game.quitPosted) break;
        if (FrameTick(e)) {
            ++framesRun;
            host.frameRan();
            lastFrameTick = host.tickMs();
            while (nextShot < shots.size() && shots[nextShot].first <= framesRun) {
                if (shots[nextShot].first == framesRun) writeScreenshot(e.display, shots[nextShot].second);
                ++nextShot;
            }
            if (options.frames >= 0 && framesRun >= options.frames) PostQuit(e);
        } else if (options.headless && host.tickMs() - lastFrameTick > kHeadlessIdleLimitMs) {
            std::fprintf(stderr, "quillfen: no frame ran for %u ms of virtual time; ending the run\n", kHeadlessIdleLimitMs);
            PostQuit(e);
        }
        host.sleepMs(1);
    }

    if (!options.dumpVars.empty()) {
        std::ofstream out(options.dumpVars, std::ios::binary);
        if (!out) std::fprintf(stderr, "quillfen: cannot write %s\n", options.dumpVars.c_str());
        else out << variableDump(e);
    }
    if (!options.screenshot.empty()) writeScreenshot(e.display, options.screenshot);
    GameClose(e);
    return 0;
}

}  // namespace qf
