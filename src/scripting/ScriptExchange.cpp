#include "ScriptExchange.h"

#include "graphics/MemoryBudget.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kRequestMagic[8] = {'A', 'N', 'V', 'S', 'C', 'R', 'Q', '1'};
constexpr char kOutcomeMagic[8] = {'A', 'N', 'V', 'S', 'C', 'R', 'O', '1'};
// The longest text an outcome may carry (an error's source line and description are cut
// much shorter by the host; this only bounds what is read).
constexpr std::uint32_t kMaxText = 1u << 20;
constexpr std::uint32_t kMaxPoints = 4000000;

class TWriter {
public:
    explicit TWriter(int fd) : m_fd(fd)
    {
        if (::ftruncate(fd, 0) != 0 || ::lseek(fd, 0, SEEK_SET) != 0)
            fail();
    }
    template <typename T> void Put(T value)
    {
        static_assert(std::is_trivially_copyable_v<T>);
        m_buffer.append(reinterpret_cast<const char*>(&value), sizeof value);
    }
    void PutText(const std::string& text)
    {
        Put<std::uint32_t>(static_cast<std::uint32_t>(text.size()));
        m_buffer += text;
    }
    // Written straight to the file: a picture is not copied once more.
    void PutBytes(const void* data, std::size_t size)
    {
        Flush();
        write(data, size);
    }
    void Flush()
    {
        write(m_buffer.data(), m_buffer.size());
        m_buffer.clear();
    }

private:
    void write(const void* data, std::size_t size)
    {
        const char* p = static_cast<const char*>(data);
        while (size > 0) {
            const ssize_t n = ::write(m_fd, p, size);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                fail();
            p += n;
            size -= static_cast<std::size_t>(n);
        }
    }
    [[noreturn]] static void fail() { throw Exception(std::string("The script's exchange file cannot be written: ") + std::strerror(errno)); }

    int m_fd;
    std::string m_buffer;
};

class TReader {
public:
    explicit TReader(int fd) : m_fd(fd)
    {
        struct stat st {};
        if (::fstat(fd, &st) != 0)
            fail();
        m_size = static_cast<std::uint64_t>(st.st_size);
    }
    template <typename T> T Get()
    {
        T value;
        GetBytes(&value, sizeof value);
        return value;
    }
    std::string GetText()
    {
        const auto size = Get<std::uint32_t>();
        if (size > kMaxText)
            fail();
        std::string text(size, '\0');
        GetBytes(text.data(), size);
        return text;
    }
    void GetBytes(void* data, std::uint64_t size)
    {
        if (size > m_size - m_pos)
            fail();
        char* p = static_cast<char*>(data);
        while (size > 0) {
            const ssize_t n = ::pread(m_fd, p, size, static_cast<off_t>(m_pos));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                fail();
            p += n;
            m_pos += static_cast<std::uint64_t>(n);
            size -= static_cast<std::uint64_t>(n);
        }
    }
    std::uint64_t Left() const { return m_size - m_pos; }
    [[noreturn]] static void fail() { throw Exception("The script's exchange file is damaged"); }

private:
    int m_fd;
    std::uint64_t m_size = 0;
    std::uint64_t m_pos = 0;
};

void putCanvas(TWriter& w, const TCanvasState& c)
{
    w.Put<std::uint32_t>(c.Pen.Color);
    w.Put<std::int32_t>(c.Pen.Width);
    w.Put<std::int32_t>(static_cast<int>(c.Pen.Style));
    w.Put<std::int32_t>(static_cast<int>(c.Pen.Mode));
    w.Put<std::uint32_t>(c.BrushColor);
    w.Put<std::int32_t>(static_cast<int>(c.BrushStyle));
    w.PutText(c.FontName);
    w.Put<std::uint32_t>(c.FontColor);
    w.Put<std::uint32_t>(c.FontStyle);
    w.Put<std::int32_t>(c.FontHeight);
    w.Put<std::int32_t>(c.PenPos.X);
    w.Put<std::int32_t>(c.PenPos.Y);
    w.Put<std::int32_t>(static_cast<int>(c.PolyFillMode));
}

