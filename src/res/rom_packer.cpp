#include "res/rom_packer.h"

#include <chrono>
#include <cstring>
#include <new>

#include "platform/host.h"
#include "res/error_log.h"
#include "res/file_manager.h"
#include "res/game_root.h"
#include "res/rom1.h"
#include "res/safe_write.h"

namespace qf {

bool romCreate(Host& host, ErrorLog& log, const uint8_t* info, const GameRoot& source, SafeWriter& out,
               uint64_t skipDevice, uint64_t skipInode, std::function<bool()> checkpoint) {
    S_Rom1 rom(host, log);
    rom.m_source = &source;
    rom.m_skipDevice = skipDevice;
    rom.m_skipInode = skipInode;
    rom.m_checkpoint = std::move(checkpoint);
    rom.MakeHeader(info);
    if (!rom.Write(out)) {
        out.abort();
        return false;
    }
    return out.commit();
}

void RomPacker::start(const FileManager* manager, const std::string& name, int delayMs) {
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_armed || m_running || !manager) return;
    if (m_thread.joinable()) m_thread.join();  // an earlier job has ended
    std::memset(m_info, 0, sizeof m_info);
    std::memcpy(m_info + 8, manager->m_Info + 8, sizeof m_info - 8);
    m_manager = manager;
    m_name = name;
    m_dueMs = m_host.tickMs() + static_cast<uint32_t>(delayMs < 0 ? 0 : delayMs);
    m_cancel = false;
    m_succeeded = false;
    m_armed = true;
}

void RomPacker::poll() {
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_armed || static_cast<int32_t>(m_host.tickMs() - m_dueMs) < 0) return;
    m_armed = false;
    m_running = true;
    m_thread = std::thread(&RomPacker::run, this);
}

void RomPacker::run() {
    bool ok = false;
    try {
        if (checkpoint()) {
            SafeWriter out;
            ok = out.begin(m_manager->Root(), m_name) &&
                 romCreate(m_host, m_log, m_info, m_manager->Root(), out, 0, 0, [this] { return checkpoint(); });
            if (!ok && !out.reason().empty()) m_log.add(3, m_name);
        }
    } catch (const std::bad_alloc&) {
        m_log.add(3, m_name);
        ok = false;
    }
    std::lock_guard<std::mutex> guard(m_lock);
    m_succeeded = ok;
    m_running = false;
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
        m_armed = false;
        m_cancel = true;
        m_wake.notify_all();
    }
    join();
}

void RomPacker::finish() {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_running) m_suspendCount = 0;
        m_armed = false;
        m_wake.notify_all();
    }
    join();
}

bool RomPacker::running() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_armed || m_running;
}

bool RomPacker::succeeded() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_succeeded;
}

}  // namespace qf
