// Writing whole files so that a crash or a full disk never destroys the
// previous file and a planted link is never followed. The bytes go to a new
// temporary file beside the target (created exclusively, never through a
// link, named "<target>.<unique>.tmp"), are synced, and the temporary is
// renamed over the target, after which the directory is synced. On any
// failure only the temporary is removed; the target keeps its old contents.
// A temporary left behind by a killed process never blocks a later write:
// every write picks a fresh name.
//
// Two kinds of target:
// - a game name beneath a GameRoot: everything the engine writes into the
//   game directory ("_error.txt", "rom.ar1", records, binary saves, copies).
//   The name follows the GameRoot rules, its directory must exist, and a
//   name that is a symbolic link is refused like any other link;
// - a host path (relative to the current directory or absolute), for the
//   archive tools, whose paths come from the person running them. Links in
//   the directory part are followed; the last piece is replaced, never
//   followed, even when it is a link.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "res/game_root.h"

namespace qf {

// A write in several steps: begin, write (in order or at offsets), then
// commit or abort. Destroying an uncommitted writer aborts it.
class SafeWriter {
public:
    SafeWriter() = default;
    ~SafeWriter() { abort(); }
    SafeWriter(SafeWriter&& other) noexcept;
    SafeWriter& operator=(SafeWriter&& other) noexcept;
    SafeWriter(const SafeWriter&) = delete;
    SafeWriter& operator=(const SafeWriter&) = delete;

    // Creates the temporary file for a target. False, with a reason, when the
    // target is refused or the temporary cannot be made.
    bool begin(const GameRoot& root, std::string_view name);
    bool begin(const std::string& hostPath);

    // Appends after the furthest byte written so far.
    bool write(const void* data, size_t n);
    bool write(std::span<const uint8_t> data) { return write(data.data(), data.size()); }
    // Writes at an offset of the new file.
    bool writeAt(const void* data, size_t n, uint64_t offset);
    // Sets the new file's length.
    bool truncate(uint64_t size);

    // Syncs the new file and renames it over the target. Without `replace` an
    // existing target is kept and the commit fails. After a failed step (here
    // or in an earlier write) the temporary is removed and the result is false.
    bool commit(bool replace = true);
    // Removes the temporary; the target is untouched.
    void abort();

    bool active() const { return file_.ok(); }
    // The temporary file's descriptor, to compare it with other files
    // (fstat); the writes themselves go through write, writeAt and truncate.
    int fd() const { return file_.get(); }
    // The temporary file's name in the target's directory.
    const std::string& temporaryName() const { return temporary_; }
    // Why the last step failed.
    const std::string& reason() const { return reason_; }

private:
    bool start(UniqueFd dir, std::string leaf);
    bool fail(const std::string& step, int error);

    UniqueFd dir_;
    UniqueFd file_;
    std::string leaf_;
    std::string temporary_;
    std::string reason_;
    uint64_t end_ = 0;
};

// The whole file in one call. False, with the reason in `reason` when given.
bool writeFileSafely(const GameRoot& root, std::string_view name, std::span<const uint8_t> data,
                     std::string* reason = nullptr);
bool writeFileSafely(const std::string& hostPath, std::span<const uint8_t> data, std::string* reason = nullptr);

// Fault injection for tests: the hook is asked before each step of every
// writer in the process (creating the temporary, each chunk of at most
// kSafeWriteChunk bytes written at `offset`, the sync, the rename) and
// returns 0 to let the step run or an errno value to make it fail as if the
// system had refused it. Null (the default) injects nothing.
enum class WriteStep { Create, Write, Sync, Rename };
using WriteFaultHook = int (*)(WriteStep step, uint64_t offset, size_t size);
void setWriteFaultHook(WriteFaultHook hook);

constexpr size_t kSafeWriteChunk = 64 * 1024;

}  // namespace qf
