#include "Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <cctype>

std::string ClipboardMimeType(const std::string& format)
{
    std::string name;
    for (unsigned char c : format)
        name += std::isalnum(c) ? static_cast<char>(std::tolower(c)) : '-';
    return "application/x-anivor-" + name;
}

bool ClipboardHasFormat(const std::string& format)
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasFormat(QString::fromStdString(ClipboardMimeType(format)));
}

std::vector<std::uint8_t> ClipboardData(const std::string& format)
{
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return {};
    const QByteArray bytes = data->data(QString::fromStdString(ClipboardMimeType(format)));
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

void SetClipboardData(const std::string& format, const std::vector<std::uint8_t>& bytes)
{
    auto* data = new QMimeData;
    data->setData(QString::fromStdString(ClipboardMimeType(format)),
                  QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
    QGuiApplication::clipboard()->setMimeData(data);
}
