// Arbitrary message texts through the message window: typed page by page
// (with the key pressed at every wait), continued, skipped and drawn. The
// first bytes choose the layout; the rest is the text, split at a 0xFF byte
// into the text of a first message and that of a continuation.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "app/engine.h"
#include "app/game.h"
#include "app/message_windows.h"
#include "app/text_and_frames.h"
#include "platform/headless/headless_host.h"

namespace {

struct World {
    qf::HeadlessHost host;
    qf::Engine e{host};
    World() {
        qf::RegisterStartupWindows(e);
        qf::installTextAndFrames(e);
        qf::installMessageWindows(e);
        e.interp.start();
        e.vars.valSetInt("a", 7);
        e.vars.valSetInt("i", 1);
        e.vars.valSetStr("arr[1]", "<\\!$a\\H");
        e.vars.valSetStr("s", std::string(300, 'x'));
    }
};

}  // namespace

// fontconfig keeps a few blocks of its set-up unreachable for the rest of
// the process; they are made once, not per input.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static World* world = new World;
    qf::Engine& e = world->e;
    qf::MessageWindow& w = e.messages;
    const qf::MessageLinks links = w.links;
    w = qf::MessageWindow();
    w.links = links;
    w.Defaults(40);
    qf::MessageLogClear(e.messageLog);
    e.windows.Activate(qf::WND_DRV);
    e.pictures.SelectTarget(qf::Pictures::kBackBufferSlot);

    if (size < 3) return 0;
    w.columns = data[0] % 64 - 2;  // -2..61: degenerate widths included
    w.maxLines = data[1] % 8 - 1;
    w.speed = data[2] % 16;
    const bool skip = data[2] & 0x80;
    std::string_view rest(reinterpret_cast<const char*>(data + 3), size - 3);
    const size_t cut = rest.find('\xFF');
    const std::string first(rest.substr(0, cut));
    const std::string second(cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1));

    w.Begin(first, "name");
    if (!second.empty()) w.continueFlag = w.keepWindow = 1;
    for (int frame = 0; frame < 400 && w.active; ++frame) {
        if (skip && frame == 3) w.SkipAll();
        w.Step();
        w.Draw();
        if (w.state != qf::kMessageTyping || frame % 7 == 6) w.Advance();
        // The script's next "#msg" once the first text hands the frame back.
        if (!second.empty() && e.windows.FocusWindow() == qf::WND_DRV && w.active) w.Begin(second, "");
    }
    w.End();
    return 0;
}
