// anivor: the desktop program. Creates the application object and the windows in their
// start-up order, runs until the main window closes, then writes the settings file.
#include "AnivorForm.h"

#include "graphics/FileWrite.h"
#include "platform/AnivorApplication.h"
#include "platform/AppDir.h"
#include "widgets/TemplatesForm.h"

int main(int argc, char** argv)
{
    // A save stopped by Ctrl+C or a termination signal leaves no temporary file behind.
    RemoveTemporaryFilesOnInterrupt();
    TAnivorApplication app(argc, argv);
    QApplication::setApplicationName("Anivor 13");

    // The windows live for the whole run; only the main window is shown at start.
    TAnivorF mainWindow(AppDir(), SettingsFileName());
    TTemplatesF templates(&mainWindow);
    mainWindow.SetTemplatesWindow(&templates);

    mainWindow.show();
    const int rc = app.exec();
    mainWindow.FormDestroy();
    return rc;
}
