// The frame editor's three actors without their widgets: each actor's picture, place on
// the picture, visibility and dragging flag; loading, showing, painting; and the actor
// path that dragging records (the path the Actor/Path wizard follows).
#pragma once

#include "graphics/Bitmap.h"
#include "wizards/ActorPath.h"
#include "wizards/ActorPicture.h"

#include <array>
#include <functional>
#include <string>

struct TActor {
    TActorPicture Picture;
    TPoint Position; // top-left corner, in picture pixels (the view magnifies it with the picture)
    bool Visible = false;
    int Tag = 0;     // 1 while dragging
    TPoint Grab;     // where in the actor the drag took hold
};

class TActors {
public:
    static constexpr int kCount = 3;

    // Three hidden actors without pictures at (241, 208), (273, 208) and (306, 208); an
    // empty path.
    TActors();

    TActor& operator[](int i) { return m_actors.at(static_cast<std::size_t>(i)); }
    const TActor& operator[](int i) const { return m_actors.at(static_cast<std::size_t>(i)); }
    TActorPath& Path() { return m_path; }
    const TActorPath& Path() const { return m_path; }

    // The folder the load dialog opens in: empty until the first load, or AppDir's
    // "actors" folder when that exists.
    std::string ActorFolder;

    // Load: asks for a picture file (starting in ActorFolder, or `appDir` + "actors" when
    // that folder exists and ActorFolder is empty); on OK loads it into actor i and shows
    // it. Returns false on Cancel. A file that cannot be read throws with the decoder's
    // message; the actor then keeps what it had.
    bool Load(int i, const std::string& appDir);
    // Loads actor i from a file and shows it; ActorFolder becomes the file's folder.
    void LoadFile(int i, const std::string& path);
    // Moves actor i into the middle of a picture of that size unless it lies wholly on it
    // already (a loaded actor appears on the picture, not beside it).
    void PlaceOnPicture(int i, int width, int height);
    // Shows a hidden actor, hides a shown one.
    void ToggleVisible(int i);
    // Stamps actor i (shown or not) onto `picture` at its position. Returns the area changed.
    TRect Paint(int i, TBitmap& picture) const;

    // Dragging, in the actor's own picture pixels (the view divides by the zoom). Press
    // (left button): the dragging flag is set and the grab point noted. Move: while
    // dragging, the actor follows so that the grab point stays under the mouse; true when
    // it moved. Release (any button): the flag clears; with Shift the path is emptied,
    // else with Ctrl the actor's position is appended to it.
    void Press(int i, TPoint local);
    bool Move(int i, TPoint local);
    void Release(int i, bool shift, bool ctrl);

    // Called when actor i's picture, place or visibility changed.
    std::function<void(int i)> OnChange;

private:
    void changed(int i);

    std::array<TActor, kCount> m_actors;
    TActorPath m_path;
};
