// Files the program writes are written whole or not at all: the bytes go to a temporary
// file in the same folder, which then replaces the target by a rename.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Throws Exception("Unable to write to <path>") when the file cannot be written; the
// previous file, if any, is then left as it was.
void WriteFileAtomic(const std::string& path, const void* data, std::size_t size);
inline void WriteFileAtomic(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    WriteFileAtomic(path, bytes.data(), bytes.size());
}
inline void WriteFileAtomic(const std::string& path, const std::string& text)
{
    WriteFileAtomic(path, text.data(), text.size());
}
// Reads a whole file; throws Exception("Unable to read <path>") when it cannot.
std::vector<std::uint8_t> ReadFileBytes(const std::string& path);

// A file written piece by piece, for output too large to build in memory first: the
// pieces go to a temporary file beside `path`, Commit() renames it over the target.
// Destroyed without Commit() (a failure, an abort), the temporary file is removed and
// the target stays as it was. Every failure throws Exception("Unable to write to <path>").
class TAtomicFile {
public:
    explicit TAtomicFile(const std::string& path);
    ~TAtomicFile();
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    // Appends at the end.
    void Write(const void* data, std::size_t size);
    // Overwrites bytes already written (headers patched at the end).
    void WriteAt(std::uint64_t offset, const void* data, std::size_t size);
    std::uint64_t Size() const { return m_size; }
    void Commit();

private:
    [[noreturn]] void fail();
    std::string m_path;
    std::string m_temp;
    int m_fd = -1;
    std::uint64_t m_size = 0;
};
