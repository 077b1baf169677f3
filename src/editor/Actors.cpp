#include "Actors.h"

#include "platform/Ui.h"
#include "workspace/ActorImport.h"

#include <algorithm>
#include <filesystem>

TActors::TActors()
{
    const TPoint places[kCount] = {{241, 208}, {273, 208}, {306, 208}};
    for (int i = 0; i < kCount; ++i)
        m_actors[static_cast<std::size_t>(i)].Position = places[i];
}

bool TActors::Load(int i, const std::string& appDir)
{
    (void)(*this)[i]; // a wrong index fails before the dialog
    if (ActorFolder.empty()) {
        std::error_code ec;
        const std::string actors = appDir + "actors";
        if (!appDir.empty() && std::filesystem::is_directory(actors, ec))
            ActorFolder = actors;
    }
    TFileDialogOptions o;
    o.Title = "Load actor " + std::to_string(i + 1);
    o.Filters = {"Image Files|*.png;*.gif;*.jpg;*.jpeg;*.bmp;*.ico;*.PNG;*.GIF;*.JPG;*.JPEG;*.BMP;*.ICO",
                 "All Files|*"};
    o.InitialDir = ActorFolder;
    o.OverwritePrompt = false;
    o.Preview = true;
    const auto path = UI().OpenFile(o);
    if (!path)
        return false;
    LoadFile(i, *path);
    return true;
}

void TActors::LoadFile(int i, const std::string& path)
{
    TActor& actor = (*this)[i];
    WaitCursor wait;
    TActorPicture picture = LoadActorPicture(path);
    ActorFolder = std::filesystem::path(path).parent_path().string();
    actor.Picture = std::move(picture);
    actor.Visible = true;
    changed(i);
}

void TActors::PlaceOnPicture(int i, int width, int height)
{
    TActor& actor = (*this)[i];
    const int w = actor.Picture.Width(), h = actor.Picture.Height();
    const TPoint at = actor.Position;
    if (at.X >= 0 && at.Y >= 0 && at.X + w <= width && at.Y + h <= height)
        return;
    // Across the middle of the picture, the first actor left of the middle, the third
    // right of it, so actors loaded one after the other do not cover each other.
    const int x = (width - w) / 2 + (i - 1) * (width / 4);
    actor.Position = TPoint(std::clamp(x, 0, std::max(0, width - w)), std::max(0, (height - h) / 2));
    changed(i);
}

void TActors::ToggleVisible(int i)
{
    TActor& actor = (*this)[i];
    actor.Visible = !actor.Visible;
    changed(i);
}

TRect TActors::Paint(int i, TBitmap& picture) const
{
    const TActor& actor = (*this)[i];
    return DrawActorPicture(picture, actor.Position.X, actor.Position.Y, actor.Picture);
}

void TActors::Press(int i, TPoint local)
{
    TActor& actor = (*this)[i];
    actor.Tag = 1;
    actor.Grab = local;
}

bool TActors::Move(int i, TPoint local)
{
    TActor& actor = (*this)[i];
    if (actor.Tag != 1 || (local.X == actor.Grab.X && local.Y == actor.Grab.Y))
        return false;
    actor.Position = TPoint(actor.Position.X + local.X - actor.Grab.X, actor.Position.Y + local.Y - actor.Grab.Y);
    changed(i);
    return true;
}

void TActors::Release(int i, bool shift, bool ctrl)
{
    TActor& actor = (*this)[i];
    actor.Tag = 0;
    if (shift)
        m_path.Clear();
    else if (ctrl)
        m_path.Append(actor.Position);
}

void TActors::changed(int i)
{
    if (OnChange)
        OnChange(i);
}
