// The picture commands: arguments evaluated to integers, then handed to the pictures.
#include <array>

#include "app/engine.h"
#include "gfx/picture_commands.h"
#include "script/command_handlers.h"
#include "script/interpreter.h"
#include "script/script_services.h"

namespace qf {

namespace {

template <size_t N>
std::array<int, N> ints(Engine& e) {
    std::array<int, N> a{};
    for (size_t i = 0; i < N; ++i) a[i] = argInt(e, static_cast<int>(i));
    return a;
}

void cmdBgColor(Engine& e) { picBgColor(e.pictures, ints<3>(e)); }

void cmdPicLoad(Engine& e) {
    const int slot = argInt(e, 0);
    if (!picLoad(e.pictures, slot, argText(e, 1), argInt(e, 2))) return;
    const S_Dib* dib = e.pictures.Slot(slot);
    const std::string index = "[" + std::to_string(slot) + "]";
    setVariableInt(e, "_picW" + index, dib ? dib->Width() : 0);
    setVariableInt(e, "_picH" + index, dib ? dib->Height() : 0);
}

void cmdPicTransColor(Engine& e) { picTransColor(e.pictures, ints<4>(e)); }
void cmdPicCopy(Engine& e) { picCopy(e.pictures, ints<10>(e)); }
void cmdPicFlip(Engine& e) { picFlip(e.pictures, ints<2>(e)); }
void cmdPicRegion(Engine& e) { picRegion(e.pictures, ints<5>(e)); }
void cmdPicFloodFill(Engine& e) { picFloodFill(e.pictures, ints<6>(e)); }

}  // namespace

const std::vector<CommandBinding>& pictureCommandBindings() {
    static const std::vector<CommandBinding> bindings = {
        {"#bgColor", cmdBgColor},   {"#picLoad", cmdPicLoad}, {"#picTransColor", cmdPicTransColor},
        {"#picCopy", cmdPicCopy},   {"#picFlip", cmdPicFlip}, {"#picRegion", cmdPicRegion},
        {"#picFloodFill", cmdPicFloodFill},
    };
    return bindings;
}

}  // namespace qf