template <typename E> E enumIn(std::int32_t v, E last)
{
    if (v < 0 || v > static_cast<std::int32_t>(last))
        TReader::fail();
    return static_cast<E>(v);
}

TCanvasState getCanvas(TReader& r)
{
    TCanvasState c;
    c.Pen.Color = r.Get<std::uint32_t>();
    c.Pen.Width = r.Get<std::int32_t>();
    c.Pen.Style = enumIn(r.Get<std::int32_t>(), TPenStyle::psInsideFrame);
    c.Pen.Mode = enumIn(r.Get<std::int32_t>(), TPenMode::pmNotXor);
    c.BrushColor = r.Get<std::uint32_t>();
    c.BrushStyle = enumIn(r.Get<std::int32_t>(), TBrushStyle::bsDiagCross);
    c.FontName = r.GetText();
    c.FontColor = r.Get<std::uint32_t>();
    c.FontStyle = r.Get<std::uint32_t>();
    c.FontHeight = r.Get<std::int32_t>();
    c.PenPos.X = r.Get<std::int32_t>();
    c.PenPos.Y = r.Get<std::int32_t>();
    c.PolyFillMode = enumIn(r.Get<std::int32_t>(), TPolyFillMode::Winding);
    return c;
}

void putPicture(TWriter& w, const TBitmap& b)
{
    w.Put<std::int32_t>(b.PixelFormat() == TPixelFormat::pf24bit ? 24 : 8);
    w.Put<std::int32_t>(b.Width());
    w.Put<std::int32_t>(b.Height());
    w.Put<std::uint8_t>(b.Transparent() ? 1 : 0);
    w.Put<std::uint32_t>(static_cast<std::uint32_t>(b.Palette().size()));
    for (TColor c : b.Palette())
        w.Put<std::uint32_t>(c);
    w.PutBytes(b.Bits(), static_cast<std::size_t>(b.RowBytes()) * static_cast<std::size_t>(b.Height()));
}

TBitmap getPicture(TReader& r)
{
    const auto bits = r.Get<std::int32_t>();
    const auto width = r.Get<std::int32_t>();
    const auto height = r.Get<std::int32_t>();
    const bool transparent = r.Get<std::uint8_t>() != 0;
    const auto colours = r.Get<std::uint32_t>();
    if ((bits != 24 && bits != 8) || width < 0 || height < 0 || colours > 256)
        TReader::fail();
    std::vector<TColor> palette(colours);
    for (TColor& c : palette)
        c = r.Get<std::uint32_t>();
    const TPixelFormat format = bits == 24 ? TPixelFormat::pf24bit : TPixelFormat::pf8bit;
    // The pixels must be in the file before a bitmap of that size is made.
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * (bits / 8) + 3) / 4 * 4;
    if (rowBytes * static_cast<std::uint64_t>(height) > r.Left())
        TReader::fail();
    TBitmap b(width, height, format);
    if (!palette.empty())
        b.SetPalette(palette);
    b.SetTransparent(transparent);
    r.GetBytes(b.Bits(), static_cast<std::uint64_t>(b.RowBytes()) * static_cast<std::uint64_t>(b.Height()));
    return b;
}

} // namespace

TCanvasState TCanvasState::Of(const TCanvas& canvas)
{
    TCanvasState c;
    c.Pen = canvas.Pen;
    c.BrushColor = canvas.Brush.Color();
    c.BrushStyle = canvas.Brush.Style();
    c.FontName = canvas.Font.Name;
    c.FontColor = canvas.Font.Color;
    c.FontStyle = canvas.Font.Style;
    c.FontHeight = canvas.Font.Height();
    c.PenPos = canvas.PenPos;
    c.PolyFillMode = canvas.PolyFillMode;
    return c;
}

