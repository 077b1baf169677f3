#include "AnivorManual.h"

TManualPage AnivorManualPage()
{
    TManualPage page;
    page.Name = "anivor";
    page.Summary = "Anivor 13, a studio for animated GIFs";
    page.Synopsis = {"[FILE...]", "--register | --unregister", "--help | --version"};

    TManualSection description{"Description"};
    description.Paragraphs = {
        "Anivor 13 builds animated GIFs from a strip of frames: wizards make the frames in between two pictures, "
        "effects, Painter Effects and the frame editor change them, QuickBack draws backdrops, and Animation > "
        "Create assembles the GIF with a palette and dithering of your choice. Two converters turn videos into "
        "GIFs and back, and the GIF Explorer shows every block of a GIF file.",
        "Each FILE opens as the strip's frames (a GIF) or is imported as a frame (BMP, ICO, JPEG, PNG), in the "
        "order given; a first FILE that is a GIF is also loaded into the GIF Explorer.",
        "Press F1 in the program for its help. anivor-cli(1) does the same jobs from the shell."};
    page.Sections.push_back(description);

    TManualSection options{"Options"};
    options.Entries = {
        {"--register", "Writes the automation server's D-Bus activation file (other programs can then start "
                       "Anivor to draw through it) and ends. Every start writes it too."},
        {"--unregister", "Removes the activation file and ends."},
        {"--help", "Shows this text and ends."},
        {"--version", "Shows the program's version and ends."},
    };
    options.Paragraphs = {"Qt's own options, such as -platform NAME, apply as well."};
    page.Sections.push_back(options);

    TManualSection environment{"Environment"};
    environment.ShownIn = TShownIn::Manual;
    environment.Entries = {
        {"ANIVOR_HOME", "The folder of the settings file and of the images, actors and scripts folders, "
                        "instead of the default."},
        {"QT_QPA_PLATFORM", "The window system; offscreen runs the program without one."}};
    page.Sections.push_back(environment);

    TManualSection files{"Files"};
    files.ShownIn = TShownIn::Manual;
    files.Entries = {
        {"~/.local/share/anivor/anivor.ini",
         "The settings of an installed program: window places, folders, frame size and delay, the memory limit "
         "([Memory] Limit). The folder also holds PainterQB.txt (the backdrop presets) and the folders images, "
         "actors and scripts."},
        {"/usr/share/anivor/Anivor.hlp", "The help document (under the installation's prefix)."}};
    page.Sections.push_back(files);

    TManualSection seeAlso{"See also"};
    seeAlso.ShownIn = TShownIn::Manual;
    seeAlso.Paragraphs = {"anivor-cli(1)"};
    page.Sections.push_back(seeAlso);
    return page;
}
