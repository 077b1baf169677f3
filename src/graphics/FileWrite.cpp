#include "FileWrite.h"

#include "Exception.h"
#include "MemoryBudget.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <set>
#include <sys/file.h>
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

// The interrupting signals wait while this lives (a temporary file is made and
// registered, or named and registered, as one step).
class TInterruptsBlocked {
public:
    TInterruptsBlocked()
    {
        sigset_t interrupts;
        sigemptyset(&interrupts);
        for (int sig : {SIGINT, SIGTERM, SIGHUP})
            sigaddset(&interrupts, sig);
        pthread_sigmask(SIG_BLOCK, &interrupts, &m_previous);
    }
    ~TInterruptsBlocked() { pthread_sigmask(SIG_SETMASK, &m_previous, nullptr); }
    TInterruptsBlocked(const TInterruptsBlocked&) = delete;
    TInterruptsBlocked& operator=(const TInterruptsBlocked&) = delete;

private:
    sigset_t m_previous;
};

std::atomic<bool> g_unnamed{true};

bool procFdAvailable()
{
    static const bool available = ::access("/proc/self/fd", X_OK) == 0;
    return available;
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// What a write to a path lands on: the path itself, or the file its symbolic links lead
// to, which may not exist yet.
struct TTarget {
    std::string Path;
    bool Exists = false;
    unsigned Mode = 0, Owner = 0, Group = 0;
};

TTarget resolveTarget(const std::string& path)
{
    std::string p = path;
    for (int hops = 0;; ++hops) {
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0) {
            if (errno == ENOENT)
                return {p};
            writeFailure(path, errno);
        }
        if (S_ISLNK(st.st_mode)) {
            if (hops == 40)
                writeFailure(path, ELOOP);
            char link[PATH_MAX];
            const ssize_t n = ::readlink(p.c_str(), link, sizeof link - 1);
            if (n <= 0)
                writeFailure(path, n < 0 ? errno : ENOENT);
            const std::string to(link, static_cast<std::size_t>(n));
            p = to[0] == '/' ? to : folderOf(p) + "/" + to;
            continue;
        }
        if (S_ISDIR(st.st_mode))
            writeFailure(path, EISDIR);
        if (!S_ISREG(st.st_mode))
            throw Exception("Unable to write to " + path + ": " + kindOf(st.st_mode));
        return {p, true, static_cast<unsigned>(st.st_mode), static_cast<unsigned>(st.st_uid), static_cast<unsigned>(st.st_gid)};
    }
}

constexpr const char* kTempPrefix = ".anivor-tmp-";

// ".anivor-tmp-PID-XXXXXXXX" in `folder`: the process id tells later writes whether the
// writer is still running.
std::string temporaryName(const std::string& folder)
{
    static std::atomic<std::uint64_t> counter{0};
    std::uint64_t v = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())
                      ^ (counter.fetch_add(1) * 0x9E3779B97F4A7C15ull);
    std::string tail;
    for (int i = 0; i < 8; ++i, v /= 36)
        tail += "0123456789abcdefghijklmnopqrstuvwxyz"[v % 36];
    return folder + "/" + kTempPrefix + std::to_string(::getpid()) + "-" + tail;
}

// Makes a new named temporary file, locked while it is written; 0 or the error.
int createNamed(const std::string& folder, std::string& name, int& fd)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = temporaryName(folder);
        fd = ::open(name.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::flock(fd, LOCK_EX | LOCK_NB);
            return 0;
        }
        if (errno != EEXIST)
            break;
    }
    const int error = errno;
    name.clear();
    return error;
}

// Temporary files of earlier writes that were killed: their process is gone, or (its id
// taken by another process) nobody holds their lock and they are a minute old. Looked
// for once per folder and process.
void removeLeftovers(const std::string& folder)
{
    static std::mutex mutex;
    static std::set<std::string> done;
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!done.insert(folder).second)
            return;
    }
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    const std::size_t prefix = std::strlen(kTempPrefix);
    while (const dirent* e = ::readdir(dir)) {
        const char* name = e->d_name;
        if (std::strncmp(name, kTempPrefix, prefix) != 0)
            continue;
        const long pid = std::strtol(name + prefix, nullptr, 10);
        if (pid <= 0 || pid == ::getpid())
            continue;
        const std::string path = folder + "/" + name;
        bool stale = ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
        if (!stale) {
            const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
            struct stat st {};
            if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
                stale = std::chrono::system_clock::now() - std::chrono::system_clock::from_time_t(st.st_mtime)
                        > std::chrono::minutes(1);
            if (fd >= 0)
                ::close(fd);
        }
        if (stale)
            ::unlink(path.c_str());
    }
    ::closedir(dir);
}

