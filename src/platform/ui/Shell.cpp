#include "Shell.h"

#include <QDesktopServices>
#include <QUrl>

bool OpenUrl(const std::string& url)
{
    // fromUserInput also turns a plain file path into a file: address.
    const QUrl u = QUrl::fromUserInput(QString::fromStdString(url));
    return u.isValid() && QDesktopServices::openUrl(u);
}
