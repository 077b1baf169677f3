#include "ConverterWindow.h"

#include "platform/ui/GuardedActions.h"
#include "widgets/AviPlayer.h"
#include "widgets/ImageControl.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <filesystem>

TCaptionPanel::TCaptionPanel(const char* name, const char* titleName, const char* title, QWidget* parent)
    : QFrame(parent)
{
    setObjectName(name);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    m_title = new QLabel(QString::fromUtf8(title), this);
    m_title->setObjectName(titleName);
    m_title->setAlignment(Qt::AlignHCenter);
    QFont f = m_title->font();
    f.setBold(true);
    m_title->setFont(f);
    layout->addWidget(m_title);
}

void TCaptionPanel::SetContent(QWidget* content)
{
    static_cast<QVBoxLayout*>(layout())->addWidget(content, 1);
}

void TCaptionPanel::SetCaption(const QString& caption)
{
    m_caption = caption;
    update();
}

void TCaptionPanel::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (m_caption.trimmed().isEmpty())
        return;
    QPainter p(this);
    p.drawText(contentsRect(), Qt::AlignCenter, m_caption);
}

namespace {

QPushButton* button(QWidget* parent, const char* name, const char* caption)
{
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(name);
    return b;
}

} // namespace

TConverterWindow::TConverterWindow(const char* name, const char* caption, bool videoFirst, const char* openCaption,
                                   const char* middleName, const char* middleCaption, const char* saveCaption,
                                   QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(name);
    setWindowTitle(QString::fromUtf8(caption));
    QFont f("Arial");
    f.setPixelSize(12);
    setFont(f);
    resize(361, 511);

    PanelAVI = new TCaptionPanel("PanelAVI", "LabelAVI", "AVI animation", this);
    Animate = new TAviPlayer(PanelAVI);
    Animate->setObjectName("Animate");
    PanelAVI->SetContent(Animate);
    PanelGIF = new TCaptionPanel("PanelGIF", "LabelGIF", "GIF animation", this);
    ImageGIF = new TImageControl(PanelGIF);
    ImageGIF->setObjectName("ImageGIF");
    PanelGIF->SetContent(ImageGIF);

    PanelButton = new QWidget(this);
    PanelButton->setObjectName("PanelButton");
    PanelButton->setFixedHeight(53);
    auto* buttons = new QHBoxLayout(PanelButton);
    ButtonOpen = button(PanelButton, "ButtonOpen", openCaption);
    ButtonAbort = button(PanelButton, "ButtonAbort", "Abort");
    ButtonAbort->hide();
    ButtonSave = button(PanelButton, "ButtonSave", saveCaption);
    ButtonSave->setEnabled(false);
    buttons->addWidget(ButtonOpen);
    buttons->addStretch(1);
    if (middleName) {
        m_middle = button(PanelButton, middleName, middleCaption);
        buttons->addWidget(m_middle);
    }
    buttons->addWidget(ButtonAbort);
    buttons->addStretch(1);
    buttons->addWidget(ButtonSave);

    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);

    TCaptionPanel* upper = videoFirst ? PanelAVI : PanelGIF;
    TCaptionPanel* lower = videoFirst ? PanelGIF : PanelAVI;
    upper->setFixedHeight(229);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(upper);
    layout->addWidget(PanelButton);
    layout->addWidget(lower, 1);
    layout->addWidget(ProgressBar);

    // A run on the GUI thread ends when the program does.
    connect(qApp, &QGuiApplication::lastWindowClosed, this, [this] { m_abort = true; });
    ConnectGuarded(ButtonAbort, &QPushButton::clicked, this, [this] { ButtonAbortClick(); });
}

TConverterWindow::~TConverterWindow()
{
    // FormDestroy: the picture goes before the window.
    m_abort = true;
    ImageGIF->Clear();
}

void TConverterWindow::closeEvent(QCloseEvent* event)
{
    if (m_running)
        m_abort = true;
    QWidget::closeEvent(event);
}

void TConverterWindow::ButtonAbortClick()
{
    m_abort = true;
    ButtonAbort->setEnabled(false);
}

void TConverterWindow::showPictureProgress(TGIFProgressStage stage, int percent, bool showHide)
{
    if (stage == psStarting) {
        ProgressBar->setRange(0, 100);
        ProgressBar->setValue(0);
        if (showHide)
            ProgressBar->show();
    } else if (stage == psEnding) {
        ProgressBar->setValue(0);
        if (showHide)
            ProgressBar->hide();
    } else {
        ProgressBar->setValue(percent);
    }
}

void TConverterWindow::playVideo(const std::string& path)
{
    if (Animate->Play(path)) {
        Animate->show();
    } else {
        Animate->hide();
        PanelAVI->SetCaption("Cannot preview AVI");
    }
}

std::string TConverterWindow::folderOfFile() const
{
    return std::filesystem::path(m_fileName).parent_path().string();
}
