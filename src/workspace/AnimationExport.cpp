#include "AnimationExport.h"

#include "FrameImport.h"
#include "gif/GIFExtension.h"
#include "graphics/NumberRules.h"

#include <algorithm>

TExportAnimation ExportAnimationOf(const TStripDocument& document)
{
    TExportAnimation animation;
    animation.Width = document.FrameWidth;
    animation.Height = document.FrameHeight;
    animation.Loops = document.LoopCount;
    animation.Frames.reserve(document.Frames.size());
    for (const TFrameRecord& f : document.Frames)
        animation.Frames.push_back({f.Picture, std::max(StrToIntDef(f.DelayText, 30), 0), f.Name});
    return animation;
}

TExportAnimation ExportAnimationOf(const TGIFImage& image, const std::string& path)
{
    TExportAnimation animation;
    for (const auto& frame : image.Images)
        for (const auto& ext : frame->Extensions)
            if (const auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(ext.get()))
                animation.Loops = loop->Loops();
    ComposeGIFFrames(image, path, 10, [&](const TBitmap& picture, int delay, bool transparent) {
        auto shared = std::make_shared<TBitmap>(picture);
        shared->SetTransparent(transparent);
        animation.Width = picture.Width();
        animation.Height = picture.Height();
        animation.Frames.push_back({std::move(shared), delay, "Frame" + std::to_string(animation.Frames.size() + 1)});
    });
    return animation;
}
