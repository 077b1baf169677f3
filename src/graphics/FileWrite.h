// Files the program reads and writes. Reading takes regular files only, with their size
// checked against the memory budget before a byte is read. Writing is whole or not at
// all: the bytes go to a temporary file in the same folder, which then replaces the
// target by a rename; a write stopped by Ctrl+C or a termination signal removes its
// temporary file (see RemoveTemporaryFilesOnInterrupt).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
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
