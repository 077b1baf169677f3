#include "IniFile.h"

#include "graphics/FileWrite.h"

#include <cerrno>
#include <cstring>
#include <climits>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A settings file is small; anything larger is treated as unreadable rather than loaded.
constexpr std::uintmax_t MaxIniFileSize = 16u * 1024u * 1024u;

// Blanks and control characters, as the profile functions trim them.
std::string trim(const std::string& s)
{
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ')
        --e;
    return s.substr(b, e - b);
}

bool equalsIgnoreCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

// The key of a line: the trimmed text before the first "="; none without "=".
bool keyOf(const std::string& line, std::string& key)
{
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos)
        return false;
    key = trim(line.substr(0, eq));
    return true;
}

std::string valueOf(const std::string& line)
{
    return trim(line.substr(line.find('=') + 1));
}

bool isSectionLine(const std::string& line)
{
    const std::string t = trim(line);
    return t.size() >= 2 && t.front() == '[' && t.back() == ']';
}

// The index of the line "[section]" (exactly, letter case ignored), or -1.
long findSection(const std::vector<std::string>& lines, const std::string& section)
{
    const std::string wanted = "[" + section + "]";
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (equalsIgnoreCase(lines[i], wanted))
            return static_cast<long>(i);
    return -1;
}

// A line break inside a name or value would split the line and corrupt the file's
// structure on the next read; it is stored as a blank instead.
std::string singleLine(std::string s)
{
    for (char& c : s)
        if (c == '\n' || c == '\r')
            c = ' ';
    return s;
}

bool parseDecimal(const std::string& s, int& out)
{
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    if (i == s.size())
        return false;
    long long v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9')
            return false;
        v = v * 10 + (s[i] - '0');
        if (v > static_cast<long long>(INT_MAX) + 1)
            return false;
    }
    if (negative)
        v = -v;
    if (v < INT_MIN || v > INT_MAX)
        return false;
    out = static_cast<int>(v);
    return true;
}

bool parseHex(const std::string& digits, int& out)
{
    if (digits.empty())
        return false;
    long long v = 0;
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        v = v * 16 + d;
        if (v > INT_MAX)
            return false;
    }
    out = static_cast<int>(v);
    return true;
}

} // namespace

TIniFile32::TIniFile32(const std::string& fileName) : m_fileName(fileName)
{
    std::error_code ec;
    if (!std::filesystem::exists(fileName, ec))
        return;
    std::string text;
    try {
        const std::uintmax_t size = std::filesystem::file_size(fileName, ec);
        if (ec || size > MaxIniFileSize)
            throw Exception("unreadable");
        const std::vector<std::uint8_t> bytes = ReadFileBytes(fileName);
        text.assign(bytes.begin(), bytes.end());
    } catch (const std::exception&) {
        // Read as empty, but never write over a file whose contents we could not see.
        m_unreadable = true;
        return;
    }
    parse(text);
}

TIniFile32 TIniFile32::FromText(const std::string& fileName, const std::string& text)
{
    TIniFile32 ini;
    ini.m_fileName = fileName;
    ini.parse(text);
    return ini;
}

void TIniFile32::parse(const std::string& text)
{
    m_lines.clear();
    m_crlf = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t nl = text.find('\n', start);
        std::string line = text.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
        // Every carriage return at the end goes: one would come back from a CRLF write
        // and be taken off again, so a stray one could not survive a round trip.
        if (!line.empty() && line.back() == '\r' && start == 0)
            m_crlf = true;
        while (!line.empty() && line.back() == '\r')
            line.pop_back();
        m_lines.push_back(std::move(line));
        if (nl == std::string::npos)
            break;
        start = nl + 1;
    }
}

std::string TIniFile32::ReadString(const std::string& section, const std::string& key, const std::string& def) const
{
    const long s = findSection(m_lines, section);
    if (s < 0)
        return def;
    std::string lineKey;
    for (std::size_t i = static_cast<std::size_t>(s) + 1; i < m_lines.size() && !isSectionLine(m_lines[i]); ++i) {
        if (keyOf(m_lines[i], lineKey) && lineKey == key) {
            const std::string v = valueOf(m_lines[i]);
            return v.empty() ? def : v;
        }
    }
    return def;
}

int TIniFile32::ReadInteger(const std::string& section, const std::string& key, int def) const
{
    const std::string s = ReadString(section, key, "");
    int v = 0;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X'))
        return parseHex(s.substr(2), v) ? v : def;
    return parseDecimal(s, v) ? v : def;
}

bool TIniFile32::ReadBool(const std::string& section, const std::string& key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile32::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    const std::string sec = singleLine(section);
    const std::string k = singleLine(key);
    const std::string line = k + "=" + singleLine(value);
    std::vector<std::string> before = m_lines;

    const long s = findSection(m_lines, sec);
    if (s < 0) {
        m_lines.emplace_back();
        m_lines.push_back("[" + sec + "]");
        if (!k.empty())
            m_lines.push_back(line);
    } else {
        std::size_t i = static_cast<std::size_t>(s) + 1;
        std::string lineKey;
        for (; i < m_lines.size() && !isSectionLine(m_lines[i]); ++i)
            if (keyOf(m_lines[i], lineKey) && lineKey == k)
                break;
        if (i < m_lines.size() && !isSectionLine(m_lines[i]))
            m_lines[i] = line;
        else if (!k.empty())
            m_lines.insert(m_lines.begin() + static_cast<long>(i), line);
    }

    try {
        save();
    } catch (...) {
        // The lines stay as the file is, so a later write does not carry a failed change.
        m_lines = std::move(before);
        throw;
    }
}

void TIniFile32::WriteInteger(const std::string& section, const std::string& key, int value)
{
    WriteString(section, key, std::to_string(value));
}

void TIniFile32::WriteBool(const std::string& section, const std::string& key, bool value)
{
    WriteString(section, key, value ? "1" : "0");
}

void TIniFile32::save() const
{
    const std::string failure = "Unable to write to " + m_fileName + ": ";
    // Writing goes through a rename, which would replace a read-only file as if it were
    // writable; a file marked read-only (or not writable by us) is refused instead.
    struct stat st {};
    if (::stat(m_fileName.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            throw EIniWriteError(failure + std::strerror(EISDIR));
        if (!S_ISREG(st.st_mode))
            throw EIniWriteError(failure + "it is not a regular file");
        if ((st.st_mode & 0222) == 0 || ::access(m_fileName.c_str(), W_OK) != 0)
            throw EIniWriteError(failure + "the file is read-only");
    }
    if (m_unreadable)
        throw EIniWriteError(failure + "the file could not be read, so it is left as it is");

    const char* eol = m_crlf ? "\r\n" : "\n";
    std::string text;
    for (const std::string& l : m_lines) {
        text += l;
        text += eol;
    }
    try {
        WriteFileAtomic(m_fileName, text);
    } catch (const std::exception& e) {
        throw EIniWriteError(e.what());
    }
}
