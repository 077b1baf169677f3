#include "FileWrite.h"

#include "Exception.h"
#include "MemoryBudget.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string reason(int error) { return std::strerror(error); }

[[noreturn]] void writeFailure(const std::string& path, int error)
{
    throw Exception("Unable to write to " + path + ": " + reason(error));
}

// The temporary files of writes in progress, reachable from a signal handler: fixed
// slots, a path copied in before the slot is marked busy, nothing allocated.
constexpr int kSlots = 32;
constexpr std::size_t kPathMax = 4096;
struct TTempSlot {
    std::atomic<int> State{0}; // 0 free, 1 being filled, 2 holds a file to remove
    char Path[kPathMax];
};
TTempSlot g_slots[kSlots];

int registerTemp(const std::string& path)
{
    if (path.size() >= kPathMax)
        return -1;
    for (int i = 0; i < kSlots; ++i) {
        int expected = 0;
        if (g_slots[i].State.compare_exchange_strong(expected, 1)) {
            std::memcpy(g_slots[i].Path, path.c_str(), path.size() + 1);
            g_slots[i].State.store(2);
            return i;
        }
    }
    return -1; // more writes at once than slots: that one is simply not cleaned up
}

void unregisterTemp(int slot)
{
    if (slot >= 0)
        g_slots[slot].State.store(0);
}

extern "C" void onInterrupt(int sig)
{
    const int saved = errno;
    for (TTempSlot& s : g_slots)
        if (s.State.load() == 2)
            ::unlink(s.Path);
    errno = saved;
    // The handler was installed to run once: the signal now does what it would have.
    ::raise(sig);
}

const char* kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "it is a folder, not a file";
    if (S_ISFIFO(mode))
        return "it is a named pipe, not a file";
    if (S_ISSOCK(mode))
        return "it is a socket, not a file";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "it is a device, not a file";
    return "it is not a regular file";
}

} // namespace

TAtomicFile::TAtomicFile(const std::string& path) : m_path(path), m_temp(path + ".XXXXXX")
{
    // The target itself must be something a file can replace.
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        writeFailure(path, EISDIR);
    // The interrupting signals wait while the file is made and registered, so none can
    // end the program between the two and leave the file behind.
    sigset_t interrupts, previous;
    sigemptyset(&interrupts);
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&interrupts, sig);
    pthread_sigmask(SIG_BLOCK, &interrupts, &previous);
    m_fd = ::mkstemp(m_temp.data());
    const int error = errno;
    if (m_fd >= 0)
        m_slot = registerTemp(m_temp);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (m_fd < 0)
        writeFailure(m_path, error);
}

TAtomicFile::~TAtomicFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_committed)
        ::unlink(m_temp.c_str());
    unregisterTemp(m_slot);
}

void TAtomicFile::fail(int error)
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    writeFailure(m_path, error);
}

void TAtomicFile::flush()
{
    const std::size_t used = m_used;
    m_used = 0;
    writeAll(m_flushed, m_buffer.get(), used);
    m_flushed += used;
}

void TAtomicFile::writeAll(std::uint64_t offset, const std::uint8_t* p, std::size_t left)
{
    if (m_fd < 0)
        fail(EBADF);
    while (left > 0) {
        const ssize_t n = ::pwrite(m_fd, p, left, static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        p += n;
        offset += static_cast<std::uint64_t>(n);
        left -= static_cast<std::size_t>(n);
    }
}

void TAtomicFile::Write(const void* data, std::size_t size)
{
    const auto* p = static_cast<const std::uint8_t*>(data);
    if (!m_buffer)
        m_buffer = std::make_unique<std::uint8_t[]>(kBufferSize);
    if (size > kBufferSize - m_used)
        flush();
    if (size >= kBufferSize) {
        writeAll(m_flushed, p, size);
        m_flushed += size;
    } else {
        std::memcpy(m_buffer.get() + m_used, p, size);
        m_used += size;
    }
}

void TAtomicFile::WriteAt(std::uint64_t offset, const void* data, std::size_t size)
{
    flush();
    writeAll(offset, static_cast<const std::uint8_t*>(data), size);
    m_flushed = std::max(m_flushed, offset + size);
}

void TAtomicFile::Commit()
{
    flush();
    // New files get the usual permissions rather than mkstemp's private ones.
    if (::fchmod(m_fd, 0644) != 0 || ::fsync(m_fd) != 0)
        fail(errno);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        writeFailure(m_path, errno);
    if (std::rename(m_temp.c_str(), m_path.c_str()) != 0)
        writeFailure(m_path, errno);
    m_committed = true;
}

void WriteFileAtomic(const std::string& path, const std::function<void(TFileSink&)>& produce)
{
    TAtomicFile file(path);
    produce(file);
    file.Commit();
}

void WriteFileAtomic(const std::string& path, const void* data, std::size_t size)
{
    TAtomicFile file(path);
    file.Write(data, size);
    file.Commit();
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path)
{
    const std::string failure = "Unable to read " + path + ": ";
    // Non-blocking, so a named pipe without a writer cannot hold the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw Exception(failure + reason(errno));
    struct TCloser {
        int fd;
        ~TCloser() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        throw Exception(failure + reason(errno));
    if (!S_ISREG(st.st_mode))
        throw Exception(failure + kindOf(st.st_mode));
    const std::uint64_t size = static_cast<std::uint64_t>(st.st_size);
    MemoryBudget::Check(size, "the file " + path);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw Exception(failure + reason(errno));
        }
        if (n == 0)
            break; // the file shrank meanwhile: what is there is what we have
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return bytes;
}

void RemoveTemporaryFilesOnInterrupt()
{
    struct sigaction sa {};
    sa.sa_handler = onInterrupt;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESETHAND;
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(sig, &sa, nullptr);
}
