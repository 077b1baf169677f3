// anivor: the desktop program. Creates the application object and the windows in their
// start-up order, runs until the main window closes, then writes the settings file.
#include "AnivorForm.h"

#include "effects/ui/PainterEffectsForm.h"
#include "effects/ui/PainterQBForm.h"
#include "effects/QuickBackPresets.h"
#include "platform/AnivorApplication.h"
#include "platform/AppDir.h"
#include "widgets/TemplatesForm.h"

int main(int argc, char** argv)
{
    TAnivorApplication app(argc, argv);
    QApplication::setApplicationName("Anivor 13");

    // The windows live for the whole run; only the main window is shown at start.
    TAnivorF mainWindow(AppDir(), SettingsFileName());
    TPainterEffectsF painterEffects(&mainWindow);
    mainWindow.SetPainterEffectsWindow(&painterEffects);
    TPainterQBF painterQB(QuickBackPresetsFile(), &mainWindow);
    mainWindow.SetQuickBackWindow(&painterQB);
    TTemplatesF templates(&mainWindow);
    mainWindow.SetTemplatesWindow(&templates);

    mainWindow.show();
    const int rc = app.exec();
    mainWindow.FormDestroy();
    return rc;
}
