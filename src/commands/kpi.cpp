// The KPI music commands. Loads and play requests hold the archive packer
// back while the decoder library and its sound are touched. Arguments are
// truncated to integers; a left-out argument is passed on as kNil.
#include <string>

#include "app/engine.h"
#include "commands/args.h"
#include "commands/registry.h"

namespace qf {

namespace {

// The packer is suspended for as long as this lives.
class PackerPause {
public:
    explicit PackerPause(RomPacker& packer) : packer_(packer) { romSuspend(packer_); }
    ~PackerPause() { romResume(packer_); }
    PackerPause(const PackerPause&) = delete;
    PackerPause& operator=(const PackerPause&) = delete;

private:
    RomPacker& packer_;
};

std::string fileArg(Engine& e, int slot) { return argGiven(e, slot) ? argText(e, slot) : std::string(); }

// sound file, decoder plug-in file
void cmdKpiLoad(Engine& e) {
    PackerPause pause(e.packer);
    e.audio.kpi.loadCommand(fileArg(e, 0), fileArg(e, 1));
}

// seconds, volume
void cmdKpiPlay(Engine& e) {
    PackerPause pause(e.packer);
    e.audio.kpi.playCommand(argInt(e, 0), argInt(e, 1));
}

void cmdKpiStop(Engine& e) { e.audio.kpi.stopCommand(); }
void cmdKpiPause(Engine& e) { e.audio.kpi.pauseCommand(); }

// A left-out volume changes nothing (it would otherwise silence the stream).
void cmdKpiVol(Engine& e) {
    if (argGiven(e, 0)) e.audio.kpi.volumeCommand(argInt(e, 0));
}

}  // namespace

const CommandFamily kKpiCommands = [] {
    static constexpr CommandBinding bindings[] = {
        {"#kpiLoad", cmdKpiLoad}, {"#kpiPlay", cmdKpiPlay}, {"#kpiStop", cmdKpiStop},
        {"#kpiPause", cmdKpiPause}, {"#kpiVol", cmdKpiVol},
    };
    return CommandFamily(bindings);
}();

}  // namespace qf
