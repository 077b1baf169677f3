#include "ProjectFile.h"

#include "gif/OrderedParallel.h"
#include "graphics/ByteOrder.h"
#include "graphics/Exception.h"
#include "graphics/FileWrite.h"
#include "graphics/MemoryBudget.h"
#include "graphics/PngFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>

namespace {

const char* const kManifest = "project.json";
const char* const kFormatName = "anivor-project";
// project.json is a few hundred bytes a frame; anything far larger is not ours.
constexpr std::uint64_t kMaxManifestBytes = 64u << 20;
// Files beyond the manifest and the pictures an archive may hold.
constexpr std::size_t kExtraEntries = 16;

// Whether an entry can hold what it claims, asked before anything is allocated for it:
// deflate unpacks to at most about 1,032 times its packed bytes (a little room is left),
// a stored entry to exactly its bytes. With `hold`, the bytes are then reserved against
// the memory budget (EOutOfMemory when they do not fit).
bool claimFits(const std::string& name, std::uint64_t size, std::uint64_t packed, bool deflated, std::string& why,
               TMemoryReservation* hold)
{
    if (deflated ? size / 1032 > packed + 64 : size != packed) {
        why = "its entry claims " + std::to_string(size) + " bytes, more than its " + std::to_string(packed)
            + " packed bytes can hold";
        return false;
    }
    if (hold)
        hold->Reserve(size, "unpacking " + name);
    return true;
}

std::string frameFileName(int i)
{
    char name[32];
    std::snprintf(name, sizeof name, "frames/%05d.png", i + 1);
    return name;
}

QJsonObject assemblyJson(const TAssemblyOptions& a)
{
    QJsonObject o;
    o["palette"] = PaletteName(a.Reduction.Palette);
    o["bits"] = a.Reduction.Bits;
    o["dither"] = DitherName(a.Reduction.Dither);
    o["merge"] = a.Merge;
    o["crop"] = a.Crop;
    o["framePalettes"] = a.FramePalettes;
    return o;
}

// The manifest's text. Frames refer to their pictures by position.
std::string manifest(const TProject& project)
{
    const TStripDocument& d = project.Document;
    QJsonObject root;
    root["format"] = kFormatName;
    root["version"] = kProjectFormatVersion;
    root["frameWidth"] = d.FrameWidth;
    root["frameHeight"] = d.FrameHeight;
    root["nextFrameNumber"] = d.FrameCounter;
    root["loopCount"] = d.LoopCount;
    root["assembly"] = assemblyJson(project.Assembly);
    QJsonArray frames;
    for (int i = 0; i < d.Count(); ++i) {
        const TFrameRecord& f = d.Frames[static_cast<std::size_t>(i)];
        QJsonObject o;
        o["name"] = QString::fromStdString(f.Name);
        o["delay"] = QString::fromStdString(f.DelayText);
        o["transparent"] = f.Transparent();
        o["picture"] = QString::fromStdString(frameFileName(i));
        frames.append(o);
    }
    root["frames"] = frames;
    return QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString();
}

// libzip in memory: the archive is built in a buffer of its own and copied out.
class TZipOut {
public:
    TZipOut()
    {
        zip_error_init(&m_error);
        m_source = zip_source_buffer_create(nullptr, 0, 0, &m_error);
        if (!m_source)
            fail();
        m_zip = zip_open_from_source(m_source, ZIP_TRUNCATE, &m_error);
        if (!m_zip) {
            zip_source_free(m_source);
            m_source = nullptr;
            fail();
        }
        zip_source_keep(m_source);
    }
    ~TZipOut()
    {
        if (m_zip)
            zip_discard(m_zip);
        if (m_source)
            zip_source_free(m_source);
        zip_error_fini(&m_error);
    }
    TZipOut(const TZipOut&) = delete;
    TZipOut& operator=(const TZipOut&) = delete;

