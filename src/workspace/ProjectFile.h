// Project files (".anivor"): the strip kept whole, as an archive anyone can unpack. A ZIP
// holding `project.json` (format version, frame size, next frame number, loop count, the
// assembly options and one entry a frame: name, delay as typed, transparency flag, picture
// file) and each frame's picture as a lossless PNG (a palette frame as a palette PNG, so it
// comes back as it was). `project.json` is written first, so an archive cut short still
// holds it and the frames before the cut.
#pragma once

#include "Assembly.h"
#include "StripDocument.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

constexpr int kProjectFormatVersion = 1;
constexpr const char* kProjectExtension = ".anivor";
// More frames than this make a project no Anivor writes: refused before anything is read.
constexpr int kMaxProjectFrames = 100000;

struct TProject {
    TStripDocument Document;
    TAssemblyOptions Assembly; // Threads is not kept
};

struct TProjectLoad {
    TProject Project;
    // What could not be restored, one line each ("frame 3 (Frame3): ..."); empty when the
    // project came back whole.
    std::vector<std::string> Losses;
};

// Makes the archives. Each picture's PNG is kept by its frame's Version, so a later save
// of the same strip encodes only the frames that changed (autosave). Safe to use from one
// thread at a time; pictures are encoded on every core.
class TProjectWriter {
public:
    std::vector<std::uint8_t> Archive(const TProject& project);
    // Written whole or not at all (the target keeps its nature, as every write).
    void Save(const std::string& path, const TProject& project);
    // PNGs encoded by the last Archive call (the others came from the cache).
    int LastEncoded() const { return m_lastEncoded; }

private:
    std::unordered_map<std::uint64_t, std::shared_ptr<const std::vector<std::uint8_t>>> m_pngs;
    int m_lastEncoded = 0;
};

// Reads a project. A file that is not a project, or of a later format version, is
// refused (EInvalidGraphic naming the file); a damaged one restores what can be read and
// lists what was lost. Only regular files are read, and the pictures are checked against
// the memory budget before any is decoded.
TProjectLoad LoadProject(const std::string& path);
// The same from the archive's bytes; `name` names the file in messages.
TProjectLoad ReadProject(const std::vector<std::uint8_t>& bytes, const std::string& name);

// Whether a path names a project by its extension (any letter case).
bool IsProjectFile(const std::string& path);
