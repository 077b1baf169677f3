// Extension blocks in front of a frame: graphic control, plain text, comment,
// application (the loop extension and any other, kept raw) and unknown labels.
#pragma once

#include "GIFItem.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TGIFSubImage;

class TGIFExtension : public TGIFItem {
public:
    explicit TGIFExtension(TGIFSubImage* frame);
    TGIFSubImage* SubImage() const { return m_frame; }
    TGIFVersion Version() const override { return gv89a; }
    // The label byte after the introducer 0x21.
    virtual std::uint8_t ExtensionType() const = 0;
    void SaveToStream(TGIFWriter& writer) const override;
    // Reads introducer, label and body; the label must be this class's own.
    void LoadFromStream(TGIFReader& reader) override;
    // Reads or writes what follows the label.
    virtual void SaveBody(TGIFWriter& writer) const = 0;
    virtual void LoadBody(TGIFReader& reader) = 0;
    virtual std::unique_ptr<TGIFExtension> Clone(TGIFSubImage* frame) const = 0;

    // The class for a label read from a file; nullptr for labels this codec does not know.
    static std::unique_ptr<TGIFExtension> FindExtension(std::uint8_t label, TGIFSubImage* frame, TGIFReader& reader);

protected:
    // Reads data sub-blocks up to the terminator; warns "Premature end of data" when the
    // file ends first (what was there is kept).
    void loadSubBlocks(TGIFReader& reader, TGIFSubBlocks& blocks) const;
    void skipSubBlocks(TGIFReader& reader) const;

private:
    TGIFSubImage* m_frame;
};

class TGIFGraphicControlExtension : public TGIFExtension {
public:
    // The first one in a frame's extension list is that frame's graphic control.
    using TGIFExtension::TGIFExtension;
    const char* ClassName() const override { return "TGIFGraphicControlExtension"; }
    std::uint8_t ExtensionType() const override { return 0xF9; }
    void SaveBody(TGIFWriter& writer) const override;
    void LoadBody(TGIFReader& reader) override;
    std::unique_ptr<TGIFExtension> Clone(TGIFSubImage* frame) const override;

    int Delay() const { return m_delay; }
    void SetDelay(int delay) { m_delay = static_cast<std::uint16_t>(delay); }
    bool Transparent() const { return (m_packed & 0x01) != 0; }
    void SetTransparent(bool on);
    int TransparentColorIndex() const { return m_transparentIndex; }
    // An index not below the count of the frame's (non-empty) active table: warning
    // "Invalid color index" and 0 is stored.
    void SetTransparentColorIndex(int index);
    bool UserInput() const { return (m_packed & 0x02) != 0; }
    void SetUserInput(bool on) { m_packed = static_cast<std::uint8_t>(on ? m_packed | 0x02 : m_packed & ~0x02); }
    int Disposal() const { return (m_packed >> 2) & 0x07; }
    void SetDisposal(int method) { m_packed = static_cast<std::uint8_t>((m_packed & ~0x1C) | ((method & 7) << 2)); }
    std::uint8_t PackedFields() const { return m_packed; }

private:
    std::uint8_t m_packed = 0;
    std::uint16_t m_delay = 0;
    std::uint8_t m_transparentIndex = 0;
};

// Comment and plain text extensions keep their text as the file's data sub-blocks (a
// line per sub-block: Text.Lines(); the whole text: Text.Joined()).
class TGIFTextLinesExtension : public TGIFExtension {
public:
    using TGIFExtension::TGIFExtension;
    TGIFSubBlocks Text;

protected:
    void saveText(TGIFWriter& writer) const;
    void loadText(TGIFReader& reader);
};

class TGIFCommentExtension : public TGIFTextLinesExtension {
public:
    using TGIFTextLinesExtension::TGIFTextLinesExtension;
    const char* ClassName() const override { return "TGIFCommentExtension"; }
    std::uint8_t ExtensionType() const override { return 0xFE; }
    void SaveBody(TGIFWriter& writer) const override { saveText(writer); }
    void LoadBody(TGIFReader& reader) override { loadText(reader); }
    std::unique_ptr<TGIFExtension> Clone(TGIFSubImage* frame) const override;
};

