// The one place that gathers the handlers of every family, and the lists of
// commands that do nothing.
#include "commands/registry.h"

#include "script/interpreter.h"

namespace qf {

void cmdNothing(Engine&) {}

std::vector<CommandBinding> commandBindings() {
    std::vector<CommandBinding> out;
    for (const CommandFamily* family :
         {&kControlCommands, &kEngineCommands, &kDisplayCommands, &kVariableCommands, &kNumberCommands, &kFileCommands,
          &kTableCommands, &kPictureCommands, &kFontCommands, &kPlaneCommands, &kSpriteCommands, &kGaugeCommands,
          &kInputCommands, &kWindowCommands, &kChoiceCommands, &kRecordCommands, &kAudioCommands,
          &kMessageCommands, &kEffectCommands, &kPluginCommands, &kImagePluginCommands, &kMovieCommands, &kKpiCommands, &kMapCommands,
          &kEventCommands})
        out.insert(out.end(), family->begin(), family->end());
    return out;
}

void installCommands(Interpreter& interpreter) {
    interpreter.handlers.fill(&cmdNothing);
    for (const CommandBinding& b : commandBindings()) {
        int index = findCommand(b.name);
        if (index >= 0) interpreter.handlers[static_cast<size_t>(index)] = b.handler;
    }
}

const std::vector<const char*>& inertCommandNames() {
    static const std::vector<const char*> names = {
        "", "$", "*", "#", "#_error", "#infoInput", "#infoTag", "#dllFunc", "#include", "#endif", "#}", "#swend",
        "#picClear", "#msgIconAnm", "#mapRangeSet", "#path", "#evtMoveRun",
    };
    return names;
}

const std::vector<const char*>& pendingCommandNames() {
    static const std::vector<const char*> names = {
    };
    return names;
}

}  // namespace qf