    // `data` must stay alive until Finish.
    void Add(const std::string& name, const void* data, std::size_t size, bool compress)
    {
        zip_source_t* s = zip_source_buffer(m_zip, data, size, 0);
        if (!s)
            fail(zip_get_error(m_zip));
        const zip_int64_t i = zip_file_add(m_zip, name.c_str(), s, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
        if (i < 0) {
            zip_source_free(s);
            fail(zip_get_error(m_zip));
        }
        zip_set_file_compression(m_zip, static_cast<zip_uint64_t>(i), compress ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 0);
    }

    std::vector<std::uint8_t> Finish()
    {
        if (zip_close(m_zip) < 0)
            fail(zip_get_error(m_zip));
        m_zip = nullptr;
        std::vector<std::uint8_t> out;
        if (zip_source_open(m_source) < 0)
            fail(zip_source_error(m_source));
        zip_source_seek(m_source, 0, SEEK_END);
        const zip_int64_t size = zip_source_tell(m_source);
        zip_source_seek(m_source, 0, SEEK_SET);
        out.resize(static_cast<std::size_t>(std::max<zip_int64_t>(size, 0)));
        const zip_int64_t read = out.empty() ? 0 : zip_source_read(m_source, out.data(), out.size());
        zip_source_close(m_source);
        if (read != size)
            throw Exception("Unable to build the project archive");
        return out;
    }

private:
    [[noreturn]] void fail(zip_error_t* e = nullptr)
    {
        throw Exception(std::string("Unable to build the project archive: ") + zip_error_strerror(e ? e : &m_error));
    }

    zip_error_t m_error;
    zip_source_t* m_source = nullptr;
    zip_t* m_zip = nullptr;
};

// The archive's entries, read on demand with a limit on each.
class TArchive {
public:
    virtual ~TArchive() = default;
    virtual std::vector<std::string> Names() const = 0;
    // Up to `n` bytes from the entry's start (fewer or none when it is short or missing).
    virtual std::vector<std::uint8_t> Head(const std::string& name, std::size_t n) = 0;
    // The entry's bytes; nullopt when it is missing, larger than `limit` or unreadable
    // (`why` then says which). With `hold`, the bytes are reserved there before they are
    // taken.
    virtual std::optional<std::vector<std::uint8_t>> Read(const std::string& name, std::uint64_t limit,
                                                           std::string& why, TMemoryReservation* hold) = 0;
};

class TLibZipArchive final : public TArchive {
public:
    TLibZipArchive(const std::vector<std::uint8_t>& bytes, std::string& why)
    {
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
        if (source) {
            m_zip = zip_open_from_source(source, ZIP_RDONLY, &error);
            if (!m_zip)
                zip_source_free(source);
        }
        if (!m_zip)
            why = zip_error_strerror(&error);
        zip_error_fini(&error);
    }
    ~TLibZipArchive() override
    {
        if (m_zip)
            zip_discard(m_zip);
    }
    bool Open() const { return m_zip != nullptr; }
    zip_int64_t Count() const { return zip_get_num_entries(m_zip, 0); }

    std::vector<std::string> Names() const override
    {
        std::vector<std::string> out;
        for (zip_int64_t i = 0; i < Count(); ++i)
            if (const char* n = zip_get_name(m_zip, static_cast<zip_uint64_t>(i), 0))
                out.emplace_back(n);
        return out;
    }

    std::vector<std::uint8_t> Head(const std::string& name, std::size_t n) override
    {
        std::vector<std::uint8_t> out(n);
        zip_file_t* file = zip_fopen(m_zip, name.c_str(), 0);
        const zip_int64_t got = file ? zip_fread(file, out.data(), n) : 0;
        if (file)
            zip_fclose(file);
        out.resize(static_cast<std::size_t>(std::max<zip_int64_t>(got, 0)));
        return out;
    }

