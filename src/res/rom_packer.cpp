#include "res/rom_packer.h"

#include <chrono>
#include <cstring>

#include "res/file_manager.h"
#include "res/rom1.h"

namespace qf {

bool romCreate(Host& host, ErrorLog& log, const uint8_t* info, const std::string& path, const std::string& dir,
               std::function<bool()> checkpoint) {
    S_Rom1 rom(host, log);
    rom.m_strBaseDir = dir;
    rom.m_checkpoint = std::move(checkpoint);
    rom.MakeHeader(info);
    return rom.Write(path);
}

void RomPacker::start(const FileManager* manager, const std::string& path, int delayMs) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_running) return;
    if (m_thread.joinable()) m_thread.join();  // an earlier job has ended
    std::memset(m_info, 0, sizeof m_info);
    if (manager) std::memcpy(m_info + 8, manager->m_Info + 8, sizeof m_info - 8);
    m_cancel = false;
    m_running = true;
    m_succeeded = false;
    m_thread = std::thread(&RomPacker::run, this, path, delayMs);
}

void RomPacker::run(std::string path, int delayMs) {
    bool waitedOut;
    {
        std::unique_lock<std::mutex> lock(m_lock);
        waitedOut = !m_wake.wait_for(lock, std::chrono::milliseconds(delayMs), [this] { return m_cancel; });
        m_packing = waitedOut;
    }
    bool ok = waitedOut && checkpoint() && romCreate(m_host, m_log, m_info, path, {}, [this] { return checkpoint(); });
    std::lock_guard<std::mutex> guard(m_lock);
    m_succeeded = ok;
    m_running = false;
    m_packing = false;
    m_wake.notify_all();
}

bool RomPacker::checkpoint() {
    std::unique_lock<std::mutex> lock(m_lock);
    m_wake.wait(lock, [this] { return m_cancel || m_suspendCount == 0; });
    return !m_cancel;
}

void RomPacker::suspend() {
    std::lock_guard<std::mutex> guard(m_lock);
    ++m_suspendCount;
}

void RomPacker::resume() {
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_suspendCount > 0) --m_suspendCount;
    m_wake.notify_all();
}

void RomPacker::join() {
    if (m_thread.joinable()) m_thread.join();
}

void RomPacker::stop() {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_cancel = true;
        m_wake.notify_all();
    }
    join();
}

void RomPacker::finish() {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_packing) m_suspendCount = 0;
        else m_cancel = true;
        m_wake.notify_all();
    }
    join();
}

bool RomPacker::running() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_running;
}

bool RomPacker::succeeded() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_succeeded;
}

}  // namespace qf
