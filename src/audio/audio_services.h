// What the sound players need from the rest of the engine, passed in as
// functions so that the players know nothing of the resource layer or the
// host's window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qf {

// Reads a whole file by its Shift-JIS name into `out`. False: the file does
// not exist (a size below 0). True with no bytes: it exists and is empty.
using AudioFileReader = std::function<bool(const std::string& sjisName, std::vector<uint8_t>& out)>;

// A message box with a caption and a text, both Shift-JIS.
using AudioMessageBox = std::function<void(const std::string& captionSjis, const std::string& textSjis)>;

struct AudioServices {
    // The resource lookup: the ROM archive in archive mode, else the game directory.
    AudioFileReader readResource;
    // A loose file of the game directory; the archive is never consulted.
    AudioFileReader readDiskFile;
    // Called on the main thread only: the players hold back what goes wrong
    // on the device's thread until their next frame service.
    AudioMessageBox messageBox;
    // True while the engine's main window is the foreground window. Asked on
    // the sound device's thread, so it must be safe to call from any thread.
    std::function<bool()> isForeground;
};

}  // namespace qf
