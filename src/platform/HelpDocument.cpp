#include "HelpDocument.h"

#include "AppDir.h"

#include "graphics/Exception.h"
#include "graphics/FileWrite.h"

#include <QString>

#include <filesystem>

namespace {

// A help text is small; a huge file is refused rather than loaded.
constexpr std::uintmax_t MaxHelpFileSize = 8u * 1024u * 1024u;

std::string trimmed(const std::string& s)
{
    return QString::fromStdString(s).trimmed().toStdString();
}

bool startsWith(const std::string& s, const char* prefix)
{
    return s.rfind(prefix, 0) == 0;
}

} // namespace

THelpDocument THelpDocument::Load(const std::string& fileName)
{
    const std::string missing = "The help file " + fileName + " was not found.";
    std::error_code ec;
    if (!std::filesystem::is_regular_file(fileName, ec))
        throw Exception(missing);
    const std::uintmax_t size = std::filesystem::file_size(fileName, ec);
    if (ec || size > MaxHelpFileSize)
        throw Exception("The help file " + fileName + " cannot be read.");
    std::vector<std::uint8_t> bytes;
    try {
        bytes = ReadFileBytes(fileName);
    } catch (const Exception&) {
        throw Exception("The help file " + fileName + " cannot be read.");
    }
    return Parse(std::string(bytes.begin(), bytes.end()));
}

THelpDocument THelpDocument::Parse(const std::string& text)
{
    THelpDocument doc;
    bool inFence = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t nl = text.find('\n', start);
        std::string line = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
        start = nl == std::string::npos ? text.size() : nl + 1;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // A "# " inside a fenced code block is code, not a heading.
        if (startsWith(line, "```") || startsWith(line, "~~~"))
            inFence = !inFence;
        if (!inFence && startsWith(line, "# ")) {
            doc.m_topics.push_back({trimmed(line.substr(2)), {}});
        }
        if (!doc.m_topics.empty())
            doc.m_topics.back().Markdown += line + "\n";
    }
    return doc;
}

const THelpTopic* THelpDocument::Find(const std::string& name) const
{
    const QString wanted = QString::fromStdString(trimmed(name));
    for (const THelpTopic& t : m_topics)
        if (QString::fromStdString(t.Name).compare(wanted, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

void THelpDocument::Append(const THelpDocument& other)
{
    m_topics.insert(m_topics.end(), other.m_topics.begin(), other.m_topics.end());
}

std::string ReadmeFileName()
{
    std::error_code ec;
    for (const std::string& candidate :
         {AppDir() + "README.md", ExecutableDir() + "README.md",
          (std::filesystem::path(ExecutableDir()) / ".." / "share" / "doc" / "anivor" / "README.md").lexically_normal().string()})
        if (std::filesystem::is_regular_file(candidate, ec))
            return candidate;
    return {};
}

std::string HelpFileName()
{
    std::error_code ec;
    const std::string inAppDir = AppDir() + "Anivor.hlp";
    if (std::filesystem::exists(inAppDir, ec))
        return inAppDir;
    const std::string besideExe = ExecutableDir() + "Anivor.hlp";
    if (std::filesystem::exists(besideExe, ec))
        return besideExe;
    const std::string installed = SharedDataDir(ExecutableDir()) + "Anivor.hlp";
    if (std::filesystem::exists(installed, ec))
        return installed;
    return inAppDir;
}
