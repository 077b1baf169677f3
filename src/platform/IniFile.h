// TIniFile32: a small INI reader and writer over a list of lines. Every write rewrites the
// whole file (atomically: a temporary file in the same folder, then a rename). A file that
// cannot be written raises EIniWriteError with the text "Unable to write to <file>: <why>"; the
// file and the lines in memory then stay as they were. A file that exists but cannot be
// read reads as empty and is never written over; a file marked read-only is not replaced.
// Lines may end with LF or CRLF; a file is written back with the line ends of its first
// line, a new file with LF.
#pragma once

#include "graphics/Exception.h"

#include <string>
#include <vector>

class EIniWriteError : public Exception {
public:
    using Exception::Exception;
};

class TIniFile32 {
public:
    // Keeps the name; loads the lines when the file exists (an unreadable file reads as empty).
    explicit TIniFile32(const std::string& fileName);
    // The lines of `text` as if read from `fileName` (which later writes replace).
    static TIniFile32 FromText(const std::string& fileName, const std::string& text);

    std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
    int ReadInteger(const std::string& section, const std::string& key, int def) const;
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;

    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, int value);
    void WriteBool(const std::string& section, const std::string& key, bool value);

    const std::string& FileName() const { return m_fileName; }
    const std::vector<std::string>& Lines() const { return m_lines; }

private:
    TIniFile32() = default;
    void parse(const std::string& text);
    void save() const;

    std::string m_fileName;
    std::vector<std::string> m_lines;
    bool m_crlf = false;
    bool m_unreadable = false;
};
