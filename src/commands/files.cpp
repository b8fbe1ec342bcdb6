// Script-facing file access. Game resources go through the resource lookup
// (loose files or the open archive); the file commands work on the disk.
#include <cstring>
#include <span>

#include "app/engine.h"
#include "res/file.h"
#include "res/file_io.h"
#include "script/script_services.h"

namespace qf {

namespace {

// The whole resource into a byte container; false when missing or empty.
template <class Bytes>
bool readWhole(Engine& e, const std::string& name, Bytes& out) {
    out.clear();
    int32_t size = resSizeGet(e.resources, name);
    if (size <= 0) return false;
    out.resize(static_cast<size_t>(size));
    int32_t got = resRead(e.resources, name, std::span<uint8_t>(reinterpret_cast<uint8_t*>(out.data()), out.size()));
    if (got <= 0) {
        out.clear();
        return false;
    }
    out.resize(static_cast<size_t>(got));
    return true;
}

}  // namespace

bool readScript(Engine& e, const std::string& name, std::string& out) { return readWhole(e, name, out); }
bool readResource(Engine& e, const std::string& name, std::vector<uint8_t>& out) { return readWhole(e, name, out); }

long long resourceSize(Engine& e, const std::string& name) { return resSizeGet(e.resources, name); }

void logMissingFile(Engine& e, const std::string& name) { errLogAdd(e.errorLog, 4, name); }
int romMode(Engine& e) { return e.files.m_nRomMode; }
void setRomMode(Engine& e, int mode) { e.files.m_nRomMode = mode; }
bool openArchive(Engine& e, const std::string& name) { return e.files.RomOpen(name); }
bool archiveFailedVerification(Engine& e) { return e.files.m_bRomOk == 0; }
void startPacker(Engine& e) { romCreateStart(e.packer, &e.files); }

GameInfo gameInfo(Engine& e) {
    GameInfo info;
    std::memcpy(info.bytes, e.files.m_Info, sizeof info.bytes);
    return info;
}
void setGameInfo(Engine& e, const GameInfo& info) { std::memcpy(e.files.m_Info, info.bytes, sizeof info.bytes); }

std::vector<std::string> listGameDirectory(Engine&) {
    std::string listing;
    fileListGet(listing, fileCurDirGet(), 2, "\\*");
    return splitAny(listing, "\n");
}

void copyFile(Engine&, const std::string& from, const std::string& to) { fileCopy(to, from, false); }
void deleteFile(Engine& e, const std::string& name) { fileDelete(e.host, name); }
void createDirectory(Engine&, const std::string& name) { fileDirCreate(name); }

bool fileTimeText(Engine&, const std::string& name, std::string& out) {
    std::optional<std::string> text = fileTimeGetStr(name);
    if (!text) return false;
    out = *text;
    return true;
}

bool readDiskFile(Engine&, const std::string& name, std::vector<uint8_t>& out) {
    out.clear();
    int64_t size = fileSizeGet(name);
    if (size < 0) return false;
    if (size > kMaxDiskFileBytes) return false;
    out.resize(static_cast<size_t>(size));
    int64_t got = size == 0 ? 0 : fileRead(name, out, size, 0);
    if (got < 0 || (size > 0 && got == 0)) return false;
    out.resize(static_cast<size_t>(got));
    return true;
}

bool writeDiskFile(Engine&, const std::string& name, const uint8_t* data, size_t size) {
    File file;
    return file.Write(name, data, static_cast<int64_t>(size), 0, 0) == static_cast<int64_t>(size);
}

}  // namespace qf