    std::optional<std::vector<std::uint8_t>> Read(const std::string& name, std::uint64_t limit, std::string& why,
                                                  TMemoryReservation* hold) override
    {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat(m_zip, name.c_str(), 0, &st) < 0 || !(st.valid & ZIP_STAT_SIZE)) {
            why = "missing from the archive";
            return std::nullopt;
        }
        if (st.size > limit) {
            why = "its entry claims " + std::to_string(st.size) + " bytes, more than it can hold";
            return std::nullopt;
        }
        if ((st.valid & ZIP_STAT_COMP_SIZE) && (st.valid & ZIP_STAT_COMP_METHOD)
            && !claimFits(name, st.size, st.comp_size, st.comp_method != ZIP_CM_STORE, why, hold))
            return std::nullopt;
        zip_file_t* file = zip_fopen(m_zip, name.c_str(), 0);
        if (!file) {
            why = zip_error_strerror(zip_get_error(m_zip));
            return std::nullopt;
        }
        std::vector<std::uint8_t> data(static_cast<std::size_t>(st.size));
        const zip_int64_t got = data.empty() ? 0 : zip_fread(file, data.data(), data.size());
        std::uint8_t extra = 0;
        const bool more = zip_fread(file, &extra, 1) > 0;
        zip_fclose(file);
        if (got != static_cast<zip_int64_t>(data.size()) || more) {
            why = "its data is damaged";
            return std::nullopt;
        }
        return data;
    }

private:
    zip_t* m_zip = nullptr;
};

// What is left of an archive cut short: the entries whose local headers and data are
// whole, read one after another from the start.
class TScannedArchive final : public TArchive {
public:
    explicit TScannedArchive(const std::vector<std::uint8_t>& bytes) : m_bytes(bytes)
    {
        std::size_t at = 0;
        while (at + 30 <= bytes.size() && ReadLE32(&bytes[at]) == 0x04034b50) {
            const std::uint16_t flags = ReadLE16(&bytes[at + 6]);
            const std::uint16_t method = ReadLE16(&bytes[at + 8]);
            const std::uint32_t packed = ReadLE32(&bytes[at + 18]);
            const std::uint32_t size = ReadLE32(&bytes[at + 22]);
            const std::size_t nameLength = ReadLE16(&bytes[at + 26]);
            const std::size_t extraLength = ReadLE16(&bytes[at + 28]);
            const std::size_t data = at + 30 + nameLength + extraLength;
            // Sizes given after the data cannot be followed; neither can a cut entry.
            if ((flags & 8) || data > bytes.size() || packed > bytes.size() - data || (method != 0 && method != 8))
                break;
            Entry e;
            e.Name.assign(reinterpret_cast<const char*>(&bytes[at + 30]), nameLength);
            e.Offset = data;
            e.Packed = packed;
            e.Size = size;
            e.Deflated = method == 8;
            m_entries.push_back(std::move(e));
            at = data + packed;
        }
    }

    std::vector<std::string> Names() const override
    {
        std::vector<std::string> out;
        for (const Entry& e : m_entries)
            out.push_back(e.Name);
        return out;
    }

