// anivor: the desktop program. Creates the application object and the windows in their
// start-up order, runs until the main window closes, then writes the settings file.
#include "AnivorForm.h"
#include "AnivorManual.h"

#include "editor/ui/DrawForm.h"
#include "effects/ui/PainterEffectsForm.h"
#include "effects/ui/PainterQBForm.h"
#include "effects/QuickBackPresets.h"
#include "graphics/FileWrite.h"
#include "platform/ui/AnivorApplication.h"
#include "platform/AppDir.h"
#include "platform/CommandGuard.h"
#include "platform/MemoryPolicy.h"
#include "scripting/dbus/AutomationServer.h"
#include "scripting/ui/ScriptForm.h"
#include "scripting/ScriptSession.h"
#include "tools/ui/GIFExplorerForm.h"
#include "tools/ui/Avi2GifForm.h"
#include "tools/ui/Gif2AviForm.h"
#include "widgets/TemplatesForm.h"

#include <QDialog>
#include <QIcon>

#include <cstdio>
#include <filesystem>
#include <string>

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

// "REGSERVER" or "--register": 1; "UNREGSERVER" or "--unregister": -1; else 0.
int RegistrationSwitch(std::string arg)
{
    if (arg == "--register")
        return 1;
    if (arg == "--unregister")
        return -1;
    while (!arg.empty() && (arg[0] == '/' || arg[0] == '-'))
        arg.erase(0, 1);
    const QString a = QString::fromStdString(arg);
    if (a.compare("REGSERVER", Qt::CaseInsensitive) == 0)
        return 1;
    if (a.compare("UNREGSERVER", Qt::CaseInsensitive) == 0)
        return -1;
    return 0;
}

std::string ProgramPath(const char* argv0)
{
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::absolute(argv0).string() : self.string();
}

} // namespace

int main(int argc, char** argv)
{
    // Requests that only print text, answered before anything starts (no display needed).
    if (argc == 2) {
        const std::string arg = argv[1];
        if (arg == "--help" || arg == "-h") {
            std::fputs(ManualHelpText(AnivorManualPage()).c_str(), stdout);
            return 0;
        }
        if (arg == "--version") {
            std::puts("anivor (Anivor 13) " ANIVOR_VERSION);
            return 0;
        }
        if (arg == "--manual-page") {
            std::fputs(ManualRoff(AnivorManualPage(), "Anivor " ANIVOR_VERSION).c_str(), stdout);
            return 0;
        }
    }
    // The automation server's activation file: written at every start (quietly), or
    // written or removed on request, which then ends the program.
    for (int i = 1; i < argc; ++i)
        if (const int reg = RegistrationSwitch(argv[i])) {
            try {
                if (reg > 0)
                    RegisterServer(ProgramPath(argv[0]));
                else
                    UnregisterServer();
            } catch (const std::exception& e) {
                std::fprintf(stderr, "anivor: %s\n", e.what());
                return 1;
            }
            return 0;
        }
    try {
        RegisterServer(ProgramPath(argv[0]));
    } catch (const std::exception&) {
    }

    // A save stopped by Ctrl+C or a termination signal leaves no temporary file behind.
    RemoveTemporaryFilesOnInterrupt();
    KeepFreedPictureMemory();
    TAnivorApplication app(argc, argv);
    QApplication::setApplicationName("Anivor 13");
    // The desktop entry (named as the D-Bus service and the AppStream id) and the icon an
    // installation puts in the hicolor theme.
    QGuiApplication::setDesktopFileName("org.anivor.Anivor13");
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
    // The frame editor's drawing object, also served to other programs.
    TScriptSession scripting(&draw.ScriptTarget());
    TAutomationServer automation(scripting);
    Tavi2gifF avi2gif(&mainWindow);
    Tgif2aviF gif2avi(&mainWindow);
    mainWindow.SetConverterWindows(&avi2gif, &gif2avi);
    TTemplatesF templates(&mainWindow);
    mainWindow.SetTemplatesWindow(&templates);
    TScriptForm scriptForm(scripting, &draw);
    AttachScripting(draw, scripting, scriptForm);
    // Calls from other programs wait while a prompt of ours is open.
    automation.Refuse = [&] {
        QWidget* modal = QApplication::activeModalWidget();
        return modal && modal != &draw && modal != &scriptForm;
    };
    // The frame editor shows only while it edits a frame: drawing is refused otherwise.
    automation.FrameOpen = [&draw] { return draw.isVisible(); };
    automation.Start();

    mainWindow.show();
    // A run that died left its autosaved strip: offered back before anything else.
    mainWindow.OfferRecovery();
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
