// Byte-level access to GIF data: a writer that appends to a byte vector (with the
// packing of data sub-blocks) and a bounds-checked reader over a memory block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class TGIFWriter {
public:
    explicit TGIFWriter(std::vector<std::uint8_t>& out) : m_out(out) {}

    void WriteByte(std::uint8_t b) { m_out.push_back(b); }
    void WriteWord(std::uint16_t w)
    {
        m_out.push_back(static_cast<std::uint8_t>(w & 0xFF));
        m_out.push_back(static_cast<std::uint8_t>(w >> 8));
    }
    void WriteBytes(const void* data, std::size_t size)
    {
        const auto* p = static_cast<const std::uint8_t*>(data);
        m_out.insert(m_out.end(), p, p + size);
    }
    void WriteString(const std::string& s) { WriteBytes(s.data(), s.size()); }
    // Writes `size` bytes as data sub-blocks of at most 255 bytes (no terminator).
    void WriteSubBlocks(const void* data, std::size_t size);
    std::size_t Size() const { return m_out.size(); }

private:
    std::vector<std::uint8_t>& m_out;
};

class TGIFReader {
public:
    TGIFReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}
    explicit TGIFReader(const std::vector<std::uint8_t>& bytes) : m_data(bytes.data()), m_size(bytes.size()) {}

    std::size_t Position() const { return m_pos; }
    void Seek(std::size_t pos) { m_pos = pos < m_size ? pos : m_size; }
    std::size_t Size() const { return m_size; }
    std::size_t Remaining() const { return m_size - m_pos; }
    bool AtEnd() const { return m_pos >= m_size; }
    // Next byte without consuming it; -1 at the end.
    int Peek() const { return m_pos < m_size ? m_data[m_pos] : -1; }
    // Next byte; -1 at the end.
    int ReadByte() { return m_pos < m_size ? m_data[m_pos++] : -1; }
    // Copies `n` bytes; false (and nothing consumed) when fewer are left.
    bool Read(void* dest, std::size_t n);
    // Consumes up to `n` bytes; returns how many were there.
    std::size_t Skip(std::size_t n);
    const std::uint8_t* Current() const { return m_data + m_pos; }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};
