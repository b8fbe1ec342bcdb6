#include <unistd.h>

#include <cstdio>
#include <string>
#include <new>
#include <vector>

#include "app/application.h"
#include "app/command_line.h"
#include "app/instance_lock.h"
#include "app/plugin_block.h"
#include "app/user_data.h"
#include "app/tools.h"
#include "platform/audio/mixer.h"
#include "platform/headless/headless_host.h"
#include "platform/input_script.h"
#ifdef QF_HAVE_SDL
#include "platform/sdl/sdl_host.h"
#endif

namespace {

int run(int argc, char** argv);

}  // namespace

// Running out of memory ends the run with a message instead of an abort.
int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fputs("quillfen: out of memory; the game asked for more than this machine can give\n", stderr);
        return 1;
    }
}

namespace {

int run(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && qf::isToolName(args[0])) return qf::runTool(args);

    qf::Options options;
    std::string error;
    if (qf::parseCommandLine(args, options, error) != 0) {
        std::fprintf(stderr, "quillfen: %s\n\n%s", error.c_str(), qf::usageText());
        return 2;
    }
    if (options.help) {
        std::fputs(qf::usageText(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("quillfen %s\n", QF_VERSION);
        return 0;
    }

    // Read everything the run needs before entering the game directory, so
    // relative option paths mean what the user typed.
    qf::InputScript input;
    if (!options.inputScript.empty() && !qf::loadInputScript(options.inputScript, input, error)) {
        std::fprintf(stderr, "quillfen: %s\n", error.c_str());
        return 2;
    }
    auto absolute = [](std::string& path) {
        if (path.empty() || path[0] == '/') return;
        char cwd[4096];
        if (getcwd(cwd, sizeof cwd)) path = std::string(cwd) + "/" + path;
    };
    absolute(options.logFile);
    absolute(options.screenshot);
    absolute(options.dumpVars);
    absolute(options.audioOut);
    absolute(options.soundFont);
    if (!options.soundFont.empty() && access(options.soundFont.c_str(), R_OK) != 0) {
        std::fprintf(stderr, "quillfen: cannot read the sound font %s\n", options.soundFont.c_str());
        return 2;
    }
    for (auto& shot : options.screenshotsAt) absolute(shot.second);

    std::unique_ptr<qf::Host> host;
    if (options.headless) {
        auto headless = std::make_unique<qf::HeadlessHost>();
        if (!options.logFile.empty() && !headless->openLog(options.logFile, error)) {
            std::fprintf(stderr, "quillfen: %s\n", error.c_str());
            return 2;
        }
        headless->setRefreshRate(options.refreshRate.value_or(0));
        headless->setInputScript(std::move(input));
        if (!options.audioOut.empty() && !headless->captureAudio(options.audioOut, error)) {
            std::fprintf(stderr, "quillfen: %s\n", error.c_str());
            return 2;
        }
        host = std::move(headless);
    } else {
#ifdef QF_HAVE_SDL
        if (!qf::acquireInstanceLock()) return 0;  // another instance is running
        qf::SdlOptions window;
        window.refreshOverride = options.refreshRate.value_or(-1);
        window.logPath = options.logFile;
        window.fullscreen = options.fullscreen;
        window.zoomPercent = options.zoom;
        if (const std::string data = qf::userDataHome(); !data.empty()) window.screenshotDir = data + "screenshots";
        // Beside the program in its build tree; in the icon theme of the prefix once installed.
        const std::string bin = qf::programDirectory();
        window.iconFiles = {bin + "quillfen.png", bin + "../share/icons/hicolor/64x64/apps/quillfen.png"};
        host = qf::createSdlHost(window, error);
        if (!host) {
            std::fprintf(stderr, "quillfen: %s (use --headless to run without a display)\n", error.c_str());
            return 1;
        }
#else
        std::fprintf(stderr, "quillfen: built without a window backend; use --headless\n");
        return 1;
#endif
    }

    // The player's volume and sound font, on the mixer behind both hosts.
    if (auto* mixer = dynamic_cast<qf::Mixer*>(&host->sound())) {
        mixer->setMasterGain(options.mute ? 0.0f : static_cast<float>(options.volume) / 100.0f);
        if (!options.soundFont.empty()) mixer->preferSoundFont(options.soundFont);
    }

    qf::GameLocation game;
    if (!qf::locateGame(options.path, game, error)) {
        std::fprintf(stderr, "quillfen: %s\n", error.c_str());
        return 2;
    }
    const int status = qf::runApplication(*host, options, game);
    if (auto* headless = dynamic_cast<qf::HeadlessHost*>(host.get()); headless && !headless->finishAudioCapture(error)) {
        std::fprintf(stderr, "quillfen: %s\n", error.c_str());
        return status == 0 ? 1 : status;
    }
    return status;
}

}  // namespace
