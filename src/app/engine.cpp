// The Engine's construction: every subsystem gets the collaborators it uses,
// and the interpreter its commands and its hooks into the rest of the engine.
#include "app/engine.h"


#include "app/plugin_block.h"
#include "commands/args.h"
#include "commands/registry.h"
#include "platform/report.h"
#include "res/game_root.h"

namespace qf {

namespace {

// Sound files larger than this are refused.
constexpr int64_t kMaxLooseFileBytes = int64_t(256) << 20;

// A file of the game directory, never from the archive.
bool readLooseFile(const GameRoot& root, const std::string& name, std::vector<uint8_t>& out) {
    out.clear();
    if (root.size(name) < 0) return false;
    std::optional<std::vector<uint8_t>> bytes = root.readAll(name, kMaxLooseFileBytes);
    if (!bytes) return false;
    out = std::move(*bytes);
    return true;
}

}  // namespace

Engine::Engine(Host& h)
    : host(h),
      files(h, errorLog),
      packer(h, errorLog),
      display(h, random),
      pictures(h),
      input(h),
      audio(h.sound(), AudioServices{
                           [this](const std::string& name, std::vector<uint8_t>& out) { return readResource(*this, name, out); },
                           [this](const std::string& name, std::vector<uint8_t>& out) { return readLooseFile(files.Root(), name, out); },
                           [this](const std::string& caption, const std::string& text) { dialog(host, text, caption); },
                           // Both hosts keep the focus in an atomic flag: safe on the device thread.
                           [this] { return host.hasFocus(); },
                       }),
      vars(h),
      rpn(vars, h),
      interp(program, vars, rpn, h, timers),
      plugins(h) {
    sprites.random = &random;
    text.host = &h;
    text.pictures = &pictures;
    pictures.reader = [this](const std::string& name, std::vector<uint8_t>& out) { return readResource(*this, name, out); };
    pictures.CreateScreen(display.backBuffer.data(), display.width, display.height);

    resManagerSet(resources, &files);
    installCommands(interp);
    interp.owner = this;
    interp.source.read = [this](const std::string& name, std::string& out) { return readScript(*this, name, out); };
    interp.source.missingInclude = [this](const std::string& name) { errLogAdd(errorLog, 4, name); };
    interp.source.romMode = &files.m_nRomMode;
    interp.source.gameInfo = files.m_Info;

    InterpreterHooks& hooks = interp.hooks;
    hooks.setActive = [this](bool front) {
        if (front) windows.Activate(WND_DRV);
        else windows.Deactivate(WND_DRV);
    };
    hooks.pressedKeys = [this] { return input.PressMask(); };
    hooks.anyKeyHeld = [this] { return input.Count(1) > 0; };
    hooks.archiveFailed = [this] { return files.m_bRomOk == 0; };
    hooks.requestQuit = [this] { game.quitRequest = 1; };
    hooks.postQuit = [this] { game.quitPosted = 1; };
    hooks.systemMessage = [this](const std::string& text) { messages.Begin(text, {}); };
    hooks.pluginCommand = [this](int k) {
        if (k >= 0 && k < static_cast<int>(program.pluginNames.size())) plugins.call(program.pluginNames[static_cast<size_t>(k)]);
    };
    plugins.places.openInGame = [this](const std::string& name) { return files.Root().openRead(name); };
    audio.kpi.setLibraryAccess(KpiLibraryAccess{
        [this](const std::string& name) { return files.Root().openRead(name); },
        [] { return bundledPluginDirectories(); },
        [this](const std::string& path) { return host.loadLibrary(path); },
        [this](void* library, const char* symbol) { return host.findSymbol(library, symbol); },
        [this](void* library) { host.freeLibrary(library); },
    });
    audio.kpi.debugTrace = [this](const std::string& caption, const std::string& text) { dbg(host, caption, text); };

    messages.links = {&text, &windows, &looks, &messageLog, &sprites, &audio, &input, &vars, &rpn};
}

}  // namespace qf
