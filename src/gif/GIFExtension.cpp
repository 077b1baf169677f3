#include "GIFExtension.h"

#include "GIFImage.h"

#include <cstring>

TGIFExtension::TGIFExtension(TGIFSubImage* frame)
    : TGIFItem(frame ? frame->Image() : nullptr), m_frame(frame)
{
}

void TGIFExtension::SaveToStream(TGIFWriter& writer) const
{
    writer.WriteByte(0x21);
    writer.WriteByte(ExtensionType());
    SaveBody(writer);
}

void TGIFExtension::LoadFromStream(TGIFReader& reader)
{
    if (reader.ReadByte() != 0x21)
        throw GIFException("Invalid extension introducer");
    if (reader.ReadByte() != ExtensionType())
        throw GIFException("Internal error: Extension Instance does not match Extension Label");
    LoadBody(reader);
}

void TGIFExtension::loadSubBlocks(TGIFReader& reader, TGIFSubBlocks& blocks) const
{
    if (!blocks.Load(reader))
        Warning(gsWarning, "Premature end of data");
}

void TGIFExtension::skipSubBlocks(TGIFReader& reader) const
{
    for (;;) {
        const int len = reader.ReadByte();
        if (len <= 0) {
            if (len < 0)
                Warning(gsWarning, "Premature end of data");
            return;
        }
        if (reader.Skip(static_cast<std::size_t>(len)) < static_cast<std::size_t>(len)) {
            Warning(gsWarning, "Premature end of data");
            return;
        }
    }
}

std::unique_ptr<TGIFExtension> TGIFExtension::FindExtension(std::uint8_t label, TGIFSubImage* frame, TGIFReader& reader)
{
    switch (label) {
    case 0xF9:
        return std::make_unique<TGIFGraphicControlExtension>(frame);
    case 0x01:
        return std::make_unique<TGIFTextExtension>(frame);
    case 0xFE:
        return std::make_unique<TGIFCommentExtension>(frame);
    case 0xFF: {
        // The identifier decides between the loop extension and any other application.
        const std::size_t start = reader.Position();
        std::uint8_t head[1 + 11]; // block size and identifier, after the label
        if (reader.Read(head, sizeof head) && head[0] >= 11
            && (std::memcmp(head + 1, "NETSCAPE2.0", 11) == 0 || std::memcmp(head + 1, "ANIMEXTS1.0", 11) == 0)) {
            reader.Seek(start);
            return std::make_unique<TGIFAppExtNSLoop>(frame);
        }
        reader.Seek(start);
        return std::make_unique<TGIFUnknownAppExtension>(frame);
    }
    default:
        return nullptr;
    }
}

// Graphic control -----------------------------------------------------------------------

void TGIFGraphicControlExtension::SetTransparent(bool on)
{
    m_packed = static_cast<std::uint8_t>(on ? m_packed | 0x01 : m_packed & ~0x01);
    if (SubImage())
        SubImage()->Changed();
}

void TGIFGraphicControlExtension::SetTransparentColorIndex(int index)
{
    if (SubImage()) {
        const TGIFColorMap& map = SubImage()->ActiveColorMap();
        if (map.Count() > 0 && (index < 0 || index >= map.Count())) {
            Warning(gsWarning, "Invalid color index");
            index = 0;
        }
        SubImage()->Changed();
    }
    m_transparentIndex = static_cast<std::uint8_t>(index);
}

void TGIFGraphicControlExtension::SaveBody(TGIFWriter& writer) const
{
    writer.WriteByte(4);
    writer.WriteByte(m_packed);
    writer.WriteWord(m_delay);
    writer.WriteByte(m_transparentIndex);
    writer.WriteByte(0);
}

void TGIFGraphicControlExtension::LoadBody(TGIFReader& reader)
{
    // Block size, packed fields, delay, transparent index, then (normally) the terminator.
    const int size = reader.ReadByte();
    std::uint8_t block[4] = {0, 0, 0, 0};
    const std::size_t want = size < 0 ? 0 : static_cast<std::size_t>(size);
    const std::size_t have = std::min<std::size_t>(want, reader.Remaining());
    std::uint8_t raw[255];
    reader.Read(raw, have);
    std::memcpy(block, raw, std::min<std::size_t>(have, 4));
    if (size < 0 || have < want || have < 4)
        Warning(gsWarning, "Premature end of data");
    m_packed = block[0];
    m_delay = static_cast<std::uint16_t>(block[1] | (block[2] << 8));
    m_transparentIndex = block[3];
    if (have == want)
        skipSubBlocks(reader);
    if (SubImage())
        SubImage()->Changed();
}

std::unique_ptr<TGIFExtension> TGIFGraphicControlExtension::Clone(TGIFSubImage* frame) const
{
    auto c = std::make_unique<TGIFGraphicControlExtension>(frame);
    c->m_packed = m_packed;
    c->m_delay = m_delay;
    c->m_transparentIndex = m_transparentIndex;
    return c;
}

// Text lines ------------------------------------------------------------------------------

void TGIFTextLinesExtension::saveText(TGIFWriter& writer) const { Text.Save(writer); }

void TGIFTextLinesExtension::loadText(TGIFReader& reader) { loadSubBlocks(reader, Text); }

std::unique_ptr<TGIFExtension> TGIFCommentExtension::Clone(TGIFSubImage* frame) const
{
    auto c = std::make_unique<TGIFCommentExtension>(frame);
    c->Text = Text;
    return c;
}

