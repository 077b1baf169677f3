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