    std::vector<std::uint8_t> Head(const std::string& name, std::size_t n) override
    {
        const auto it = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.Name == name; });
        if (it == m_entries.end())
            return {};
        if (!it->Deflated) {
            const std::uint8_t* p = m_bytes.data() + it->Offset;
            return std::vector<std::uint8_t>(p, p + std::min<std::size_t>(n, it->Packed));
        }
        std::string why;
        const auto whole = Read(name, std::max<std::uint64_t>(n, 1u << 20), why, nullptr);
        return whole ? std::vector<std::uint8_t>(whole->begin(), whole->begin() + std::min(n, whole->size()))
                     : std::vector<std::uint8_t>();
    }

    std::optional<std::vector<std::uint8_t>> Read(const std::string& name, std::uint64_t limit, std::string& why,
                                                  TMemoryReservation* hold) override
    {
        const auto it = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.Name == name; });
        if (it == m_entries.end()) {
            why = "missing: the archive is cut short before it";
            return std::nullopt;
        }
        if (it->Size > limit) {
            why = "its entry claims " + std::to_string(it->Size) + " bytes, more than it can hold";
            return std::nullopt;
        }
        const std::uint8_t* p = m_bytes.data() + it->Offset;
        if (!it->Deflated) {
            if (it->Packed != it->Size) {
                why = "its data is damaged";
                return std::nullopt;
            }
            if (hold)
                hold->Reserve(it->Packed, "unpacking " + name);
            return std::vector<std::uint8_t>(p, p + it->Packed);
        }
        if (!claimFits(name, it->Size, it->Packed, true, why, hold))
            return std::nullopt;
        std::vector<std::uint8_t> out(it->Size);
        z_stream z{};
        if (inflateInit2(&z, -MAX_WBITS) != Z_OK) {
            why = "its data cannot be unpacked";
            return std::nullopt;
        }
        z.next_in = const_cast<Bytef*>(p);
        z.avail_in = it->Packed;
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        const int rc = inflate(&z, Z_FINISH);
        const bool whole = rc == Z_STREAM_END && z.total_out == out.size();
        inflateEnd(&z);
        if (!whole) {
            why = "its data is damaged";
            return std::nullopt;
        }
        return out;
    }

private:
    struct Entry {
        std::string Name;
        std::size_t Offset = 0;
        std::uint32_t Packed = 0;
        std::uint32_t Size = 0;
        bool Deflated = false;
    };
    const std::vector<std::uint8_t>& m_bytes;
    std::vector<Entry> m_entries;
};

std::string frameLabel(int i, const std::string& name)
{
    return "frame " + std::to_string(i + 1) + (name.empty() ? std::string() : " (" + name + ")");
}

void readAssembly(const QJsonObject& o, TAssemblyOptions& a, std::vector<std::string>& losses)
{
    if (o.isEmpty())
        return;
    TColorReduction palette = a.Reduction.Palette;
    if (ParsePaletteName(o["palette"].toString().toStdString(), palette))
        a.Reduction.Palette = palette;
    else
        losses.push_back("the palette \"" + o["palette"].toString().toStdString() + "\" is unknown: the default is used");
    TDitherMode dither = a.Reduction.Dither;
    if (ParseDitherName(o["dither"].toString().toStdString(), dither))
        a.Reduction.Dither = dither;
    else
        losses.push_back("the dithering \"" + o["dither"].toString().toStdString() + "\" is unknown: the default is used");
    a.Reduction.Bits = std::clamp(o["bits"].toInt(8), 3, 8);
    a.Merge = o["merge"].toBool(false);
    a.Crop = o["crop"].toBool(false);
    a.FramePalettes = o["framePalettes"].toBool(false);
}

// One frame the manifest names, before its picture is read.
struct TFrameEntry {
    std::string Name;
    std::string Delay;
    bool Transparent = false;
    std::string Picture;
};

