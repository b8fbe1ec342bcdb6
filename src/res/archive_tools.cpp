#include "res/archive_tools.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <set>

#include "platform/headless/headless_host.h"
#include "platform/sjis.h"
#include "res/disk_path.h"
#include "res/error_log.h"
#include "res/game_root.h"
#include "res/posix_file.h"
#include "res/safe_write.h"
#include "res/rom1.h"
#include "res/rom_check.h"
#include "res/rom_packer.h"

namespace qf {

namespace {

// Message boxes of the archive code, shown on the error stream.
void flushMessages(const HeadlessHost& host, std::ostream& err) {
    for (const std::string& line : host.logLines()) {
        if (line.rfind("dialog\t", 0) != 0) continue;
        std::string rest = line.substr(7);
        size_t tab = rest.find('\t');
        if (tab != std::string::npos) rest = rest.substr(0, tab) + ": " + rest.substr(tab + 1);
        err << rest << "\n";
    }
}

void flushErrorLog(const ErrorLog& log, std::ostream& err) {
    std::string text = log.text();
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        err << sjisToUtf8(text.substr(start, end - start)) << "\n";
        start = end + 2;
    }
}

// An entry name for the terminal: UTF-8, with control characters written as \xNN
// so that a name cannot move the cursor or rewrite what was printed.
std::string printable(const std::string& sjisName) {
    std::string utf8 = sjisToUtf8(sjisName), out;
    for (unsigned char c : utf8) {
        if (c < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

struct OpenedArchive {
    HeadlessHost host;
    ErrorLog log;
    std::unique_ptr<S_Rom> rom;
};

// The archive opened as the engine opens it; null after reporting why not.
std::unique_ptr<OpenedArchive> openArchive(const std::string& path, std::ostream& err) {
    auto opened = std::make_unique<OpenedArchive>();
    auto file = std::make_unique<PosixFile>(path, O_RDONLY);
    if (!file->ok()) {
        err << "cannot open " << path << "\n";
        return nullptr;
    }
    int layout = romLayoutCheck(opened->host, *file);
    opened->rom = makeRom(layout, opened->host, opened->log);
    if (!opened->rom || !opened->rom->OpenFile(std::move(file), path)) {
        flushMessages(opened->host, err);
        err << path << ": not a readable archive\n";
        return nullptr;
    }
    return opened;
}

bool makeDirectory(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);  // a link is not followed
    return ::mkdir(path.c_str(), 0777) == 0;
}

}  // namespace

const char* archiveToolUsage() {
    return "usage: quillfen pack DIR [ARCHIVE]\n"
           "       quillfen list ARCHIVE\n"
           "       quillfen unpack ARCHIVE DIR\n"
           "       quillfen verify ARCHIVE\n";
}

std::vector<std::string> safeRelativePieces(const std::string& name) {
    std::vector<std::string> pieces;
    std::string piece;
    for (size_t i = 0; i <= name.size(); ++i) {
        unsigned char c = i < name.size() ? static_cast<unsigned char>(name[i]) : '\\';
        if (i < name.size() && isCp932LeadByte(c) && i + 1 < name.size() &&
            isCp932TrailByte(static_cast<unsigned char>(name[i + 1]))) {
            piece += name[i];
            piece += name[++i];
            continue;
        }
        if (c == 0 || c == ':') return {};
        if (c == '\\' || c == '/') {
            if (piece.empty() || piece == "." || piece == "..") return {};
            pieces.push_back(piece);
            piece.clear();
        } else {
            piece += static_cast<char>(c);
        }
    }
    return pieces;
}

int archiveToolPack(const std::string& dir, const std::string& archive, std::ostream& out, std::ostream& err,
                    const uint8_t* info) {
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        err << dir << ": not a directory\n";
        return 1;
    }
    std::string target = archive.empty() ? dir + "/rom.ar1" : archive;
    std::string reason;
    std::optional<GameRoot> source = GameRoot::open(dir, &reason);
    if (!source) {
        err << dir << ": " << reason << "\n";
        return 1;
    }
    // The archive's earlier version is never packed into the new one.
    struct stat earlier {};
    const bool replacing = ::stat(target.c_str(), &earlier) == 0;
    HeadlessHost host;
    ErrorLog log;
    SafeWriter archiveFile;
    bool written = archiveFile.begin(target) &&
                   romCreate(host, log, info, *source, archiveFile, replacing ? static_cast<uint64_t>(earlier.st_dev) : 0,
                             replacing ? static_cast<uint64_t>(earlier.st_ino) : 0);
    if (!written && !archiveFile.reason().empty()) err << target << ": " << archiveFile.reason() << "\n";
    flushErrorLog(log, err);
    if (!written) {
        err << target << ": the archive could not be written\n";
        return 1;
    }
    std::unique_ptr<OpenedArchive> opened = openArchive(target, err);
    if (!opened) return 1;
    out << "packed " << opened->rom->Count() << " files into " << target << "\n";
    return log.empty() ? 0 : 1;
}

int archiveToolList(const std::string& archive, std::ostream& out, std::ostream& err) {
    std::unique_ptr<OpenedArchive> opened = openArchive(archive, err);
    if (!opened) return 1;
    const S_Rom& rom = *opened->rom;
    for (int i = 0; i < rom.Count(); ++i) {
        char size[32];
        std::snprintf(size, sizeof size, "%10u  ", rom.m_pSize[static_cast<size_t>(i)]);
        out << size << printable(rom.m_pName[static_cast<size_t>(i)]) << "\n";
    }
    return 0;
}

int archiveToolUnpack(const std::string& archive, const std::string& dir, std::ostream& out, std::ostream& err) {
    std::unique_ptr<OpenedArchive> opened = openArchive(archive, err);
    if (!opened) return 1;
    S_Rom& rom = *opened->rom;
    std::vector<std::vector<std::string>> paths(static_cast<size_t>(rom.Count()));
    bool refused = false;
    for (int i = 0; i < rom.Count(); ++i) {
        paths[static_cast<size_t>(i)] = safeRelativePieces(rom.m_pName[static_cast<size_t>(i)]);
        if (paths[static_cast<size_t>(i)].empty()) {
            err << "refused: entry " << i << " \"" << printable(rom.m_pName[static_cast<size_t>(i)])
                << "\" would leave " << dir << "\n";
            refused = true;
        }
    }
    if (refused) return 1;
    if (!makeDirectory(dir)) {
        err << dir << ": cannot create the directory\n";
        return 1;
    }
    int failures = 0, written = 0;
    std::set<std::string> seen;
    for (int i = 0; i < rom.Count(); ++i) {
        const std::string& name = rom.m_pName[static_cast<size_t>(i)];
        if (!seen.insert(name).second) {
            err << "skipped: a second entry named \"" << printable(name) << "\"\n";
            continue;
        }
        const std::vector<std::string>& pieces = paths[static_cast<size_t>(i)];
        std::string path = dir;
        bool ok = true;
        for (size_t k = 0; k + 1 < pieces.size() && ok; ++k) {
            path += "/" + pieces[k];
            ok = makeDirectory(path);
        }
        path += "/" + pieces.back();
        const uint8_t* data = ok ? rom.ReadIndex(i) : nullptr;
        if (data) {
            int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
            size_t size = rom.m_pSize[static_cast<size_t>(i)];
            ok = fd >= 0;
            for (size_t done = 0; ok && done < size;) {
                ssize_t n = ::write(fd, data + done, size - done);
                if (n <= 0) ok = false;
                else done += static_cast<size_t>(n);
            }
            if (fd >= 0 && ::close(fd) != 0) ok = false;
        } else {
            ok = false;
        }
        rom.FreeCode();
        if (!ok) {
            err << "cannot write " << printable(path) << "\n";
            ++failures;
        } else {
            ++written;
        }
    }
    out << "unpacked " << written << " files into " << dir << "\n";
    return failures ? 1 : 0;
}

int archiveToolVerify(const std::string& archive, std::ostream& out, std::ostream& err) {
    std::unique_ptr<OpenedArchive> opened = openArchive(archive, err);
    if (!opened) return 1;
    auto* rom1 = dynamic_cast<S_Rom1*>(opened->rom.get());
    if (!rom1) {
        out << archive << ": layout 0 holds no CRCs; table of " << opened->rom->Count() << " entries read\n";
        return 0;
    }
    if (rom1->Verify()) {
        out << archive << ": all " << rom1->Count() << " entries pass\n";
        return 0;
    }
    for (int i : rom1->m_badEntries)
        err << "CRC mismatch: " << printable(rom1->m_pName[static_cast<size_t>(i)]) << "\n";
    err << archive << ": " << rom1->m_badEntries.size() << " of " << rom1->Count() << " entries fail\n";
    return 1;
}

int runArchiveTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const uint8_t* info) {
    const std::string tool = args.empty() ? std::string() : args[0];
    size_t operands = args.empty() ? 0 : args.size() - 1;
    if (tool == "pack" && (operands == 1 || operands == 2))
        return archiveToolPack(args[1], operands == 2 ? args[2] : std::string(), out, err, info);
    if (tool == "list" && operands == 1) return archiveToolList(args[1], out, err);
    if (tool == "unpack" && operands == 2) return archiveToolUnpack(args[1], args[2], out, err);
    if (tool == "verify" && operands == 1) return archiveToolVerify(args[1], out, err);
    err << archiveToolUsage();
    return 2;
}

}  // namespace qf