void TCanvasState::ApplyTo(TCanvas& canvas) const
{
    canvas.Pen = Pen;
    // The colour first: setting it turns a clear brush solid.
    canvas.Brush.SetColor(BrushColor);
    canvas.Brush.SetStyle(BrushStyle);
    canvas.Font.Name = FontName;
    canvas.Font.Color = FontColor;
    canvas.Font.Style = FontStyle;
    canvas.Font.SetHeight(FontHeight);
    canvas.PenPos = PenPos;
    canvas.PolyFillMode = PolyFillMode;
}

void WriteScriptRequest(int fd, const TScriptRequest& request, const TBitmap& picture)
{
    TWriter w(fd);
    for (char c : kRequestMagic)
        w.Put(c);
    w.Put<double>(request.TimeoutSeconds);
    w.Put<std::uint64_t>(request.MemoryRoom);
    putCanvas(w, request.Canvas);
    w.PutText(request.Code);
    putPicture(w, picture);
    w.Flush();
}

TScriptRequest ReadScriptRequest(int fd, TBitmap& picture)
{
    TReader r(fd);
    for (char c : kRequestMagic)
        if (r.Get<char>() != c)
            TReader::fail();
    TScriptRequest request;
    request.TimeoutSeconds = r.Get<double>();
    request.MemoryRoom = r.Get<std::uint64_t>();
    request.Canvas = getCanvas(r);
    const auto size = r.Get<std::uint32_t>();
    if (size > r.Left())
        TReader::fail();
    request.Code.resize(size);
    r.GetBytes(request.Code.data(), size);
    picture = getPicture(r);
    return request;
}

void WriteScriptOutcome(int fd, const TScriptOutcome& outcome)
{
    TWriter w(fd);
    for (char c : kOutcomeMagic)
        w.Put(c);
    w.Put<std::uint8_t>(outcome.Error ? 1 : 0);
    if (outcome.Error) {
        w.Put<std::int32_t>(outcome.Error->Line);
        w.Put<std::int32_t>(outcome.Error->Pos);
        w.PutText(outcome.Error->Source);
        w.PutText(outcome.Error->Description);
    }
    putCanvas(w, outcome.Canvas);
    w.Put<std::uint8_t>(outcome.ActorPathSet ? 1 : 0);
    w.Put<std::uint32_t>(static_cast<std::uint32_t>(outcome.ActorPath.size()));
    for (const TPoint& p : outcome.ActorPath) {
        w.Put<std::int32_t>(p.X);
        w.Put<std::int32_t>(p.Y);
    }
    w.Put<std::uint8_t>(outcome.Drawn ? 1 : 0);
    if (outcome.Drawn)
        putPicture(w, outcome.Picture);
    w.Flush();
}

TScriptOutcome ReadScriptOutcome(int fd)
{
    TReader r(fd);
    for (char c : kOutcomeMagic)
        if (r.Get<char>() != c)
            TReader::fail();
    TScriptOutcome outcome;
    outcome.Completed = true;
    if (r.Get<std::uint8_t>()) {
        TScriptError e;
        e.Line = r.Get<std::int32_t>();
        e.Pos = r.Get<std::int32_t>();
        e.Source = r.GetText();
        e.Description = r.GetText();
        outcome.Error = e;
    }
    outcome.Canvas = getCanvas(r);
    outcome.ActorPathSet = r.Get<std::uint8_t>() != 0;
    const auto points = r.Get<std::uint32_t>();
    if (points > kMaxPoints || std::uint64_t(points) * 8 > r.Left())
        TReader::fail();
    outcome.ActorPath.resize(points);
    for (TPoint& p : outcome.ActorPath) {
        p.X = r.Get<std::int32_t>();
        p.Y = r.Get<std::int32_t>();
    }
    outcome.Drawn = r.Get<std::uint8_t>() != 0;
    if (outcome.Drawn)
        outcome.Picture = getPicture(r);
    return outcome;
}
