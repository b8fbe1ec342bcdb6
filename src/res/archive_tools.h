// Tools for game authors: pack a game directory, list, unpack and verify an
// archive. Each returns the exit status: 0 ok, 1 the check failed, 2 bad usage.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace qf {

// Packs DIR with the packer's rules into ARCHIVE (default DIR/rom.ar1).
// `info` is the game information record that goes into the header, or null.
int archiveToolPack(const std::string& dir, const std::string& archive, std::ostream& out, std::ostream& err,
                    const uint8_t* info = nullptr);
// One line per entry: size and name (names shown as UTF-8).
int archiveToolList(const std::string& archive, std::ostream& out, std::ostream& err);
// Writes every entry below DIR, "\\" becoming subdirectories. An archive with
// a name that would leave DIR is refused before anything is written.
int archiveToolUnpack(const std::string& archive, const std::string& dir, std::ostream& out, std::ostream& err);
// Checks every entry's CRC and names every entry that fails.
int archiveToolVerify(const std::string& archive, std::ostream& out, std::ostream& err);

// args[0] is the tool's name ("pack", "list", "unpack", "verify"), the rest its operands.
// "pack" takes the game information from `info` (may be null).
int runArchiveTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const uint8_t* info = nullptr);
const char* archiveToolUsage();

// The pieces of an archive name as a relative path below a directory, or
// empty when the name is not one (empty pieces, ".", "..", drive letters,
// zero bytes). Both "\\" and "/" separate, double-byte aware.
std::vector<std::string> safeRelativePieces(const std::string& name);

}  // namespace qf
