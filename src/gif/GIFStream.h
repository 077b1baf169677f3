// Byte-level access to GIF data: a writer that appends to a byte vector (with the
// packing of data sub-blocks) and a bounds-checked reader over a memory block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
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

// Data sub-blocks kept in one buffer exactly as the file has them (each length byte
// followed by its bytes, without the terminator), so an extension of many tiny
// sub-blocks costs what it costs in the file and is written back unchanged.
class TGIFSubBlocks {
public:
    TGIFSubBlocks() = default;
    // Each text as sub-blocks of at most 255 bytes (an empty text adds none).
    TGIFSubBlocks(std::initializer_list<std::string_view> texts)
    {
        for (std::string_view t : texts)
            Append(t);
    }

    // Appends bytes as sub-blocks of at most 255 bytes.
    void Append(const void* data, std::size_t size);
    void Append(std::string_view text) { Append(text.data(), text.size()); }
    void Clear()
    {
        m_raw.clear();
        m_count = 0;
    }
    bool Empty() const { return m_count == 0; }
    // Number of sub-blocks.
    std::size_t Count() const { return m_count; }
    // The data bytes, without the length bytes.
    std::string Joined() const;
    // Each sub-block's bytes as a string, in order.
    std::vector<std::string> Lines() const;
    // The file form: length byte and bytes of every sub-block (no terminator).
    const std::vector<std::uint8_t>& Raw() const { return m_raw; }

    // Reads sub-blocks up to and including the terminator. False when the data ends
    // before the terminator; what was there is kept (a cut sub-block with the bytes it has).
    bool Load(TGIFReader& reader);
    // Writes the sub-blocks and the terminator.
    void Save(TGIFWriter& writer) const;

    bool operator==(const TGIFSubBlocks& other) const { return m_raw == other.m_raw; }

    // Walks the sub-blocks, giving each one's bytes.
    class Iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = std::string_view;
        using difference_type = std::ptrdiff_t;
        using pointer = void;
        using reference = std::string_view;
        Iterator(const std::vector<std::uint8_t>* raw, std::size_t pos) : m_raw(raw), m_pos(pos) {}
        std::string_view operator*() const
        {
            return {reinterpret_cast<const char*>(m_raw->data()) + m_pos + 1, (*m_raw)[m_pos]};
        }
        Iterator& operator++()
        {
            m_pos += 1 + (*m_raw)[m_pos];
            return *this;
        }
        bool operator==(const Iterator& other) const { return m_pos == other.m_pos; }

    private:
        const std::vector<std::uint8_t>* m_raw;
        std::size_t m_pos;
    };
    Iterator begin() const { return {&m_raw, 0}; }
    Iterator end() const { return {&m_raw, m_raw.size()}; }

private:
    std::vector<std::uint8_t> m_raw;
    std::size_t m_count = 0;
};
