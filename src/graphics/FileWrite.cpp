#include "FileWrite.h"

#include "Exception.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <fstream>
#include <iterator>
#include <unistd.h>

TAtomicFile::TAtomicFile(const std::string& path) : m_path(path), m_temp(path + ".XXXXXX")
{
    m_fd = ::mkstemp(m_temp.data());
    if (m_fd < 0)
        throw Exception("Unable to write to " + m_path);
}

TAtomicFile::~TAtomicFile()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        ::unlink(m_temp.c_str());
    }
}

void TAtomicFile::fail()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        ::unlink(m_temp.c_str());
        m_fd = -1;
    }
    throw Exception("Unable to write to " + m_path);
}

void TAtomicFile::WriteAt(std::uint64_t offset, const void* data, std::size_t size)
{
    if (m_fd < 0)
        fail();
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::pwrite(m_fd, p, size, static_cast<off_t>(offset));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail();
        }
        p += n;
        offset += static_cast<std::uint64_t>(n);
        size -= static_cast<std::size_t>(n);
    }
    if (offset > m_size)
        m_size = offset;
}

void TAtomicFile::Write(const void* data, std::size_t size) { WriteAt(m_size, data, size); }

void TAtomicFile::Commit()
{
    if (m_fd < 0)
        fail();
    // New files get the usual permissions rather than mkstemp's private ones.
    bool ok = ::fchmod(m_fd, 0644) == 0 && ::fsync(m_fd) == 0;
    ok = (::close(m_fd) == 0) && ok;
    m_fd = -1;
    if (!ok || std::rename(m_temp.c_str(), m_path.c_str()) != 0) {
        ::unlink(m_temp.c_str());
        throw Exception("Unable to write to " + m_path);
    }
}

void WriteFileAtomic(const std::string& path, const void* data, std::size_t size)
{
    TAtomicFile file(path);
    file.Write(data, size);
    file.Commit();
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Exception("Unable to read " + path);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw Exception("Unable to read " + path);
    return bytes;
}
