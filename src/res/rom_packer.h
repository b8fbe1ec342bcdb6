// The packing job: builds "rom.ar1" from the game directory on its own thread
// while the game runs from loose files. Linux has no thread suspension, so
// romSuspend/romResume pause the job cooperatively between chunks.
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
class Host;

// Packs the files of `dir` (empty: the current directory) into `path`
// (relative paths resolve against the current directory). `info` is the
// 256-byte outer header block or null; `checkpoint` may stop the job. A
// partial archive is removed. True when the archive was written.
bool romCreate(Host& host, ErrorLog& log, const uint8_t* info, const std::string& path, const std::string& dir = {},
               std::function<bool()> checkpoint = {});

class RomPacker {
public:
    RomPacker(Host& host, ErrorLog& log) : m_host(host), m_log(log) {}
    ~RomPacker() { stop(); }
    RomPacker(const RomPacker&) = delete;
    RomPacker& operator=(const RomPacker&) = delete;

    // Starts the job: after `delayMs` it writes `path`. The game information
    // record of `manager` (when given) is copied now, on the caller's thread.
    // Does nothing while a job is running.
    void start(const FileManager* manager, const std::string& path = "rom.ar1", int delayMs = 1000);
    // Nested like thread suspension: every suspend needs one resume.
    void suspend();
    void resume();
    // Waits until the job has ended.
    void join();
    // Asks the job to stop (the partial archive is removed) and waits for it.
    void stop();
    // At exit: a job still waiting out its delay is cancelled; a job that is
    // already packing is released from any suspension and completed.
    void finish();
    bool running() const;
    // True after a job that wrote its archive completely.
    bool succeeded() const;

private:
    void run(std::string path, int delayMs);
    bool checkpoint();

    Host& m_host;
    ErrorLog& m_log;
    uint8_t m_info[256] = {};
    std::thread m_thread;
    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    int m_suspendCount = 0;
    bool m_cancel = false;
    bool m_running = false;
    bool m_packing = false;  // the delay is over
    bool m_succeeded = false;
};

// The calls game loading and the KPI player make.
inline void romCreateStart(RomPacker& packer, const FileManager* manager) { packer.start(manager); }
inline void romSuspend(RomPacker& packer) { packer.suspend(); }
inline void romResume(RomPacker& packer) { packer.resume(); }

}  // namespace qf
