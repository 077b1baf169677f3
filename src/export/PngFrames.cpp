#include "PngFrames.h"

#include "graphics/FileWrite.h"
#include "graphics/MemoryBudget.h"
#include "graphics/PngFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <cmath>
#include <cstring>
#include <filesystem>

namespace {

// Fast deflate: these files are for tools, and a level above this saves little.
constexpr int kPngLevel = 3;

QJsonObject frameEntry(const TExportFrame& frame)
{
    QJsonObject o;
    o["name"] = QString::fromStdString(frame.Name);
    o["delay"] = frame.Delay;
    o["duration"] = static_cast<qint64>(frame.Delay) * 10;
    return o;
}

void writeJson(const std::string& path, const QJsonObject& root)
{
    WriteFileAtomic(FrameListFileName(path), QJsonDocument(root).toJson(QJsonDocument::Indented).toStdString());
}

std::string fileNameOf(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

} // namespace

std::string PngSequenceFileName(const std::string& path, int index, int count)
{
    const std::filesystem::path p(path);
    const int digits = std::max(4, static_cast<int>(std::to_string(count).size()));
    std::string number = std::to_string(index + 1);
    number.insert(0, static_cast<std::size_t>(std::max(0, digits - static_cast<int>(number.size()))), '0');
    return (p.parent_path() / (p.stem().string() + "-" + number + ".png")).string();
}

std::string FrameListFileName(const std::string& path)
{
    return std::filesystem::path(path).replace_extension(".json").string();
}

void WritePngSequence(const TExportAnimation& animation, const std::string& path, const TExportProgress& progress)
{
    const int width = animation.Width, height = animation.Height;
    TMemoryReservation held(static_cast<std::uint64_t>(width) * height * 4 + MemoryBudget::PictureBytes(width, height, 2),
                            "exporting frames of " + std::to_string(width) + " x " + std::to_string(height));
    const int count = static_cast<int>(animation.Frames.size());
    TDurableBatch batch;
    QJsonArray frames;
    std::vector<std::uint8_t> rgba;
    for (int i = 0; i < count; ++i) {
        ReportExportProgress(progress, i, count);
        const TExportFrame& frame = animation.Frames[static_cast<std::size_t>(i)];
        const TExportPicture picture(animation, i);
        const std::string file = PngSequenceFileName(path, i, count);
        if (picture.Transparent()) {
            rgba.resize(static_cast<std::size_t>(width) * height * 4);
            picture.ToRgba(rgba.data(), static_cast<std::ptrdiff_t>(width) * 4);
            WriteFileAtomic(file, WritePngRgba(rgba.data(), width, height, kPngLevel));
        } else {
            WriteFileAtomic(file, WritePng(picture.Bitmap(), kPngLevel));
        }
        QJsonObject entry = frameEntry(frame);
        entry["file"] = QString::fromStdString(fileNameOf(file));
        frames.append(entry);
    }
    QJsonObject root;
    root["width"] = width;
    root["height"] = height;
    root["loops"] = animation.Loops;
    root["frames"] = frames;
    writeJson(path, root);
    batch.Finish();
    ReportExportProgress(progress, count, count);
}

TSheetGrid SpriteSheetGrid(int count, int columns)
{
    TSheetGrid grid;
    grid.Columns = columns > 0 ? std::min(columns, count) : static_cast<int>(std::ceil(std::sqrt(static_cast<double>(count))));
    grid.Columns = std::max(grid.Columns, 1);
    grid.Rows = (count + grid.Columns - 1) / grid.Columns;
    return grid;
}

void WriteSpriteSheet(const TExportAnimation& animation, const std::string& path, const TExportOptions& options,
                      const TExportProgress& progress)
{
    const int count = static_cast<int>(animation.Frames.size());
    const TSheetGrid grid = SpriteSheetGrid(count, options.Columns);
    const int width = animation.Width, height = animation.Height, pad = options.Padding;
    const std::int64_t sheetWidth = static_cast<std::int64_t>(grid.Columns) * (width + pad) + pad;
    const std::int64_t sheetHeight = static_cast<std::int64_t>(grid.Rows) * (height + pad) + pad;
    CheckBitmapSize(sheetWidth, sheetHeight, "Sprite sheet");
    const auto sheetBytes = static_cast<std::uint64_t>(sheetWidth) * static_cast<std::uint64_t>(sheetHeight) * 4;
    // The sheet, a frame's RGBA rows and the sheet's PNG (at most about its own size).
    TMemoryReservation held(2 * sheetBytes + static_cast<std::uint64_t>(width) * height * 4
                                + MemoryBudget::PictureBytes(width, height, 1),
                            "a sprite sheet of " + std::to_string(sheetWidth) + " x " + std::to_string(sheetHeight));
    std::vector<std::uint8_t> sheet(static_cast<std::size_t>(sheetBytes), 0); // transparent black
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
    const std::size_t sheetStride = static_cast<std::size_t>(sheetWidth) * 4;
    QJsonArray frames;
    for (int i = 0; i < count; ++i) {
        ReportExportProgress(progress, i, count);
        const TExportPicture picture(animation, i);
        picture.ToRgba(rgba.data(), static_cast<std::ptrdiff_t>(width) * 4);
        const int x = pad + (i % grid.Columns) * (width + pad);
        const int y = pad + (i / grid.Columns) * (height + pad);
        for (int row = 0; row < height; ++row)
            std::memcpy(sheet.data() + (static_cast<std::size_t>(y) + row) * sheetStride + static_cast<std::size_t>(x) * 4,
                        rgba.data() + static_cast<std::size_t>(row) * width * 4, static_cast<std::size_t>(width) * 4);
        QJsonObject entry = frameEntry(animation.Frames[static_cast<std::size_t>(i)]);
        entry["x"] = x;
        entry["y"] = y;
        entry["w"] = width;
        entry["h"] = height;
        frames.append(entry);
    }
    ReportExportProgress(progress, count, count);
    QJsonObject root;
    root["image"] = QString::fromStdString(fileNameOf(path));
    root["width"] = static_cast<qint64>(sheetWidth);
    root["height"] = static_cast<qint64>(sheetHeight);
    root["frameWidth"] = width;
    root["frameHeight"] = height;
    root["columns"] = grid.Columns;
    root["rows"] = grid.Rows;
    root["padding"] = pad;
    root["loops"] = animation.Loops;
    root["frames"] = frames;
    TDurableBatch batch;
    WriteFileAtomic(path, WritePngRgba(sheet.data(), static_cast<int>(sheetWidth), static_cast<int>(sheetHeight), kPngLevel));
    writeJson(path, root);
    batch.Finish();
}