class TGIFTextExtension : public TGIFTextLinesExtension {
public:
    explicit TGIFTextExtension(TGIFSubImage* frame);
    const char* ClassName() const override { return "TGIFTextExtension"; }
    std::uint8_t ExtensionType() const override { return 0x01; }
    void SaveBody(TGIFWriter& writer) const override;
    void LoadBody(TGIFReader& reader) override;
    std::unique_ptr<TGIFExtension> Clone(TGIFSubImage* frame) const override;

    // Block size byte (12) and the text grid and colour fields, kept as they are.
    std::vector<std::uint8_t> Block;
    int GridLeft() const { return word(1); }
    int GridTop() const { return word(3); }
    int GridWidth() const { return word(5); }
    int GridHeight() const { return word(7); }
    int CellWidth() const { return byteAt(9); }
    int CellHeight() const { return byteAt(10); }
    int ForegroundColorIndex() const { return byteAt(11); }
    int BackgroundColorIndex() const { return byteAt(12); }

private:
    int byteAt(std::size_t i) const { return i < Block.size() ? Block[i] : 0; }
    int word(std::size_t i) const { return byteAt(i) | (byteAt(i + 1) << 8); }
};

class TGIFApplicationExtension : public TGIFExtension {
public:
    using TGIFExtension::TGIFExtension;
    std::uint8_t ExtensionType() const override { return 0xFF; }
    void SaveBody(TGIFWriter& writer) const override;
    void LoadBody(TGIFReader& reader) override;
    // The data after the 11-byte identifier block, up to and including the terminator.
    virtual void SaveData(TGIFWriter& writer) const = 0;
    virtual void LoadData(TGIFReader& reader) = 0;

    std::string Identifier() const { return std::string(m_id.begin(), m_id.begin() + 8); }
    std::string Authentication() const { return std::string(m_id.begin() + 8, m_id.end()); }
    // The 11 identifier and authentication bytes, padded with zeros.
    void SetIdentification(const std::string& identifierAndCode);
    const std::array<char, 11>& Identification() const { return m_id; }

private:
    std::array<char, 11> m_id{};
};

// The loop extension "NETSCAPE2.0" (also read: "ANIMEXTS1.0").
class TGIFAppExtNSLoop : public TGIFApplicationExtension {
public:
    explicit TGIFAppExtNSLoop(TGIFSubImage* frame);
    const char* ClassName() const override { return "TGIFAppExtNSLoop"; }
    void SaveData(TGIFWriter& writer) const override;
    void LoadData(TGIFReader& reader) override;
    std::unique_ptr<TGIFExtension> Clone(TGIFSubImage* frame) const override;

    int Loops() const { return m_loops; }
    void SetLoops(int loops) { m_loops = static_cast<std::uint16_t>(loops); }
    std::uint32_t BufferSize() const { return m_bufferSize; }
    void SetBufferSize(std::uint32_t size) { m_bufferSize = size; }

private:
    std::uint16_t m_loops = 0;
    std::uint32_t m_bufferSize = 0;
};

class TGIFUnknownAppExtension : public TGIFApplicationExtension {
public:
    using TGIFApplicationExtension::TGIFApplicationExtension;
    const char* ClassName() const override { return "TGIFUnknownAppExtension"; }
    void SaveData(TGIFWriter& writer) const override;
    void LoadData(TGIFReader& reader) override { loadSubBlocks(reader, Blocks); }
    std::unique_ptr<TGIFExtension> Clone(TGIFSubImage* frame) const override;
    TGIFSubBlocks Blocks;
};

// An extension label this codec does not know: kept as its raw data sub-blocks and
// written back unchanged, so files from newer writers survive a round trip.
class TGIFUnknownExtension : public TGIFExtension {
public:
    TGIFUnknownExtension(TGIFSubImage* frame, std::uint8_t label) : TGIFExtension(frame), m_label(label) {}
    const char* ClassName() const override { return "TGIFUnknownExtension"; }
    std::uint8_t ExtensionType() const override { return m_label; }
    void SaveBody(TGIFWriter& writer) const override;
    void LoadBody(TGIFReader& reader) override { loadSubBlocks(reader, Blocks); }
    std::unique_ptr<TGIFExtension> Clone(TGIFSubImage* frame) const override;
    TGIFSubBlocks Blocks;

private:
    std::uint8_t m_label;
};
