// The file commands, and whole files of the game directory for the binary buffers.
#include "commands/files.h"

#include <ctime>
#include <optional>

#include "commands/args.h"
#include "commands/registry.h"
#include "res/file.h"
#include "res/file_io.h"

namespace qf {

bool readGameFile(Engine&, const std::string& name, std::vector<uint8_t>& out) {
    out.clear();
    int64_t size = fileSizeGet(name);
    if (size < 0) return false;
    if (size > kMaxGameFileBytes) return false;
    out.resize(static_cast<size_t>(size));
    int64_t got = size == 0 ? 0 : fileRead(name, out, size, 0);
    if (got < 0 || (size > 0 && got == 0)) return false;
    out.resize(static_cast<size_t>(got));
    return true;
}

bool writeGameFile(Engine&, const std::string& name, const uint8_t* data, size_t size) {
    File file;
    return file.Write(name, data, static_cast<int64_t>(size), 0, 0) == static_cast<int64_t>(size);
}

namespace {

void cmdFileCopy(Engine& e) { fileCopy(argText(e, 1), argText(e, 0), false); }
void cmdFileDel(Engine& e) { fileDelete(e.host, argText(e, 0)); }
void cmdDirCreate(Engine& e) { fileDirCreate(argText(e, 0)); }

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
    std::optional<std::string> text = fileTimeGetStr(argText(e, 1));
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
