// Arbitrary bytes as an input-event script: parsed, then every event applied
// to a headless host whose clock is moved past it.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/headless/headless_host.h"
#include "platform/input_script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qf::InputScript script;
    std::string error;
    if (!qf::parseInputScript(std::string_view(reinterpret_cast<const char*>(data), size), script, error)) return 0;
    qf::HeadlessHost host;
    host.setInputScript(script);
    for (int frame = 0; frame < 64; ++frame) {
        host.pumpEvents();
        host.frameRan();
        host.sleepMs(16);
        (void)host.takeWheelDelta();
        int x = 0, y = 0;
        host.cursorPosition(x, y);
        (void)host.cursorInClient();
    }
    return 0;
}
