// One Engine owns every subsystem's state for the whole run. Command handlers
// and subsystems reach each other through it, never through globals.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/debug_overlay.h"
#include "app/user_data.h"
#include "script/frame_timers.h"
#include "audio/audio.h"
#include "gfx/clip.h"
#include "gfx/display.h"
#include "gfx/effects.h"
#include "gfx/gauges.h"
#include "gfx/movie.h"
#include "gfx/pictures.h"
#include "wnd/planes.h"
#include "gfx/sprites.h"
#include "gfx/text_output.h"
#include "input/input.h"
#include "map/map_layers.h"
#include "map/objects_state.h"
#include "platform/host.h"
#include "res/error_log.h"
#include "res/file_manager.h"
#include "res/keystream.h"
#include "res/rom_packer.h"
#include "script/interpreter.h"
#include "script/plugin_host.h"
#include "script/program.h"
#include "script/random.h"
#include "script/tables.h"
#include "script/variables.h"
#include "wnd/flag_window.h"
#include "wnd/frame.h"
#include "wnd/message_log.h"
#include "wnd/message_window.h"
#include "wnd/name_window.h"
#include "wnd/number_window.h"
#include "wnd/record_window.h"
#include "wnd/selection_window.h"
#include "wnd/window_table.h"

namespace qf {

// Settings of "#drivenMode" that the frame loop reads.
struct RunSettings {
    int statisticsMode = 1;
    int alternateFrameMode = 0;
    int runMode = 0;
    int messageDisplay = 1;
};

// The application object: frame pacing, quit request, overlay state.
struct Game {
    int refreshRate = 0;
    std::string scriptName;  // Shift-JIS file name given on the command line
    int initialised = 0;     // GameInit completed
    int quitRequest = 0;     // "#quit", "#end", the interpreter's stop
    int quitPosted = 0;      // the loop ends at its next message check
    uint32_t pacerReference = 0;
    int pacerStarted = 0;
    int alternateParity = 1;
    int debugPanel[10] = {};
    int debugRepeat = 0;
    uint32_t frameHistory[60] = {};
    int frameHistoryIndex = 0;
    long fpsCount = 0, fpsValue = 0;
    uint32_t fpsMark = 0;
    OverlayPages overlayPages;
    std::optional<unsigned> seed;  // --seed: replaces the time as the random seed
};

struct Engine {
    Host& host;
    // The error log comes first: the file manager and the packer write to it.
    ErrorLog errorLog;
    FileManager files;
    ResourceAccess resources;
    // Declared after the file manager so that it stops first.
    RomPacker packer;
    Game game;
    ScriptRandom random;
    FrameTimers timers;
    RunSettings run;
    WindowTable windows;
    Display display;
    Pictures pictures;
    TextState text;
    Sprites sprites;
    Gauges gauges;
    Planes planes;
    ScreenEffects effects;
    Clip clip;
    // The movie of "#aviLoad" … "#aviStop".
    Movie movie{host};
    WindowLooks looks;
    FlagWindow flagWindow;
    MessageWindow messages;
    MessageLog messageLog;
    SelectionWindow selection;
    NumberWindow numberWindow;
    NameWindow nameWindow;
    RecordWindow recordWindow;
    // Save records restart this keystream for every file.
    Keystream recordKeystream;
    Input input;
    Audio audio;
    Variables vars;
    Rpn rpn;
    Program program;
    Interpreter interp;
    DataSlots data;
    // The four map slots with the current one, the upper layer, the land grid.
    MapLayers maps;
    // The map objects and the movement range.
    MapEvents mapEvents;
    // Where records and "_error.txt" go when the game directory is read-only.
    UserData userData;
    // Last, so that the plug-ins close while the tables they see still exist.
    PluginHost plugins;

    explicit Engine(Host& h);
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;
};

}  // namespace qf
