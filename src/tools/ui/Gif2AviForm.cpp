#include "Gif2AviForm.h"

#include "tools/GifToAvi.h"

#include "gif/GIFImage.h"
#include "platform/ui/GuardedActions.h"
#include "platform/Ui.h"
#include "widgets/AviPlayer.h"
#include "widgets/ImageControl.h"

#include <QProgressBar>
#include <QPushButton>

Tgif2aviF::Tgif2aviF(QWidget* parent)
    : TConverterWindow("gif2aviF", "GIF to AVI converter", false, "Open GIF", nullptr, nullptr, "Save AVI", parent)
{
    ProgressBar->hide();
    ConnectGuarded(ButtonOpen, &QPushButton::clicked, this, [this] { ButtonOpenClick(); });
    ConnectGuarded(ButtonSave, &QPushButton::clicked, this, [this] { ButtonSaveClick(); });
}

void Tgif2aviF::ButtonOpenClick()
{
    PanelAVI->SetCaption(" ");
    TFileDialogOptions o;
    o.Title = "Open GIF file";
    o.Filters = {"GIF Image|*.gif"};
    o.DefaultExt = "gif";
    o.InitialDir = folderOfFile();
    const std::optional<std::string> file = UI().OpenFile(o);
    if (!file)
        return;
    ImageGIF->Clear();
    // Save AVI is offered while a GIF is shown, so a file that fails to load leaves
    // nothing to save.
    ButtonSave->setEnabled(false);
    m_fileName = *file;
    TGIFImage image;
    image.OnProgress = [this](TGIFProgressStage stage, int percent, const std::string&) {
        showPictureProgress(stage, percent, true);
    };
    try {
        ReadingFile(m_fileName, [&] { image.LoadFromFile(m_fileName); });
    } catch (...) {
        ProgressBar->hide();
        throw;
    }
    image.OnProgress = nullptr;
    ImageGIF->ShowDocument(image);
    if (!image.Empty()) {
        m_fileName = GifAviFileName(m_fileName);
        ButtonSave->setEnabled(true);
        ButtonSave->setFocus();
        Animate->StopPlaying();
    }
}

void Tgif2aviF::ButtonSaveClick()
{
    const TGIFImage* image = ImageGIF->Document();
    if (m_running || !image || image->Empty())
        return;
    m_abort = false;
    ButtonAbort->setEnabled(true);
    ButtonAbort->show();
    ButtonAbort->setFocus();
    ButtonOpen->setEnabled(false);
    // Not again while this one is being written.
    ButtonSave->setEnabled(false);
    // The file being replaced may be the one playing.
    Animate->StopPlaying();
    m_running = true;
    struct Cleanup {
        Tgif2aviF* w;
        ~Cleanup()
        {
            w->ProgressBar->hide();
            w->ButtonAbort->hide();
            w->ButtonOpen->setEnabled(true);
            w->ButtonSave->setEnabled(true);
            w->m_running = false;
        }
    } cleanup{this};
    TGifToAviResult result;
    {
        WaitCursor wait;
        TGifToAviView view;
        view.Begin = [&](int count) {
            ProgressBar->setRange(0, count - 1);
            ProgressBar->setValue(0);
            ProgressBar->show();
        };
        view.Step = [&](int index) {
            ProgressBar->setValue(index);
            UI().ProcessEvents();
            return !m_abort;
        };
        result = WriteGifAsAvi(*image, m_fileName, view);
    }
    if (!result.Aborted)
        playVideo(m_fileName);
}
