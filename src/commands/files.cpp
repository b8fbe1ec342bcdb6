// The file commands, and whole files of the game directory for the binary buffers.
#include "commands/files.h"

#include <ctime>
#include <optional>

#include "commands/args.h"
#include "commands/registry.h"
#include "res/file_io.h"
#include "res/game_root.h"
#include "res/safe_write.h"

namespace qf {

bool readGameFile(Engine& e, const std::string& name, std::vector<uint8_t>& out) {
    out.clear();
    std::optional<std::vector<uint8_t>> bytes = e.files.Root().readAll(name, static_cast<uint64_t>(kMaxGameFileBytes));
    if (!bytes) return false;
    out = std::move(*bytes);
    return true;
}

bool writeGameFile(Engine& e, const std::string& name, const uint8_t* data, size_t size) {
    return writeFileSafely(e.files.Root(), name, std::span<const uint8_t>(data, size));
}

namespace {

void cmdFileCopy(Engine& e) { fileCopy(e.files.Root(), argText(e, 1), argText(e, 0), false); }
void cmdFileDel(Engine& e) { fileDelete(e.files.Root(), e.host, argText(e, 0)); }
void cmdDirCreate(Engine& e) { fileDirCreate(e.files.Root(), argText(e, 0)); }

void cmdFileGetTime(Engine& e) {
    if (!argGiven(e, 0)) {
        std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        setVariableInt(e, "_year", local.tm_year + 1900);
        setVariableInt(e, "_month", local.tm_mon + 1);
        setVariableInt(e, "_day", local.tm_mday);
        setVariableInt(e, "_hour", local.tm_hour);
        setVariableInt(e, "_minute", local.tm_min);
        setVariableInt(e, "_second", local.tm_sec);
        setVariableInt(e, "_week", local.tm_wday);
        return;
    }
    std::optional<std::string> text = fileTimeGetStr(e.files.Root(), argText(e, 1));
    if (text) setVariableText(e, argText(e, 0), *text);
}

}  // namespace

const CommandFamily kFileCommands = [] {
    static constexpr CommandBinding bindings[] = {
        {"#fileCopy", cmdFileCopy},
        {"#fileDel", cmdFileDel},
        {"#fileGetTime", cmdFileGetTime},
        {"#dirCreate", cmdDirCreate},
    };
    return CommandFamily(bindings);
}();

}  // namespace qf