// The manifest read; frames without a usable entry are listed in `losses`. Throws for a
// project of a later format or one that is not a project at all.
std::vector<TFrameEntry> readManifest(const QJsonObject& root, const std::string& file, TProject& project,
                                      std::vector<std::string>& losses)
{
    if (root["format"].toString() != kFormatName)
        throw EInvalidGraphic(file + ": not an Anivor project (project.json names no Anivor project)");
    const int version = root["version"].toInt(0);
    if (version > kProjectFormatVersion)
        throw EInvalidGraphic(file + ": this project was saved by a newer Anivor (project format " + std::to_string(version)
                              + "); this Anivor reads format " + std::to_string(kProjectFormatVersion)
                              + " and older");
    if (version < 1)
        throw EInvalidGraphic(file + ": the project's format version is missing or invalid");
    TStripDocument& d = project.Document;
    d.FrameWidth = root["frameWidth"].toInt(0);
    d.FrameHeight = root["frameHeight"].toInt(0);
    // An empty strip has no frame size yet.
    const bool none = d.FrameWidth == 0 && d.FrameHeight == 0 && root["frames"].toArray().isEmpty();
    if (!none && (d.FrameWidth < 1 || d.FrameHeight < 1 || d.FrameWidth > 16384 || d.FrameHeight > 16384))
        throw EInvalidGraphic(file + ": the project's frame size " + std::to_string(d.FrameWidth) + " x "
                              + std::to_string(d.FrameHeight) + " is invalid");
    d.LoopCount = root["loopCount"].toInt(0);
    readAssembly(root["assembly"].toObject(), project.Assembly, losses);
    const QJsonArray frames = root["frames"].toArray();
    if (frames.size() > kMaxProjectFrames)
        throw EInvalidGraphic(file + ": the project lists " + std::to_string(frames.size())
                              + " frames, more than the " + std::to_string(kMaxProjectFrames) + " a project may hold");
    std::vector<TFrameEntry> out;
    for (int i = 0; i < frames.size(); ++i) {
        const QJsonObject o = frames[i].toObject();
        TFrameEntry e;
        e.Name = o["name"].toString().toStdString();
        e.Delay = o["delay"].isString() ? o["delay"].toString().toStdString()
                                        : std::to_string(o["delay"].toInt(10));
        e.Transparent = o["transparent"].toBool(false);
        e.Picture = o["picture"].toString().toStdString();
        if (e.Picture.empty()) {
            losses.push_back(frameLabel(i, e.Name) + ": the project names no picture for it");
            continue;
        }
        if (e.Delay.size() > 64)
            e.Delay = "10";
        out.push_back(std::move(e));
    }
    // The next number never names a frame that exists.
    d.FrameCounter = std::max(1, root["nextFrameNumber"].toInt(1));
    return out;
}

// Without a readable manifest: the pictures found, in order, with default entries.
std::vector<TFrameEntry> framesWithoutManifest(const TArchive& archive)
{
    std::vector<std::string> names;
    for (const std::string& n : archive.Names())
        if (n.rfind("frames/", 0) == 0 && n.size() > 11 && n.ends_with(".png"))
            names.push_back(n);
    std::sort(names.begin(), names.end());
    std::vector<TFrameEntry> out;
    for (const std::string& n : names)
        out.push_back({"", "10", false, n});
    return out;
}

} // namespace

std::vector<std::uint8_t> TProjectWriter::Archive(const TProject& project)
{
    const std::vector<TFrameRecord>& frames = project.Document.Frames;
    const int n = static_cast<int>(frames.size());
    std::vector<std::shared_ptr<const std::vector<std::uint8_t>>> pngs(static_cast<std::size_t>(n));
    std::vector<int> missing;
    for (int i = 0; i < n; ++i) {
        const auto it = m_pngs.find(frames[static_cast<std::size_t>(i)].Version);
        if (it != m_pngs.end())
            pngs[static_cast<std::size_t>(i)] = it->second;
        else
            missing.push_back(i);
    }
    ForEachInOrder(
        static_cast<int>(missing.size()), 0,
        [&](int k) {
            const TFrameRecord& f = frames[static_cast<std::size_t>(missing[static_cast<std::size_t>(k)])];
            return std::make_shared<const std::vector<std::uint8_t>>(WritePng(f.Bitmap(), 1));
        },
        [&](int k, std::shared_ptr<const std::vector<std::uint8_t>>& png) {
            pngs[static_cast<std::size_t>(missing[static_cast<std::size_t>(k)])] = std::move(png);
        });
    m_lastEncoded = static_cast<int>(missing.size());
    // Only what this project holds stays cached.
    m_pngs.clear();
    for (int i = 0; i < n; ++i)
        m_pngs[frames[static_cast<std::size_t>(i)].Version] = pngs[static_cast<std::size_t>(i)];

    const std::string text = manifest(project);
    TZipOut zip;
    zip.Add(kManifest, text.data(), text.size(), true);
    for (int i = 0; i < n; ++i) {
        const std::vector<std::uint8_t>& png = *pngs[static_cast<std::size_t>(i)];
        // PNGs are compressed already: stored as they are.
        zip.Add(frameFileName(i), png.data(), png.size(), false);
    }
    return zip.Finish();
}

