// Script-facing file access. Resources are read from the game directory.
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/engine.h"
#include "script/script_services.h"

namespace qf {

std::string diskPath(Engine&, const std::string& name) {
    std::string path = name;
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

bool readScript(Engine& e, const std::string& name, std::string& out) {
    out.clear();
    std::ifstream in(diskPath(e, name), std::ios::binary);
    if (!in) return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

long long resourceSize(Engine& e, const std::string& name) {
    struct stat st {};
    if (stat(diskPath(e, name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    return st.st_size;
}

void logMissingFile(Engine&, const std::string&) {}
int romMode(Engine& e) { return e.game.romMode; }
void setRomMode(Engine& e, int mode) { e.game.romMode = mode; }
bool openArchive(Engine&, const std::string&) { return false; }
bool archiveFailedVerification(Engine&) { return false; }
void startPacker(Engine&) {}
const GameInfo& gameInfo(Engine& e) { return e.info; }
void setGameInfo(Engine& e, const GameInfo& info) { e.info = info; }

std::vector<std::string> listGameDirectory(Engine&) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(".", ec))
        if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void copyFile(Engine& e, const std::string& from, const std::string& to) {
    std::error_code ec;
    std::filesystem::copy_file(diskPath(e, from), diskPath(e, to), std::filesystem::copy_options::overwrite_existing, ec);
}
void deleteFile(Engine& e, const std::string& name) { std::remove(diskPath(e, name).c_str()); }
void createDirectory(Engine& e, const std::string& name) {
    std::error_code ec;
    std::filesystem::create_directory(diskPath(e, name), ec);
}
bool fileWriteTime(Engine& e, const std::string& name, std::tm& out) {
    struct stat st {};
    if (stat(diskPath(e, name).c_str(), &st) != 0) return false;
    localtime_r(&st.st_mtime, &out);
    return true;
}
bool writeDiskFile(Engine& e, const std::string& name, const uint8_t* data, size_t size) {
    std::ofstream out(diskPath(e, name), std::ios::binary);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return static_cast<bool>(out);
}

}  // namespace qf
