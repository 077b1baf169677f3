#include "Avi2GifForm.h"

#include "AviToGif.h"
#include "ToolPanel.h"

#include "gif/GIFTypes.h"
#include "platform/CommandGuard.h"
#include "platform/Ui.h"
#include "widgets/AviPlayer.h"
#include "widgets/ImageControl.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <climits>
#include <filesystem>

Tavi2gifF::Tavi2gifF(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName("avi2gifF");
    setWindowTitle("AVI to GIF converter");
    QFont f("Arial");
    f.setPixelSize(12);
    setFont(f);
    resize(361, 511);
    DefaultDrawOptions |= goDirectDraw;

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    PanelAVI = new TCaptionPanel("PanelAVI", "LabelAVI", "AVI animation", this);
    PanelAVI->setFixedHeight(229);
    Animate = new TAviPlayer(PanelAVI);
    Animate->setObjectName("Animate");
    PanelAVI->SetContent(Animate);
    layout->addWidget(PanelAVI);

    PanelButton = new QWidget(this);
    PanelButton->setObjectName("PanelButton");
    PanelButton->setFixedHeight(53);
    auto* buttons = new QHBoxLayout(PanelButton);
    ButtonOpen = MakeToolButton(PanelButton, "ButtonOpen", "Open AVI");
    ButtonConvert = MakeToolButton(PanelButton, "ButtonConvert", "Convert");
    ButtonConvert->setEnabled(false);
    ButtonAbort = MakeToolButton(PanelButton, "ButtonAbort", "Abort");
    ButtonAbort->hide();
    ButtonSave = MakeToolButton(PanelButton, "ButtonSave", "Save GIF");
    ButtonSave->setEnabled(false);
    buttons->addWidget(ButtonOpen);
    buttons->addStretch(1);
    buttons->addWidget(ButtonConvert);
    buttons->addWidget(ButtonAbort);
    buttons->addStretch(1);
    buttons->addWidget(ButtonSave);
    layout->addWidget(PanelButton);

    PanelGIF = new TCaptionPanel("PanelGIF", "LabelGIF", "GIF animation", this);
    ImageGIF = new TImageControl(PanelGIF);
    ImageGIF->setObjectName("ImageGIF");
    PanelGIF->SetContent(ImageGIF);
    layout->addWidget(PanelGIF, 1);

    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);
    layout->addWidget(ProgressBar);

    // A run on the GUI thread ends when the program does.
    connect(qApp, &QGuiApplication::lastWindowClosed, this, [this] { m_abort = true; });
    ConnectGuarded(ButtonOpen, &QPushButton::clicked, this, [this] { ButtonOpenClick(); });
    ConnectGuarded(ButtonConvert, &QPushButton::clicked, this, [this] { ButtonConvertClick(); });
    ConnectGuarded(ButtonAbort, &QPushButton::clicked, this, [this] { ButtonAbortClick(); });
    ConnectGuarded(ButtonSave, &QPushButton::clicked, this, [this] { ButtonSaveClick(); });
}

Tavi2gifF::~Tavi2gifF()
{
    // FormDestroy: the picture goes before the window.
    m_abort = true;
    ImageGIF->Clear();
}

void Tavi2gifF::closeEvent(QCloseEvent* event)
{
    if (m_converting)
        m_abort = true;
    QWidget::closeEvent(event);
}

void Tavi2gifF::progress(int stage, int percent)
{
    ShowPictureProgress(ProgressBar, static_cast<TGIFProgressStage>(stage), percent, false);
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
    o.InitialDir = FolderOf(m_fileName);
    const std::optional<std::string> file = UI().OpenFile(o);
    if (!file)
        return;
    m_fileName = *file;
    if (Animate->Play(m_fileName)) {
        Animate->show();
    } else {
        Animate->hide();
        PanelAVI->SetCaption("Cannot preview AVI");
    }
    ButtonConvert->setEnabled(true);
    ButtonConvert->setFocus();
    ButtonSave->setEnabled(false);
    ImageGIF->Clear();
    m_converted.reset();
}

void Tavi2gifF::ButtonConvertClick()
{
    if (m_converting || m_fileName.empty())
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
    m_converting = true;
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
            if (!converted)
                w->ButtonSave->setEnabled(saveWas);
            w->m_converting = false;
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
    std::unique_ptr<TGIFImage> image = ConvertAviToGif(m_fileName, view);
    if (!image)
        return; // aborted: the last frame stays shown, nothing of this run is kept
    m_converted = std::move(image);
    ImageGIF->ShowDocument(*m_converted);
    converted = true;
    ButtonSave->setEnabled(true);
    ButtonSave->setFocus();
}

void Tavi2gifF::ButtonAbortClick()
{
    m_abort = true;
    ButtonAbort->setEnabled(false);
}

void Tavi2gifF::ButtonSaveClick()
{
    if (!m_converted || m_converting)
        return;
    TFileDialogOptions o;
    o.Title = "Save GIF file";
    o.Filters = {"GIF Image|*.gif"};
    o.DefaultExt = "gif";
    o.FileName = std::filesystem::path(m_fileName).replace_extension(".gif").string();
    o.InitialDir = FolderOf(m_fileName);
    const std::optional<std::string> file = UI().SaveFile(o);
    if (!file)
        return;
    WaitCursor wait;
    m_converted->OnProgress = [this](TGIFProgressStage stage, int percent, const std::string&) { progress(stage, percent); };
    SaveConvertedGif(*m_converted, *file);
    m_converted->OnProgress = nullptr;
    ImageGIF->ShowDocument(*m_converted);
    ButtonOpen->setFocus();
}
