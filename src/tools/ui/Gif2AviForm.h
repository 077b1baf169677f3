// Tgif2aviF, the "GIF to AVI converter" window: open an animated GIF, see it play, write
// it as an uncompressed AVI beside it (same name, ".AVI") and watch the AVI play. A window
// of its own, opened without modality from the Tools menu; the writing is WriteGifAsAvi.
#pragma once

#include "ConverterWindow.h"

#include <string>

class Tgif2aviF : public TConverterWindow {
    Q_OBJECT
public:
    explicit Tgif2aviF(QWidget* parent = nullptr);

    void ButtonOpenClick();
    void ButtonSaveClick();

    // The GIF file's name after a failed open, the AVI file's once a GIF is shown.
    const std::string& FileName() const { return m_fileName; }
};
