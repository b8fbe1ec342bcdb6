// Arbitrary bytes as an archive entry name: whatever unpack's name rules
// accept must be a list of plain pieces that, joined below a directory, stay
// beneath it. Touches no file.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "res/archive_tools.h"
#include "res/disk_path.h"

namespace {

// A piece is one plain file name: not empty, not "." or "..", no zero byte,
// no ":", and no "/" or "\\" except as the trail byte of a double-byte character.
bool plainPiece(const std::string& piece) {
    if (piece.empty() || piece == "." || piece == "..") return false;
    for (size_t i = 0; i < piece.size(); ++i) {
        auto c = static_cast<unsigned char>(piece[i]);
        if (qf::isCp932LeadByte(c) && i + 1 < piece.size() &&
            qf::isCp932TrailByte(static_cast<unsigned char>(piece[i + 1]))) {
            ++i;
            continue;
        }
        if (c == 0 || c == ':' || c == '/' || c == '\\') return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    const std::string name(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> pieces = qf::safeRelativePieces(name);
    if (pieces.empty()) return 0;

    const std::filesystem::path base = "/unpack/base";
    std::filesystem::path joined = base;
    std::string rejoined;
    for (const std::string& piece : pieces) {
        if (!plainPiece(piece)) std::abort();
        joined /= piece;
        rejoined += (rejoined.empty() ? "" : "/") + piece;
    }
    // Beneath the base, one level per piece, after every "." and ".." is taken.
    std::filesystem::path relative = joined.lexically_normal().lexically_relative(base);
    size_t depth = 0;
    for (const std::filesystem::path& part : relative) {
        if (depth >= pieces.size() || part.string() != pieces[depth]) std::abort();
        ++depth;
    }
    if (depth != pieces.size()) std::abort();
    // The pieces joined with "/" read back as the same pieces.
    if (qf::safeRelativePieces(rejoined) != pieces) std::abort();
    return 0;
}