// Makes a folder's entries durable; file systems that cannot sync folders are left be.
void syncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// The open durable batches and the folders written to while they are open.
std::mutex g_batchMutex;
std::atomic<int> g_batchesOpen{0};
std::set<std::string> g_batchFolders;

// Syncs every file system a batch wrote to, once each. With `report`, the first failure
// throws.
void syncBatchFolders(bool report)
{
    std::set<std::string> folders;
    {
        std::lock_guard<std::mutex> lock(g_batchMutex);
        folders.swap(g_batchFolders);
    }
    std::set<dev_t> synced;
    for (const std::string& folder : folders) {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        struct stat st {};
        if (fd < 0 || ::fstat(fd, &st) != 0) {
            if (fd >= 0)
                ::close(fd);
            continue;
        }
        int error = 0;
        if (synced.insert(st.st_dev).second && ::syncfs(fd) != 0)
            error = errno;
        ::close(fd);
        if (error && report)
            writeFailure(folder, error);
    }
}

} // namespace

TAtomicFile::TAtomicFile(const std::string& path) : m_path(path)
{
    const TTarget target = resolveTarget(path);
    m_target = target.Path;
    m_folder = folderOf(m_target);
    if (target.Exists) {
        m_replaces = true;
        m_mode = target.Mode & 07777;
        m_owner = target.Owner;
        m_group = target.Group;
    }
    removeLeftovers(m_folder);
    if (g_unnamed.load() && procFdAvailable()) {
        // Unnamed: the file has no name until Commit(), so nothing is left if we are killed.
        m_fd = ::open(m_folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        if (m_fd >= 0)
            return;
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            writeFailure(m_path, errno);
    }
    // The interrupting signals wait while the file is made and registered, so none can
    // end the program between the two and leave the file behind.
    TInterruptsBlocked blocked;
    const int error = createNamed(m_folder, m_temp, m_fd);
    if (m_fd >= 0)
        m_slot = registerTemp(m_temp);
    if (m_fd < 0)
        writeFailure(m_path, error);
}

TAtomicFile::~TAtomicFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_committed && !m_temp.empty())
        ::unlink(m_temp.c_str());
    unregisterTemp(m_slot);
}

void TAtomicFile::UseUnnamedTemporaryFiles(bool on) { g_unnamed.store(on); }

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
    if (size == 0)
        return;
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
    // A replaced file keeps its mode and, where permitted, its owner; a new one has the
    // mode it was made with (0666 less the umask).
    if (m_replaces) {
        struct stat st {};
        if (::fstat(m_fd, &st) == 0 && (st.st_uid != m_owner || st.st_gid != m_group))
            (void)!::fchown(m_fd, m_owner, m_group);
        if (::fchmod(m_fd, m_mode) != 0)
            fail(errno);
    }
    const bool batch = TDurableBatch::Open();
    if (!batch && ::fsync(m_fd) != 0)
        fail(errno);
    putInPlace();
    unregisterTemp(m_slot);
    m_slot = -1;
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        writeFailure(m_path, errno);
    m_committed = true;
    if (batch)
        TDurableBatch::Add(m_folder);
    else
        syncFolder(m_folder); // the new name itself is durable too
}

void TAtomicFile::putInPlace()
{
    if (m_temp.empty()) {
        // An unnamed file: a new target is linked in directly; a replaced one gets a
        // temporary name first, which the rename then takes over.
        const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
        if (!m_replaces && ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, m_target.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return;
        if (!m_replaces && errno != EEXIST)
            fail(errno);
        TInterruptsBlocked blocked;
        for (int attempt = 0;; ++attempt) {
            m_temp = temporaryName(m_folder);
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, m_temp.c_str(), AT_SYMLINK_FOLLOW) == 0)
                break;
            const int error = errno;
            m_temp.clear();
            if (error != EEXIST || attempt == 100)
                fail(error);
        }
        m_slot = registerTemp(m_temp);
    }
    if (std::rename(m_temp.c_str(), m_target.c_str()) != 0)
        fail(errno);
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

TDurableBatch::TDurableBatch() { g_batchesOpen.fetch_add(1); }

TDurableBatch::~TDurableBatch()
{
    if (!m_finished)
        syncBatchFolders(false);
    g_batchesOpen.fetch_sub(1);
}

void TDurableBatch::Finish()
{
    m_finished = true;
    syncBatchFolders(true);
}

bool TDurableBatch::Open() { return g_batchesOpen.load() > 0; }

void TDurableBatch::Add(const std::string& folder)
{
    std::lock_guard<std::mutex> lock(g_batchMutex);
    g_batchFolders.insert(folder);
}
