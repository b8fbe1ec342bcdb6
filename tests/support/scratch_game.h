// Scratch game directories for tests and benchmarks: a fresh temporary
// directory holding the given files, with a headless host and a fresh Engine
// whose game root is that directory.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/engine.h"
#include "app/game.h"
#include "platform/headless/headless_host.h"
#include "res/game_root.h"
#include "script/interpreter.h"

namespace qf::test {

class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quillfen-XXXXXX").string();
        if (::mkdtemp(pattern.data())) path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ec;
        if (!path_.empty()) std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline void writeFile(const std::string& path, const std::string& bytes) {
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent);
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

using FileList = std::initializer_list<std::pair<std::string, std::string>>;

struct ScratchGame {
    // Only the window table and the interpreter are set up: the test loads scripts itself.
    struct InterpreterOnly {};

    ScratchDir dir;
    HeadlessHost host;
    std::unique_ptr<Engine> engine;

    explicit ScratchGame(const FileList& files) {
        for (const auto& [name, bytes] : files) writeFile(dir / name, bytes);
        engine = std::make_unique<Engine>(host);
        if (std::optional<GameRoot> root = GameRoot::open(dir.path())) engine->files.SetRoot(std::move(*root));
    }
    // A file of the game directory.
    std::string file(const std::string& name) const { return readFile(dir / name); }
    ScratchGame(const FileList& files, InterpreterOnly) : ScratchGame(files) {
        RegisterStartupWindows(*engine);
        engine->interp.start();
    }
};

}  // namespace qf::test
