// The files the monkey's file dialogs answer with, all inside the run's own folder:
// good ones (an animated GIF, a PNG, a BMP, a project), damaged ones (a GIF cut in half,
// one of random bytes after its signature, an empty PNG, text named .gif), a folder, a
// path to nothing, and whatever the program itself has saved into the output folder.
#pragma once

#include <string>
#include <vector>

class TMonkeyFiles {
public:
    // Makes `folder`/files and `folder`/out.
    explicit TMonkeyFiles(const std::string& folder);

    const std::string& Folder() const { return m_folder; } // the prepared files
    const std::string& OutFolder() const { return m_out; } // where saves go
    // Every path a file dialog may answer with, the saved files included.
    std::vector<std::string> Candidates() const;

private:
    std::string m_folder;
    std::string m_out;
    std::vector<std::string> m_prepared;
};
