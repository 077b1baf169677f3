// Files the program reads and writes. Reading takes regular files only, with their size
// checked against the memory budget before a byte is read. Writing is whole or not at
// all: the bytes go to a temporary file in the same folder, which then replaces the
// target by a rename; a write stopped by Ctrl+C or a termination signal removes its
// temporary file (see RemoveTemporaryFilesOnInterrupt).
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
};

// Throws Exception("Unable to write to <path>: <reason>") when the file cannot be
// written, the reason in the system's words ("No such file or directory"); the previous
// file, if any, is then left as it was.
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
// pieces go (buffered) to a temporary file beside `path`, Commit() renames it over the
// target. Destroyed without Commit() (a failure, an abort), the temporary file is removed
// and the target stays as it was. Every failure throws Exception("Unable to write to
// <path>: <reason>").
class TAtomicFile final : public TFileSink {
public:
    explicit TAtomicFile(const std::string& path);
    ~TAtomicFile() override;
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    using TFileSink::Write;
    // Appends at the end.
    void Write(const void* data, std::size_t size) override;
    // Overwrites bytes already written (headers patched at the end).
    void WriteAt(std::uint64_t offset, const void* data, std::size_t size);
    std::uint64_t Size() const { return m_flushed + m_used; }
    void Commit();

private:
    static constexpr std::size_t kBufferSize = 1 << 16;
    [[noreturn]] void fail(int error);
    void flush();
    void writeAll(std::uint64_t offset, const std::uint8_t* p, std::size_t size);

    std::string m_path;
    std::string m_temp;
    int m_fd = -1;
    int m_slot = -1;
    bool m_committed = false;
    std::unique_ptr<std::uint8_t[]> m_buffer;
    std::size_t m_used = 0;
    std::uint64_t m_flushed = 0;
};
