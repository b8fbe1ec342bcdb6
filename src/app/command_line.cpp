#include "app/command_line.h"

#include <cerrno>
#include <cstdlib>

namespace qf {

namespace {

constexpr long long kMinZoom = 100, kMaxZoom = 800;

bool parseInteger(const std::string& text, long long minimum, long long maximum, long long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && end && *end == '\0' && value >= minimum && value <= maximum;
}

}  // namespace

const char* usageText() {
    return "usage: quillfen [OPTIONS] [PATH]\n"
           "       quillfen pack DIR [ARCHIVE] | list ARCHIVE | unpack ARCHIVE DIR | verify ARCHIVE\n"
           "       quillfen check DIR | SCRIPT.txt | ARCHIVE.ar1\n"
           "\n"
           "PATH is a script (.txt), an archive (.ar1) or a game directory;\n"
           "without it the current directory is the game directory.\n"
           "\n"
           "  --headless             no window or sound device; virtual clock\n"
           "  --frames N             end the run after N frames, as Escape would\n"
           "  --input FILE           timed input events (headless)\n"
           "  --log FILE             every message box and debug line, UTF-8\n"
           "  --screenshot FILE      the last presented frame as PNG\n"
           "  --screenshot-at N:FILE the frame presented at frame N as PNG (repeatable)\n"
           "  --dump-vars FILE       the variables and flags at exit\n"
           "  --audio-out FILE       headless: everything played, as a 16-bit stereo WAV\n"
           "  --refresh-rate HZ      the display refresh rate the engine assumes\n"
           "  --seed N               seed the script random generator with N\n"
           "  --help, --version\n"
           "\n"
           "Player options (the game cannot see them):\n"
           "  --fullscreen           start in full screen\n"
           "  --zoom N               show the screen at N percent in the first window\n"
           "                         (100..800; the game's own size is 200); later\n"
           "                         window sizes are scaled by the same factor\n"
           "  --volume N             master volume, 0..100 (default 100)\n"
           "  --mute                 play no sound\n"
           "  --soundfont FILE       General MIDI sound font (.sf2) for MIDI music\n"
           "\n"
           "Keys: hold Tab to fast-forward (up to four frames per display refresh,\n"
           "sound in step); Alt+Enter toggles full screen; F12 saves a screenshot\n"
           "to $XDG_DATA_HOME/quillfen/screenshots (default ~/.local/share/...).\n"
           "When the game directory cannot be written to, save records and\n"
           "_error.txt go to $XDG_DATA_HOME/quillfen/GAME, GAME being the\n"
           "directory's name.\n";
}

int parseCommandLine(const std::vector<std::string>& args, Options& out, std::string& error) {
    out = Options{};
    auto fail = [&](const std::string& why) {
        error = why;
        return 2;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) return false;
            into = args[++i];
            return true;
        };
        std::string v;
        long long n = 0;
        if (a == "--headless") {
            out.headless = true;
        } else if (a == "--help" || a == "-h") {
            out.help = true;
        } else if (a == "--version") {
            out.version = true;
        } else if (a == "--frames") {
            if (!value(v) || !parseInteger(v, 0, 1LL << 40, n)) return fail("--frames needs a frame count");
            out.frames = n;
        } else if (a == "--input") {
            if (!value(out.inputScript) || out.inputScript.empty()) return fail("--input needs a file");
        } else if (a == "--log") {
            if (!value(out.logFile) || out.logFile.empty()) return fail("--log needs a file");
        } else if (a == "--screenshot") {
            if (!value(out.screenshot) || out.screenshot.empty()) return fail("--screenshot needs a file");
        } else if (a == "--screenshot-at") {
            if (!value(v)) return fail("--screenshot-at needs N:FILE");
            size_t colon = v.find(':');
            if (colon == std::string::npos || colon + 1 >= v.size() || !parseInteger(v.substr(0, colon), 1, 1LL << 40, n))
                return fail("--screenshot-at needs N:FILE with a frame number from 1");
            out.screenshotsAt.emplace_back(n, v.substr(colon + 1));
        } else if (a == "--dump-vars") {
            if (!value(out.dumpVars) || out.dumpVars.empty()) return fail("--dump-vars needs a file");
        } else if (a == "--audio-out") {
            if (!value(out.audioOut) || out.audioOut.empty()) return fail("--audio-out needs a file");
        } else if (a == "--refresh-rate") {
            if (!value(v) || !parseInteger(v, 0, 1000, n)) return fail("--refresh-rate needs a rate in Hz (0..1000)");
            out.refreshRate = static_cast<int>(n);
        } else if (a == "--seed") {
            if (!value(v) || !parseInteger(v, 0, 4294967295LL, n)) return fail("--seed needs a number from 0 to 4294967295");
            out.seed = static_cast<unsigned>(n);
        } else if (a == "--fullscreen") {
            out.fullscreen = true;
        } else if (a == "--zoom") {
            if (!value(v) || !parseInteger(v, kMinZoom, kMaxZoom, n)) return fail("--zoom needs a percentage from 100 to 800");
            out.zoom = static_cast<int>(n);
        } else if (a == "--volume") {
            if (!value(v) || !parseInteger(v, 0, 100, n)) return fail("--volume needs a number from 0 to 100");
            out.volume = static_cast<int>(n);
        } else if (a == "--mute") {
            out.mute = true;
        } else if (a == "--soundfont") {
            if (!value(out.soundFont) || out.soundFont.empty()) return fail("--soundfont needs a file");
        } else if (a.size() > 1 && a[0] == '-') {
            return fail("unknown option '" + a + "'");
        } else {
            if (!out.path.empty()) return fail("more than one PATH given ('" + out.path + "' and '" + a + "')");
            out.path = a;
        }
    }
    if (!out.inputScript.empty() && !out.headless) return fail("--input works with --headless only");
    if (!out.audioOut.empty() && !out.headless) return fail("--audio-out works with --headless only");
    return 0;
}

}  // namespace qf
