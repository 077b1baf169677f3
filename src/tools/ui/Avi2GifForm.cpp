#include "Avi2GifForm.h"

#include "tools/AviToGif.h"

#include "platform/ui/GuardedActions.h"
#include "platform/Ui.h"
#include "widgets/AviPlayer.h"
#include "widgets/ImageControl.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>

#include <climits>
#include <filesystem>

Tavi2gifF::Tavi2gifF(QWidget* parent)
    : TConverterWindow("avi2gifF", "AVI to GIF converter", true, "Open AVI", "ButtonConvert", "Convert", "Save GIF",
                       parent)
{
    ButtonConvert = m_middle;
    ButtonConvert->setEnabled(false);
    ComboPalette = new QComboBox(PanelButton);
    ComboPalette->setObjectName("ComboPalette");
    ComboPalette->addItem("Web (216 colors)", static_cast<int>(rmNetscape));
    ComboPalette->addItem("Best", static_cast<int>(rmBest));
    ComboPalette->setToolTip("Palette of the GIF");
    auto* buttons = static_cast<QHBoxLayout*>(PanelButton->layout());
    buttons->insertWidget(buttons->indexOf(ButtonSave), ComboPalette);
    ConnectGuarded(ButtonOpen, &QPushButton::clicked, this, [this] { ButtonOpenClick(); });
    ConnectGuarded(ButtonConvert, &QPushButton::clicked, this, [this] { ButtonConvertClick(); });
    ConnectGuarded(ButtonSave, &QPushButton::clicked, this, [this] { ButtonSaveClick(); });
}

void Tavi2gifF::ButtonOpenClick()
{
    PanelAVI->SetCaption(" ");
    TFileDialogOptions o;
    o.Title = "Open AVI file";
    // Beside AVI, the containers people have videos in today.
    o.Filters = {"AVI file (*.avi)|*.avi", "Video files (*.avi *.mp4 *.mov *.mkv *.webm)|*.avi;*.mp4;*.mov;*.mkv;*.webm",
                 "MP4 and MOV files (*.mp4 *.mov)|*.mp4;*.mov", "MKV and WebM files (*.mkv *.webm)|*.mkv;*.webm"};
    o.DefaultExt = "avi";
    o.InitialDir = folderOfFile();
    const std::optional<std::string> file = UI().OpenFile(o);
    if (!file)
        return;
    m_fileName = *file;
    playVideo(m_fileName);
    ButtonConvert->setEnabled(true);
    ButtonConvert->setFocus();
    ButtonSave->setEnabled(false);
    ImageGIF->Clear();
    m_converted.reset();
}

void Tavi2gifF::ButtonConvertClick()
{
    if (m_running || m_fileName.empty())
        return;
    m_abort = false;
    const bool saveWas = ButtonSave->isEnabled();
    ButtonAbort->setEnabled(true);
    ButtonAbort->show();
    ButtonAbort->setFocus();
    ButtonConvert->hide();
    ButtonOpen->setEnabled(false);
    // Save GIF waits while the conversion runs; afterwards it is what it was, unless a
    // new GIF is there to save.
    ButtonSave->setEnabled(false);
    m_running = true;
    ImageGIF->Clear(); // the frames of this run replace what was shown
    bool converted = false;
    struct Cleanup {
        Tavi2gifF* w;
        const bool& converted;
        bool saveWas;
        ~Cleanup()
        {
            w->ProgressBar->setValue(w->ProgressBar->minimum());
            w->ButtonAbort->hide();
            w->ButtonConvert->show();
            w->ButtonOpen->setEnabled(true);
            w->ComboPalette->setEnabled(true);
            if (!converted)
                w->ButtonSave->setEnabled(saveWas);
            w->m_running = false;
        }
    } cleanup{this, converted, saveWas};
    WaitCursor wait;

    std::uint32_t offset = 0; // positions beyond the progress bar's int range are shifted
    TAviToGifView view;
    view.Begin = [&](std::uint32_t first, std::uint32_t end) {
        offset = end > static_cast<std::uint32_t>(INT_MAX) ? first : 0;
        ProgressBar->setRange(static_cast<int>(first - offset), static_cast<int>(end - offset));
        ProgressBar->setValue(ProgressBar->minimum());
    };
    view.Step = [&](std::uint32_t position) {
        ProgressBar->setValue(static_cast<int>(position - offset));
        UI().ProcessEvents();
        return !m_abort;
    };
    view.ShowFrame = [&](const TBitmap& frame) { ImageGIF->ShowBitmap(frame, true); };
    ComboPalette->setEnabled(false);
    std::unique_ptr<TGIFImage> image = ConvertAviToGif(m_fileName, view, Palette());
    if (!image)
        return; // aborted: the last frame stays shown, nothing of this run is kept
    m_converted = std::move(image);
    ImageGIF->ShowDocument(*m_converted);
    converted = true;
    ButtonSave->setEnabled(true);
    ButtonSave->setFocus();
}

TColorReduction Tavi2gifF::Palette() const
{
    return static_cast<TColorReduction>(ComboPalette->currentData().toInt());
}

void Tavi2gifF::ButtonSaveClick()
{
    if (!m_converted || m_running)
        return;
    TFileDialogOptions o;
    o.Title = "Save GIF file";
    o.Filters = {"GIF Image|*.gif"};
    o.DefaultExt = "gif";
    o.FileName = std::filesystem::path(m_fileName).replace_extension(".gif").string();
    o.InitialDir = folderOfFile();
    const std::optional<std::string> file = UI().SaveFile(o);
    if (!file)
        return;
    WaitCursor wait;
    m_converted->OnProgress = [this](TGIFProgressStage stage, int percent, const std::string&) {
        showPictureProgress(stage, percent, false);
    };
    SaveConvertedGif(*m_converted, *file);
    m_converted->OnProgress = nullptr;
    ImageGIF->ShowDocument(*m_converted);
    ButtonOpen->setFocus();
}
