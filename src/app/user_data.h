// The player's data directory, for what the engine writes on the player's
// behalf when the game directory cannot be written to (a game installed
// under /usr/share): save records and "_error.txt" then go to
// $XDG_DATA_HOME/quillfen/<game directory name>/ (~/.local/share when the
// variable is unset). A writable game directory is used as it is.
#pragma once

#include <optional>
#include <string>

#include "res/game_root.h"

namespace qf {

class Host;

// $XDG_DATA_HOME/quillfen/ (or ~/.local/share/quillfen/), with a trailing "/";
// empty when neither variable gives an absolute directory.
std::string userDataHome();

// True when files can be created in the directory: decided by the kernel's
// own check for the effective user, which also holds for root (a read-only
// mount, an immutable directory).
bool directoryWritable(const GameRoot& root);

// The name the game's records are kept under: the last piece of the game
// directory's absolute path ("game" for the file system's root).
std::string gameDirectoryName(const std::string& directory);

// Creates every missing directory of an absolute path (mode 0700).
bool makeDirectories(const std::string& path);

class UserData {
public:
    // Decides where the run's records and error log go. When the game
    // directory cannot be written to, opens (creating it) the player's
    // directory for the game and says so in a debug line; when that fails
    // too, a debug line says why and the game directory is kept.
    void choose(Host& host, const GameRoot& game, const std::string& gameDirectory);

    // The directory records and "_error.txt" are written to, or null when
    // that is the game directory.
    const GameRoot* root() const { return root_ ? &*root_ : nullptr; }
    const std::string& path() const { return path_; }

private:
    std::optional<GameRoot> root_;
    std::string path_;
};

}  // namespace qf
