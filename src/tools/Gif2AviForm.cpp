#include "Gif2AviForm.h"

#include "GifToAvi.h"
#include "ToolPanel.h"

#include "gif/GIFImage.h"
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

Tgif2aviF::Tgif2aviF(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName("gif2aviF");
    setWindowTitle("GIF to AVI converter");
    QFont f("Arial");
    f.setPixelSize(12);
    setFont(f);
    resize(361, 511);
    DefaultDrawOptions |= goDirectDraw;

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    PanelGIF = new TCaptionPanel("PanelGIF", "LabelGIF", "GIF animation", this);
    PanelGIF->setFixedHeight(229);
    ImageGIF = new TImageControl(PanelGIF);
    ImageGIF->setObjectName("ImageGIF");
    PanelGIF->SetContent(ImageGIF);
    layout->addWidget(PanelGIF);

    PanelButton = new QWidget(this);
    PanelButton->setObjectName("PanelButton");
    PanelButton->setFixedHeight(53);
    auto* buttons = new QHBoxLayout(PanelButton);
    ButtonOpen = MakeToolButton(PanelButton, "ButtonOpen", "Open GIF");
    ButtonAbort = MakeToolButton(PanelButton, "ButtonAbort", "Abort");
    ButtonAbort->hide();
    ButtonSave = MakeToolButton(PanelButton, "ButtonSave", "Save AVI");
    ButtonSave->setEnabled(false);
    buttons->addWidget(ButtonOpen);
    buttons->addStretch(1);
    buttons->addWidget(ButtonAbort);
    buttons->addStretch(1);
    buttons->addWidget(ButtonSave);
    layout->addWidget(PanelButton);

    PanelAVI = new TCaptionPanel("PanelAVI", "LabelAVI", "AVI animation", this);
    Animate = new TAviPlayer(PanelAVI);
    Animate->setObjectName("Animate");
    PanelAVI->SetContent(Animate);
    layout->addWidget(PanelAVI, 1);

    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setRange(0, 100);
    ProgressBar->setTextVisible(false);
    ProgressBar->hide();
    layout->addWidget(ProgressBar);

    // A run on the GUI thread ends when the program does.
    connect(qApp, &QGuiApplication::lastWindowClosed, this, [this] { m_abort = true; });
    ConnectGuarded(ButtonOpen, &QPushButton::clicked, this, [this] { ButtonOpenClick(); });
    ConnectGuarded(ButtonAbort, &QPushButton::clicked, this, [this] { ButtonAbortClick(); });
    ConnectGuarded(ButtonSave, &QPushButton::clicked, this, [this] { ButtonSaveClick(); });
}

Tgif2aviF::~Tgif2aviF()
{
    // FormDestroy: the picture goes before the window.
    m_abort = true;
    ImageGIF->Clear();
}

void Tgif2aviF::closeEvent(QCloseEvent* event)
{
    if (m_writing)
        m_abort = true;
    QWidget::closeEvent(event);
}

void Tgif2aviF::progress(int stage, int percent)
{
    ShowPictureProgress(ProgressBar, static_cast<TGIFProgressStage>(stage), percent, true);
}

void Tgif2aviF::ButtonOpenClick()
{
    PanelAVI->SetCaption(" ");
    TFileDialogOptions o;
    o.Title = "Open GIF file";
    o.Filters = {"GIF Image|*.gif"};
    o.DefaultExt = "gif";
    o.InitialDir = FolderOf(m_fileName);
    const std::optional<std::string> file = UI().OpenFile(o);
    if (!file)
        return;
    ImageGIF->Clear();
    // Save AVI is offered while a GIF is shown, so a file that fails to load leaves
    // nothing to save.
    ButtonSave->setEnabled(false);
    m_fileName = *file;
    TGIFImage image;
    image.OnProgress = [this](TGIFProgressStage stage, int percent, const std::string&) { progress(stage, percent); };
    try {
        image.LoadFromFile(m_fileName);
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

void Tgif2aviF::ButtonAbortClick()
{
    m_abort = true;
    ButtonAbort->setEnabled(false);
}

void Tgif2aviF::ButtonSaveClick()
{
    const TGIFImage* image = ImageGIF->Document();
    if (m_writing || !image || image->Empty())
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
    m_writing = true;
    struct Cleanup {
        Tgif2aviF* w;
        ~Cleanup()
        {
            w->ProgressBar->hide();
            w->ButtonAbort->hide();
            w->ButtonOpen->setEnabled(true);
            w->ButtonSave->setEnabled(true);
            w->m_writing = false;
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
    if (result.Aborted)
        return;
    if (Animate->Play(m_fileName)) {
        Animate->show();
    } else {
        Animate->hide();
        PanelAVI->SetCaption("Cannot preview AVI");
    }
}
