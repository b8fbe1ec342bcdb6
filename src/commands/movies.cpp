// "#aviLoad", "#aviDraw", "#aviStop": the frames of a movie file drawn into picture slots.
#include <vector>

#include "commands/args.h"
#include "commands/registry.h"

namespace qf {

namespace {

void cmdAviLoad(Engine& e) {
    std::vector<uint8_t> bytes;
    const bool found = readResource(e, argText(e, 0), bytes);
    setVariableInt(e, "_aviCntFrame", e.movie.Load(found, std::move(bytes)));
}

void cmdAviDraw(Engine& e) { e.movie.Draw(e.pictures, argInt(e, 0), argInt(e, 1)); }

void cmdAviStop(Engine& e) { e.movie.Stop(); }

}  // namespace

const CommandFamily kMovieCommands = [] {
    static constexpr CommandBinding bindings[] = {
        {"#aviLoad", cmdAviLoad},
        {"#aviDraw", cmdAviDraw},
        {"#aviStop", cmdAviStop},
    };
    return CommandFamily(bindings);
}();

}  // namespace qf
