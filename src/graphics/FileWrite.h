// Files the program reads and writes. Reading takes regular files only, with their size
// checked against the memory budget before a byte is read. Writing is whole or not at
// all: the bytes go to a temporary file in the same folder, which then replaces the
// target by a rename, and is made durable (see TDurableBatch for many files at once).
//
// A write keeps the nature of its target: a symbolic link is written through to the file
// it points to (the link stays); a device, named pipe, socket or folder is refused; a
// replaced file keeps its mode and, where the system permits, its owner; a new file gets
// 0666 less the umask. The temporary file has no name while it is written where the file
// system allows it (a killed write leaves nothing); elsewhere it is named
// ".anivor-tmp-PID-XXXXXX", and such files left by writes that were killed are removed by
// the next write to that folder. Ctrl+C and termination signals remove named temporary
// files at once (see RemoveTemporaryFilesOnInterrupt).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Where a streamed write puts its bytes (buffered). Throws Exception("Unable to write to
// <path>: <reason>") when the system refuses them.
class TFileSink {
public:
    virtual ~TFileSink() = default;
    virtual void Write(const void* data, std::size_t size) = 0;
    void Write(const std::vector<std::uint8_t>& bytes) { Write(bytes.data(), bytes.size()); }
    // Overwrites bytes already written (headers patched at the end).
    virtual void WriteAt(std::uint64_t offset, const void* data, std::size_t size) = 0;
};

// Throws Exception("Unable to write to <path>: <reason>") when the file cannot be
// written, the reason in the system's words ("No such file or directory") or ours ("it is
// a device, not a file"); the previous file, if any, is then left as it was.
void WriteFileAtomic(const std::string& path, const void* data, std::size_t size);
inline void WriteFileAtomic(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    WriteFileAtomic(path, bytes.data(), bytes.size());
}
inline void WriteFileAtomic(const std::string& path, const std::string& text)
{
    WriteFileAtomic(path, text.data(), text.size());
}
// The same for files made piece by piece: `produce` writes into the sink, so a large file
// never has to be held in memory whole. Whatever `produce` throws leaves no file behind.
void WriteFileAtomic(const std::string& path, const std::function<void(TFileSink&)>& produce);

// Reads a whole regular file. Throws Exception("Unable to read <path>: <reason>") when it
// cannot be opened, and for a folder, a device, a named pipe or a socket (refused at
// once, nothing is read from them); EOutOfMemory when the file is larger than the
// memory budget allows.
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);

// Installs handlers for SIGINT, SIGTERM and SIGHUP that delete the temporary files of
// writes in progress and then end the process as the signal would have. The program and
// anivor-cli call it once at start.
void RemoveTemporaryFilesOnInterrupt();

// A file written piece by piece, for output too large to build in memory first: the
// pieces go (buffered) to a temporary file beside the target, Commit() puts it in place.
// Destroyed without Commit() (a failure, an abort), the temporary file is removed and the
// target stays as it was. Every failure throws Exception("Unable to write to <path>:
// <reason>"); a target that cannot be written is refused by the constructor.
class TAtomicFile final : public TFileSink {
public:
    explicit TAtomicFile(const std::string& path);
    ~TAtomicFile() override;
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    using TFileSink::Write;
    // Appends at the end.
    void Write(const void* data, std::size_t size) override;
    void WriteAt(std::uint64_t offset, const void* data, std::size_t size) override;
    std::uint64_t Size() const { return m_flushed + m_used; }
    void Commit();

    // Test hook: false makes every later write use named temporary files, as on file
    // systems without unnamed ones.
    static void UseUnnamedTemporaryFiles(bool on);

private:
    static constexpr std::size_t kBufferSize = 1 << 16;
    [[noreturn]] void fail(int error);
    void putInPlace();
    void flush();
    void writeAll(std::uint64_t offset, const std::uint8_t* p, std::size_t size);

    std::string m_path;   // as the caller named it, for messages
    std::string m_target; // the file that is replaced: symbolic links followed
    std::string m_folder; // the target's folder
    std::string m_temp;   // the named temporary file; empty while it has no name
    bool m_replaces = false;
    unsigned m_mode = 0;
    unsigned m_owner = 0;
    unsigned m_group = 0;
    int m_fd = -1;
    int m_slot = -1;
    bool m_committed = false;
    std::unique_ptr<std::uint8_t[]> m_buffer;
    std::size_t m_used = 0;
    std::uint64_t m_flushed = 0;
};

// Durable writes of many files at once. While a batch is open, files written by this
// process are put in place without waiting for the disk one by one; Finish() then makes
// every one of them and their folders durable in one step per file system. Commands that
// write many files open one around the whole job.
class TDurableBatch {
public:
    TDurableBatch();
    // Without Finish() (a failure) what was written is still synced, quietly.
    ~TDurableBatch();
    TDurableBatch(const TDurableBatch&) = delete;
    TDurableBatch& operator=(const TDurableBatch&) = delete;
    // Throws Exception("Unable to write to <folder>: <reason>") when the system cannot
    // make them durable.
    void Finish();

    // For TAtomicFile: true while a batch is open; the folder of a file written then.
    static bool Open();
    static void Add(const std::string& folder);

private:
    bool m_finished = false;
};
