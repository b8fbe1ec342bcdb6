// The font commands: size, spacing, style, full-width digits and face; the
// text and shadow colours; private fonts from the game's resources.
#include "gfx/text_output.h"
#include "commands/args.h"
#include "commands/registry.h"

namespace qf {

namespace {

// Larger font files are taken as no font.
constexpr int32_t kMaxFontBytes = 64 << 20;

void cmdFontSet(Engine& e) {
    if (argGiven(e, 0)) SetFontSize(e.text, argInt(e, 0));
    if (argGiven(e, 1)) SetLineSpacing(e.text, argInt(e, 1));
    if (argGiven(e, 2)) SetTextStyle(e.text, argInt(e, 2));
    if (argGiven(e, 3)) SetFullWidthDigits(e.text, argInt(e, 3));
    if (argGiven(e, 4)) SetFontName(e.text, argText(e, 4));
}

void cmdFontColor(Engine& e) {
    if (argGiven(e, 0)) SetFontColor(e.text, argInt(e, 0), argInt(e, 1), argInt(e, 2));
    if (argGiven(e, 3)) SetShadowColor(e.text, argInt(e, 3), argInt(e, 4), argInt(e, 5));
}

// The resource name is the rest of the line as written, not an expression.
// Trailing blanks are dropped, as Windows drops them from file names.
void cmdFontInst(Engine& e) {
    std::string name = argLineText(e);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
    std::string bytes;
    if (name.empty() || resSizeGet(e.resources, name) > kMaxFontBytes || !readScript(e, name, bytes)) return;
    const int handle = e.host.installPrivateFont(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    if (handle == 0) return;
    e.text.privateFontHost = &e.host;
    e.text.privateFontHandle = handle;
}

}  // namespace

const CommandFamily kFontCommands = [] {
    static constexpr CommandBinding bindings[] = {
        {"#fontSet", cmdFontSet},
        {"#fontColor", cmdFontColor},
        {"#fontInst", cmdFontInst},
    };
    return CommandFamily(bindings);
}();

}  // namespace qf
