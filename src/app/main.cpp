// anivor: the desktop program. Creates the application object and the windows in their
// start-up order, runs until the main window closes, then writes the settings file.
#include "AnivorForm.h"

#include "editor/DrawForm.h"
#include "effects/ui/PainterEffectsForm.h"
#include "effects/ui/PainterQBForm.h"
#include "effects/QuickBackPresets.h"
#include "graphics/FileWrite.h"
#include "platform/AnivorApplication.h"
#include "platform/AppDir.h"
#include "platform/CommandGuard.h"
#include "tools/GIFExplorerForm.h"
#include "tools/Avi2GifForm.h"
#include "tools/Gif2AviForm.h"
#include "widgets/TemplatesForm.h"

#include <QIcon>

namespace {

// Switches of an automation start, which are not files to open.
bool IsAutomationSwitch(QString arg)
{
    while (arg.startsWith('/') || arg.startsWith('-'))
        arg.remove(0, 1);
    for (const char* s : {"REGSERVER", "UNREGSERVER", "AUTOMATION", "EMBEDDING"})
        if (arg.compare(QLatin1String(s), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    // A save stopped by Ctrl+C or a termination signal leaves no temporary file behind.
    RemoveTemporaryFilesOnInterrupt();
    TAnivorApplication app(argc, argv);
    QApplication::setApplicationName("Anivor 13");
    // The desktop entry and the icon an installation puts in the hicolor theme.
    QGuiApplication::setDesktopFileName("anivor");
    QApplication::setWindowIcon(QIcon::fromTheme("anivor"));

    // The windows live for the whole run; only the main window is shown at start.
    TAnivorF mainWindow(AppDir(), SettingsFileName());
    TGIFExplorerF explorer(&mainWindow);
    mainWindow.SetGIFExplorer(&explorer);
    // A first argument that is a GIF file also goes to the explorer, loaded without showing
    // it (a picture file is only imported as a frame).
    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 1 && !IsAutomationSwitch(args[1]) && args[1].endsWith(".gif", Qt::CaseInsensitive))
        RunGuarded([&] { explorer.Load(args[1].toStdString()); });
    TPainterEffectsF painterEffects(&mainWindow);
    mainWindow.SetPainterEffectsWindow(&painterEffects);
    TPainterQBF painterQB(QuickBackPresetsFile(), &mainWindow);
    mainWindow.SetQuickBackWindow(&painterQB);
    TDrawF draw(&mainWindow, SettingsFileName());
    mainWindow.SetDrawWindow(&draw);
    Tavi2gifF avi2gif(&mainWindow);
    Tgif2aviF gif2avi(&mainWindow);
    mainWindow.SetConverterWindows(&avi2gif, &gif2avi);
    TTemplatesF templates(&mainWindow);
    mainWindow.SetTemplatesWindow(&templates);

    mainWindow.show();
    // `anivor FILE...`: GIFs open as frames, pictures are imported, in the order given.
    QStringList files;
    for (int i = 1; i < args.size(); ++i)
        if (!IsAutomationSwitch(args[i]) && !args[i].startsWith('-'))
            files << args[i];
    if (!files.isEmpty())
        RunGuarded([&] { mainWindow.OpenFiles(files); });
    const int rc = app.exec();
    mainWindow.FormDestroy();
    RunGuarded([&] { draw.FormDestroy(); });
    return rc;
}
