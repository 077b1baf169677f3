// Tavi2gifF, the "AVI to GIF converter" window: open a video, play it, convert it to an
// animated GIF (web palette, Floyd-Steinberg) shown below, save it optimised. A window of
// its own, opened without modality from the Tools menu; the conversion and the saving are
// the plain functions of AviToGif.h.
#pragma once

#include "ConverterWindow.h"

#include "gif/GIFImage.h"

#include <memory>

class QComboBox;
#include <string>

class Tavi2gifF : public TConverterWindow {
    Q_OBJECT
public:
    explicit Tavi2gifF(QWidget* parent = nullptr);

    void ButtonOpenClick();
    void ButtonConvertClick();
    void ButtonSaveClick();

    const std::string& FileName() const { return m_fileName; }
    // The last finished conversion, what Save GIF writes (nullptr: none).
    const TGIFImage* Converted() const { return m_converted.get(); }

    QPushButton* ButtonConvert = nullptr;
    // The palette of the conversion: "Web (216 colors)", as the converter always made
    // it, or "Best" (one palette chosen from every frame; the video is read twice).
    QComboBox* ComboPalette = nullptr;
    TColorReduction Palette() const;

private:
    std::unique_ptr<TGIFImage> m_converted;
};
