// The help document "Anivor.hlp": Markdown text in which every line starting with "# "
// begins a topic named by the rest of that line. Text before the first such heading is not
// shown (it may describe the file). Topics link to each other with "[text](#Topic name)".
#pragma once

#include <string>
#include <vector>

struct THelpTopic {
    std::string Name;     // the heading text
    std::string Markdown; // the heading line and the text up to the next topic
};

class THelpDocument {
public:
    // Throws Exception with a message naming the file when it is missing or unreadable.
    static THelpDocument Load(const std::string& fileName);
    static THelpDocument Parse(const std::string& text);

    const std::vector<THelpTopic>& Topics() const { return m_topics; }
    // Adds the topics of another document after these.
    void Append(const THelpDocument& other);
    // The topic of that name, letter case ignored; nullptr when there is none.
    const THelpTopic* Find(const std::string& name) const;

private:
    std::vector<THelpTopic> m_topics;
};

// The help document to use: "Anivor.hlp" in AppDir(), else beside the executable; the
// AppDir() path when it is in neither place (so the error names where it was expected).
std::string HelpFileName();
// The program's README (Markdown, read by the help viewer too): in AppDir(), beside the
// executable, or where an installation puts it (share/doc/anivor); "" when none is found.
std::string ReadmeFileName();