TGIFTextExtension::TGIFTextExtension(TGIFSubImage* frame) : TGIFTextLinesExtension(frame), Block(13, 0)
{
    Block[0] = 12;
}

void TGIFTextExtension::SaveBody(TGIFWriter& writer) const
{
    writer.WriteBytes(Block.data(), Block.size());
    saveText(writer);
}

void TGIFTextExtension::LoadBody(TGIFReader& reader)
{
    const int size = reader.ReadByte();
    if (size < 0)
        throw EGIFPrematureEnd();
    Block.assign(1, static_cast<std::uint8_t>(size));
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(size), reader.Remaining());
    Block.insert(Block.end(), reader.Current(), reader.Current() + n);
    reader.Skip(n);
    if (n < static_cast<std::size_t>(size))
        Warning(gsWarning, "Premature end of data");
    loadText(reader);
}

std::unique_ptr<TGIFExtension> TGIFTextExtension::Clone(TGIFSubImage* frame) const
{
    auto c = std::make_unique<TGIFTextExtension>(frame);
    c->Block = Block;
    c->Text = Text;
    return c;
}

// Application ---------------------------------------------------------------------------

void TGIFApplicationExtension::SetIdentification(const std::string& identifierAndCode)
{
    m_id.fill(0);
    std::memcpy(m_id.data(), identifierAndCode.data(), std::min<std::size_t>(identifierAndCode.size(), 11));
}

void TGIFApplicationExtension::SaveBody(TGIFWriter& writer) const
{
    writer.WriteByte(11);
    writer.WriteBytes(m_id.data(), m_id.size());
    SaveData(writer);
}

void TGIFApplicationExtension::LoadBody(TGIFReader& reader)
{
    const int size = reader.ReadByte();
    if (size < 0)
        throw EGIFPrematureEnd();
    m_id.fill(0);
    if (size == 10) {
        // Some writers give a 10-byte block: the identifier counts as all zeros.
        if (reader.Skip(10) < 10)
            throw EGIFPrematureEnd();
    } else if (size < 11) {
        throw GIFException("Unsupported Application Extension block size");
    } else {
        if (!reader.Read(m_id.data(), 11))
            throw EGIFPrematureEnd();
        if (reader.Skip(static_cast<std::size_t>(size - 11)) < static_cast<std::size_t>(size - 11))
            throw EGIFPrematureEnd();
    }
    LoadData(reader);
}

TGIFAppExtNSLoop::TGIFAppExtNSLoop(TGIFSubImage* frame) : TGIFApplicationExtension(frame)
{
    SetIdentification("NETSCAPE2.0");
}

void TGIFAppExtNSLoop::SaveData(TGIFWriter& writer) const
{
    writer.WriteByte(3);
    writer.WriteByte(1);
    writer.WriteWord(m_loops);
    if (m_bufferSize != 0) {
        writer.WriteByte(5);
        writer.WriteByte(2);
        for (int i = 0; i < 4; ++i)
            writer.WriteByte(static_cast<std::uint8_t>(m_bufferSize >> (8 * i)));
    }
    writer.WriteByte(0);
}

void TGIFAppExtNSLoop::LoadData(TGIFReader& reader)
{
    TGIFSubBlocks blocks;
    const bool complete = blocks.Load(reader);
    if (!complete)
        Warning(gsWarning, "Premature end of data");
    for (std::string_view text : blocks) {
        const auto* b = reinterpret_cast<const std::uint8_t*>(text.data());
        const std::size_t need = (b[0] & 0x07) == 1 ? 3 : (b[0] & 0x07) == 2 ? 5 : 1;
        if (text.size() < need) {
            // A sub-block the end of the file cut short is a cut, not bad data.
            if (!complete && text.data() + text.size() == reinterpret_cast<const char*>(blocks.Raw().data() + blocks.Raw().size()))
                break;
            throw GIFException("Invalid GIF data");
        }
        switch (b[0] & 0x07) {
        case 1:
            m_loops = static_cast<std::uint16_t>(b[1] | (b[2] << 8));
            break;
        case 2:
            m_bufferSize = std::uint32_t(b[1]) | (std::uint32_t(b[2]) << 8) | (std::uint32_t(b[3]) << 16)
                | (std::uint32_t(b[4]) << 24);
            break;
        default:
            break;
        }
    }
}

std::unique_ptr<TGIFExtension> TGIFAppExtNSLoop::Clone(TGIFSubImage* frame) const
{
    auto c = std::make_unique<TGIFAppExtNSLoop>(frame);
    c->SetIdentification(std::string(Identification().data(), 11));
    c->m_loops = m_loops;
    c->m_bufferSize = m_bufferSize;
    return c;
}

void TGIFUnknownAppExtension::SaveData(TGIFWriter& writer) const { Blocks.Save(writer); }

std::unique_ptr<TGIFExtension> TGIFUnknownAppExtension::Clone(TGIFSubImage* frame) const
{
    auto c = std::make_unique<TGIFUnknownAppExtension>(frame);
    c->SetIdentification(std::string(Identification().data(), 11));
    c->Blocks = Blocks;
    return c;
}

void TGIFUnknownExtension::SaveBody(TGIFWriter& writer) const { Blocks.Save(writer); }

std::unique_ptr<TGIFExtension> TGIFUnknownExtension::Clone(TGIFSubImage* frame) const
{
    auto c = std::make_unique<TGIFUnknownExtension>(frame, m_label);
    c->Blocks = Blocks;
    return c;
}
