// The packing job: builds "rom.ar1" from the game directory on its own thread
// while the game runs from loose files. The job starts once its delay has
// passed on the host's clock (the frame loop polls it), so a headless run on
// its virtual clock packs at the same point every time. Linux has no thread
// suspension, so romSuspend/romResume pause the job cooperatively between
// chunks. The archive is written beside its target and renamed into place
// only when complete: a stopped or killed job leaves the earlier state.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace qf {

class ErrorLog;
class FileManager;
class GameRoot;
class Host;
class SafeWriter;

// Packs the files of `source` into `out` (begun by the caller) and commits it.
// `info` is the 256-byte outer header block or null; `checkpoint` may stop the
// job. A file with the device and inode `skipDevice`/`skipInode` (the target's
// earlier version; 0 0 for none) is never packed. True when the archive was
// written; otherwise the target is untouched.
bool romCreate(Host& host, ErrorLog& log, const uint8_t* info, const GameRoot& source, SafeWriter& out,
               uint64_t skipDevice = 0, uint64_t skipInode = 0, std::function<bool()> checkpoint = {});

class RomPacker {
public:
    RomPacker(Host& host, ErrorLog& log) : m_host(host), m_log(log) {}
    ~RomPacker() { stop(); }
    RomPacker(const RomPacker&) = delete;
    RomPacker& operator=(const RomPacker&) = delete;

    // Arms the job: once `delayMs` have passed on the host's clock, poll()
    // starts writing `name` into the game directory of `manager`, whose game
    // information record is copied now. Does nothing while a job is armed or running.
    void start(const FileManager* manager, const std::string& name = "rom.ar1", int delayMs = 1000);
    // Starts the armed job when its time has come.
    void poll();
    // Nested like thread suspension: every suspend needs one resume.
    void suspend();
    void resume();
    // Waits until a started job has ended.
    void join();
    // Disarms the job, or asks a started one to stop (nothing is written), and waits for it.
    void stop();
    // At exit: an armed job is cancelled; a job that is already packing is
    // released from any suspension and completed.
    void finish();
    // Armed or packing.
    bool running() const;
    // True after a job that wrote its archive completely.
    bool succeeded() const;

private:
    void run();
    bool checkpoint();

    Host& m_host;
    ErrorLog& m_log;
    const FileManager* m_manager = nullptr;
    std::string m_name;
    uint32_t m_dueMs = 0;
    uint8_t m_info[256] = {};
    std::thread m_thread;
    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    int m_suspendCount = 0;
    bool m_armed = false;
    bool m_cancel = false;
    bool m_running = false;
    bool m_succeeded = false;
};

// The calls game loading and the KPI player make.
inline void romCreateStart(RomPacker& packer, const FileManager* manager) { packer.start(manager); }
inline void romSuspend(RomPacker& packer) { packer.suspend(); }
inline void romResume(RomPacker& packer) { packer.resume(); }

}  // namespace qf
