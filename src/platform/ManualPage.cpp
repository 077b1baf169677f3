#include "ManualPage.h"

#include <sstream>

namespace {

// Columns a UTF-8 text takes (one a character).
int columns(const std::string& s)
{
    int n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80)
            ++n;
    return n;
}

// Words of `text` filled into lines of `width` columns: the first starts with `first`
// spaces, the others with `rest`.
std::string fill(const std::string& text, int first, int rest, int width)
{
    std::istringstream words(text);
    std::string word, out, line(static_cast<std::size_t>(first), ' ');
    bool empty = true;
    while (words >> word) {
        if (!empty && columns(line) + 1 + columns(word) > width) {
            out += line + "\n";
            line.assign(static_cast<std::size_t>(rest), ' ');
            empty = true;
        }
        line += (empty ? "" : " ") + word;
        empty = false;
    }
    return empty ? out : out + line + "\n";
}

void helpSection(std::ostringstream& out, const TManualSection& s, int width, int depth)
{
    out << "\n" << std::string(static_cast<std::size_t>(2 * depth), ' ') << s.Title << ":\n";
    const int indent = 2 * depth + 2;
    for (const std::string& line : s.Lines)
        out << fill(line, indent, indent + 4, width);
    for (std::size_t i = 0; i < s.Paragraphs.size(); ++i)
        out << (i ? "\n" : "") << fill(s.Paragraphs[i], indent, indent, width);
    if (!s.Paragraphs.empty() && !s.Entries.empty())
        out << "\n";
    for (const TManualEntry& e : s.Entries)
        out << fill(e.Term, indent, indent + 4, width) << fill(e.Text, indent + 4, indent + 4, width);
    for (const TManualSection& sub : s.Subsections)
        helpSection(out, sub, width, depth + 1);
}

// Text safe in a roff line: backslashes and minus signs written as roff wants them, and a
// line that would start with a control character protected.
std::string roff(const std::string& text)
{
    std::string out;
    bool lineStart = true;
    for (char c : text) {
        if (lineStart && (c == '.' || c == '\''))
            out += "\\&";
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
        lineStart = c == '\n';
    }
    return out;
}

std::string upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

void roffSection(std::ostringstream& out, const TManualSection& s, bool top)
{
    out << (top ? ".SH " : ".SS ") << "\"" << roff(top ? upper(s.Title) : s.Title) << "\"\n";
    if (!s.Lines.empty()) {
        out << ".PP\n";
        for (std::size_t i = 0; i < s.Lines.size(); ++i)
            out << (i ? ".br\n" : "") << "\\fB" << roff(s.Lines[i]) << "\\fR\n";
    }
    for (const std::string& p : s.Paragraphs)
        out << ".PP\n" << roff(p) << "\n";
    for (const TManualEntry& e : s.Entries)
        out << ".TP\n\\fB" << roff(e.Term) << "\\fR\n" << (e.Text.empty() ? "" : roff(e.Text) + "\n");
    for (const TManualSection& sub : s.Subsections)
        roffSection(out, sub, false);
}

} // namespace

std::string WrapText(const std::string& text, int indent, int width) { return fill(text, indent, indent, width); }

std::string ManualHelpText(const TManualPage& page, int width)
{
    std::ostringstream out;
    for (std::size_t i = 0; i < page.Synopsis.size(); ++i)
        out << fill((i ? "or: " : "Usage: ") + page.Name + " " + page.Synopsis[i], i ? 3 : 0, 4, width);
    for (const TManualSection& s : page.Sections)
        if (s.ShownIn != TShownIn::Manual)
            helpSection(out, s, width, 0);
    return out.str();
}

std::string ManualRoff(const TManualPage& page, const std::string& version)
{
    std::ostringstream out;
    out << ".TH \"" << roff(upper(page.Name)) << "\" 1 \"\" \"" << roff(version) << "\" \"User Commands\"\n"
        << ".nh\n.ad l\n.SH NAME\n" << roff(page.Name) << " \\- " << roff(page.Summary) << "\n"
        << ".SH SYNOPSIS\n";
    for (std::size_t i = 0; i < page.Synopsis.size(); ++i)
        out << (i ? ".br\n" : "") << "\\fB" << roff(page.Name) << "\\fR " << roff(page.Synopsis[i]) << "\n";
    for (const TManualSection& s : page.Sections)
        if (s.ShownIn != TShownIn::Help)
            roffSection(out, s, true);
    return out.str();
}
