// The animation a command reads from its inputs: one project (.anivor) as it was saved;
// one GIF, APNG, WebP or video as Open takes it (with its loop count); or several files
// (GIFs, other animations, projects, pictures) in order, as the program's command line
// inserts them, pictures taking `pictureDelay`. Reader warnings go to standard error under `command`.
#pragma once

#include "CliCommand.h"
#include "CliOptions.h"

#include "export/AnimationOpen.h"
#include "workspace/AnimationExport.h"
#include "workspace/FrameImport.h"
#include "workspace/ProjectFile.h"

#include <algorithm>
#include <string>
#include <vector>

inline TExportAnimation ReadCliAnimation(const std::vector<std::string>& inputs, const std::string& command,
                                         int pictureDelay)
{
    if (inputs.size() == 1 && IsProjectFile(inputs[0])) {
        const TProjectLoad load = LoadProject(inputs[0]);
        CliPrintWarnings(command, inputs[0], load.Losses);
        return ExportAnimationOf(load.Project.Document);
    }
    if (inputs.size() == 1) {
        const std::string& path = inputs[0];
        if (AnimationFileKind(path) != TAnimationFileKind::None) {
            TExportAnimation animation;
            const TOpenedAnimation opened = ReadAnimationFile(path, [&](TBitmap&& picture, int delay, bool transparent) {
                picture.SetTransparent(transparent);
                animation.Frames.push_back({std::make_shared<const TBitmap>(std::move(picture)), delay,
                                            "Frame" + std::to_string(animation.Frames.size() + 1)});
            });
            animation.Width = opened.Width;
            animation.Height = opened.Height;
            animation.Loops = opened.Loops;
            return animation;
        }
        if (DetectImageFormat(nullptr, 0, path) == TImageFormat::Gif) {
            TGIFImage image;
            std::vector<std::string> warnings;
            LoadGIFDocument(image, path, &warnings);
            CliPrintWarnings(command, path, warnings);
            TExportAnimation animation = ExportAnimationOf(image, path);
            if (animation.Frames.empty())
                throw EInvalidGraphic(path + ": the GIF file has no picture");
            return animation;
        }
    }
    TFrameStrip strip;
    strip.Session.DefaultDelay = pictureDelay;
    // Pictures only: decoded on every core, as make imports them.
    const bool pictures = std::none_of(inputs.begin(), inputs.end(), [](const std::string& p) {
        return DetectImageFormat(nullptr, 0, p) == TImageFormat::Gif || AnimationFileKind(p) != TAnimationFileKind::None;
    });
    if (pictures) {
        if (const int refused = ImportImageFiles(strip, inputs,
                                                 [&](const std::string& path, const std::vector<std::string>& warnings) {
                                                     CliPrintWarnings(command, path, warnings);
                                                 });
            refused >= 0)
            throw EInvalidGraphic(inputs[static_cast<std::size_t>(refused)]
                                  + ": not a GIF, animation or picture file Anivor takes");
        return ExportAnimationOf(strip.Document());
    }
    const TInsertResult result = InsertFiles(strip, inputs);
    for (const std::string& w : result.Warnings)
        std::cerr << "anivor-cli " << command << ": warning: " << w << "\n";
    for (const std::string& loss : result.Losses)
        std::cerr << "anivor-cli " << command << ": warning: " << loss << "\n";
    if (!result.Skipped.empty())
        throw EInvalidGraphic(result.Skipped[0] + ": not a GIF, animation or picture file Anivor takes");
    if (!result.Refused.empty())
        throw EInvalidGraphic(result.Refused[0]);
    return ExportAnimationOf(strip.Document());
}
