// Base of every block of a document: it knows its document, its GIF version and how to
// write and read itself.
#pragma once

#include "GIFStream.h"
#include "GIFTypes.h"

class TGIFImage;

class TGIFItem : public TGIFObject {
public:
    explicit TGIFItem(TGIFImage* image) : m_image(image) {}
    virtual ~TGIFItem() = default;
    TGIFItem(const TGIFItem&) = delete;
    TGIFItem& operator=(const TGIFItem&) = delete;

    TGIFImage* Image() const { return m_image; }
    virtual TGIFVersion Version() const { return gv87a; }
    // Sends a warning to the document's callback (see TGIFWarningFn).
    void Warning(int severity, const std::string& message) const;
    virtual void SaveToStream(TGIFWriter& writer) const = 0;
    virtual void LoadFromStream(TGIFReader& reader) = 0;

protected:
    void setImage(TGIFImage* image) { m_image = image; }

private:
    TGIFImage* m_image;
};

class TGIFTrailer : public TGIFItem {
public:
    using TGIFItem::TGIFItem;
    const char* ClassName() const override { return "TGIFTrailer"; }
    void SaveToStream(TGIFWriter& writer) const override { writer.WriteByte(0x3B); }
    // Warns "Invalid Image trailer" when a byte follows that is not the trailer.
    void LoadFromStream(TGIFReader& reader) override;
    // The trailer byte was read.
    bool Found() const { return m_found; }

private:
    bool m_found = false;
};