void TProjectWriter::Save(const std::string& path, const TProject& project)
{
    WriteFileAtomic(path, Archive(project));
}

TProjectLoad ReadProject(const std::vector<std::uint8_t>& bytes, const std::string& name)
{
    TProjectLoad load;
    std::vector<std::string>& losses = load.Losses;
    std::string why;
    std::unique_ptr<TArchive> archive;
    {
        auto zip = std::make_unique<TLibZipArchive>(bytes, why);
        if (zip->Open())
            archive = std::move(zip);
    }
    if (!archive) {
        auto scanned = std::make_unique<TScannedArchive>(bytes);
        if (scanned->Names().empty())
            throw EInvalidGraphic(name + ": not an Anivor project (" + (why.empty() ? "not a ZIP archive" : why) + ")");
        losses.push_back("the archive is damaged (" + why + "): what comes before the damage was read");
        archive = std::move(scanned);
    }

    std::vector<TFrameEntry> entries;
    std::string manifestWhy;
    std::optional<std::vector<std::uint8_t>> text = archive->Read(kManifest, kMaxManifestBytes, manifestWhy, nullptr);
    QJsonParseError error{};
    const QJsonDocument json =
        text ? QJsonDocument::fromJson(QByteArray(reinterpret_cast<const char*>(text->data()), static_cast<int>(text->size())), &error)
             : QJsonDocument();
    if (json.isObject()) {
        entries = readManifest(json.object(), name, load.Project, losses);
    } else {
        if (!text)
            losses.push_back("project.json: " + manifestWhy);
        else
            losses.push_back("project.json is not readable (" + error.errorString().toStdString() + ")");
        entries = framesWithoutManifest(*archive);
        if (entries.empty())
            throw EInvalidGraphic(name + ": not an Anivor project (no project.json and no frame pictures)");
        losses.push_back("the frames were restored in order with new names and a delay of 10");
    }
    // A project holds its manifest, its pictures and a few files someone added; thousands
    // of entries more are no project of ours.
    if (const std::size_t count = archive->Names().size(); count > entries.size() + kExtraEntries)
        throw EInvalidGraphic(name + ": the archive holds " + std::to_string(count) + " entries, more than a project of "
                              + std::to_string(entries.size()) + " frames");

    TStripDocument& d = load.Project.Document;
    // The frame size: the manifest's, or without one the first picture's.
    std::vector<std::optional<std::vector<std::uint8_t>>> files(entries.size());
    // What went wrong with each entry, reported in the entries' order.
    std::vector<std::string> lossOf(entries.size());
    std::vector<bool> sized(entries.size(), false);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string label = frameLabel(static_cast<int>(i), entries[i].Name);
        // The picture's size from its header first: nothing of another size is read.
        TImageInfo info;
        try {
            const std::vector<std::uint8_t> head = archive->Head(entries[i].Picture, 33);
            if (head.empty())
                throw EInvalidGraphic(entries[i].Picture + " is missing from the archive");
            info = ReadPngInfo(head.data(), head.size());
        } catch (const std::exception& e) {
            lossOf[i] = label + ": " + e.what();
            continue;
        }
        if (d.FrameWidth == 0 && d.FrameHeight == 0) {
            d.FrameWidth = info.Width;
            d.FrameHeight = info.Height;
        }
        if (info.Width != d.FrameWidth || info.Height != d.FrameHeight) {
            lossOf[i] = label + ": its picture is " + std::to_string(info.Width) + " x " + std::to_string(info.Height)
                        + ", not the project's " + std::to_string(d.FrameWidth) + " x " + std::to_string(d.FrameHeight);
            continue;
        }
        sized[i] = true;
    }
    // The frames to be decoded must fit before any picture is unpacked.
    const int candidates = static_cast<int>(std::count(sized.begin(), sized.end(), true));
    if (candidates > 0)
        MemoryBudget::Check(MemoryBudget::PictureBytes(d.FrameWidth, d.FrameHeight, candidates),
                            "a project of " + std::to_string(candidates) + " frames of " + std::to_string(d.FrameWidth)
                                + " x " + std::to_string(d.FrameHeight));
    // The packed pictures count against the budget while they wait to be decoded.
    std::vector<TMemoryReservation> fileHolds(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!sized[i])
            continue;
        // A picture of the frame size is never larger than its raw pixels and their headers.
        std::string fileWhy;
        files[i] = archive->Read(entries[i].Picture, MemoryBudget::PictureBytes(d.FrameWidth, d.FrameHeight) + 65536,
                                 fileWhy, &fileHolds[i]);
        if (!files[i])
            lossOf[i] = frameLabel(static_cast<int>(i), entries[i].Name) + ": " + entries[i].Picture + " " + fileWhy;
    }
    for (const std::string& loss : lossOf)
        if (!loss.empty())
            losses.push_back(loss);

    std::vector<int> order;
    for (std::size_t i = 0; i < files.size(); ++i)
        if (files[i])
            order.push_back(static_cast<int>(i));
    std::vector<std::optional<TBitmap>> pictures(files.size());
    std::vector<std::string> decodeWhy(files.size());
    ForEachInOrder(
        static_cast<int>(order.size()), 0,
        [&](int k) {
            const std::size_t i = static_cast<std::size_t>(order[static_cast<std::size_t>(k)]);
            std::optional<TBitmap> picture;
            try {
                picture = ReadPngKeepingPalette(files[i]->data(), files[i]->size());
            } catch (const EOutOfMemory&) {
                throw;
            } catch (const std::exception& e) {
                decodeWhy[i] = e.what();
            }
            return picture;
        },
        [&](int k, std::optional<TBitmap>& picture) {
            const std::size_t i = static_cast<std::size_t>(order[static_cast<std::size_t>(k)]);
            files[i].reset();
            fileHolds[i].Release();
            pictures[i] = std::move(picture);
        });

    std::set<std::string> names;
    int highest = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!pictures[i]) {
            if (!decodeWhy[i].empty())
                losses.push_back(frameLabel(static_cast<int>(i), entries[i].Name) + ": " + decodeWhy[i]);
            continue;
        }
        TFrameEntry& e = entries[i];
        // Names stay unique; a missing or repeated one gets the next number.
        if (e.Name.empty() || names.contains(e.Name)) {
            if (!e.Name.empty())
                losses.push_back(frameLabel(static_cast<int>(i), e.Name) + ": its name is used twice; it is renamed");
            e.Name.clear();
        }
        TFrameRecord f;
        f.Name = e.Name;
        f.DelayText = e.Delay;
        pictures[i]->SetTransparent(e.Transparent);
        f.Picture = std::make_shared<const TBitmap>(std::move(*pictures[i]));
        f.Version = NewPictureVersion();
        if (!f.Name.empty()) {
            names.insert(f.Name);
            if (f.Name.rfind("Frame", 0) == 0 && f.Name.size() > 5
                && std::all_of(f.Name.begin() + 5, f.Name.end(), [](unsigned char c) { return std::isdigit(c); }))
                highest = std::max(highest, std::atoi(f.Name.c_str() + 5));
        }
        d.Frames.push_back(std::move(f));
    }
    d.FrameCounter = std::max(d.FrameCounter, highest + 1);
    for (TFrameRecord& f : d.Frames)
        if (f.Name.empty())
            f.Name = "Frame" + std::to_string(d.FrameCounter++);
    return load;
}

TProjectLoad LoadProject(const std::string& path)
{
    return ReadProject(ReadFileBytes(path), path);
}

bool IsProjectFile(const std::string& path)
{
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == kProjectExtension;
}
