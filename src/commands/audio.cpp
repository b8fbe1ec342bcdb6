// The sound commands: MIDI, the MCI devices and command strings, the
// sound-effect slots and the Ogg music stream. Arguments are truncated to
// integers; each handler makes one call into the player it names.
#include <optional>
#include <string>

#include "audio/audio.h"
#include "commands/args.h"
#include "commands/registry.h"

namespace qf {

namespace {

// A file-name argument; a left-out one names no file, so the load finds
// nothing, as it would for a missing file.
std::string fileArg(Engine& e, int slot) { return argGiven(e, slot) ? argText(e, slot) : std::string(); }

void cmdMidiLoad(Engine& e) { e.audio.midi.load(fileArg(e, 0)); }
void cmdMidiPlay(Engine& e) { e.audio.midi.play(); }
void cmdMidiStop(Engine& e) { e.audio.midi.stop(); }
void cmdMidiPause(Engine& e) { e.audio.midi.pause(); }

void cmdMciLoad(Engine& e) { e.audio.mci.load(argInt(e, 0)); }
void cmdMciPlay(Engine& e) { e.audio.mci.play(argInt(e, 0)); }
void cmdMciStop(Engine& e) { e.audio.mci.stop(argInt(e, 0)); }
void cmdMciClose(Engine& e) { e.audio.mci.close(argInt(e, 0)); }
// An MCI command string is not split at commas.
void cmdMci(Engine& e) { e.audio.mci.command(argLineText(e)); }

void cmdWavLoad(Engine& e) {
    e.audio.effects.loadCommand(argInt(e, 0), argGiven(e, 1) ? std::optional<std::string>(argText(e, 1)) : std::nullopt);
}
void cmdWavPlay(Engine& e) { e.audio.effects.play(argInt(e, 0)); }
void cmdWavStop(Engine& e) { e.audio.effects.stop(); }

void cmdOggLoad(Engine& e) { e.audio.ogg.loadCommand(fileArg(e, 0)); }

// fadeIn, volume, offset, loopStart, loopEnd. The offset written as the
// variable _offset resumes where the last refill left the stream; _offset
// always receives that position.
void cmdOggPlay(Engine& e) {
    const bool offsetIsCurrent = argGiven(e, 2) && argName(e, 2) == "_offset";
    const int position =
        e.audio.ogg.playCommand(argInt(e, 0), argInt(e, 1), argInt(e, 2), argInt(e, 3), argInt(e, 4), offsetIsCurrent);
    setVariableInt(e, "_offset", position);
}

void cmdOggStop(Engine& e) { e.audio.ogg.stopCommand(argInt(e, 0)); }
void cmdOggPause(Engine& e) { e.audio.ogg.pauseCommand(); }

// A left-out volume changes nothing (it would otherwise silence the stream).
void cmdOggVol(Engine& e) {
    if (argGiven(e, 0)) e.audio.ogg.volumeCommand(argInt(e, 0));
}

}  // namespace

const CommandFamily kAudioCommands = [] {
    static constexpr CommandBinding bindings[] = {
        {"#midiLoad", cmdMidiLoad}, {"#midiPlay", cmdMidiPlay}, {"#midiStop", cmdMidiStop},
        {"#midiPause", cmdMidiPause}, {"#mciLoad", cmdMciLoad}, {"#mciPlay", cmdMciPlay},
        {"#mciStop", cmdMciStop},   {"#mciClose", cmdMciClose}, {"#mci", cmdMci},
        {"#wavLoad", cmdWavLoad},   {"#wavPlay", cmdWavPlay},   {"#wavStop", cmdWavStop},
        {"#oggLoad", cmdOggLoad},   {"#oggPlay", cmdOggPlay},   {"#oggStop", cmdOggStop},
        {"#oggPause", cmdOggPause}, {"#oggVol", cmdOggVol},
    };
    return CommandFamily(bindings);
}();

}  // namespace qf
