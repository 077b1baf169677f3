#include "ToolPanel.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QPainter>
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

QPushButton* MakeToolButton(QWidget* parent, const char* name, const char* caption)
{
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(name);
    return b;
}

void ShowPictureProgress(QProgressBar* bar, TGIFProgressStage stage, int percent, bool showHide)
{
    if (stage == psStarting) {
        bar->setRange(0, 100);
        bar->setValue(0);
        if (showHide)
            bar->show();
    } else if (stage == psEnding) {
        bar->setValue(0);
        if (showHide)
            bar->hide();
    } else {
        bar->setValue(percent);
    }
}

std::string FolderOf(const std::string& path)
{
    return std::filesystem::path(path).parent_path().string();
}
