#include "EffectImage.h"

#include <QImage>
#include <QPixmap>
#include <QVBoxLayout>

TEffectImage::TEffectImage(QWidget* parent) : QLabel(parent)
{
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TEffectImage::ShowBitmap(const TBitmap& bitmap)
{
    if (bitmap.Empty()) {
        clear();
        adjustSize();
        return;
    }
    TBitmap rgb;
    const TBitmap* shown = &bitmap;
    if (bitmap.PixelFormat() != TPixelFormat::pf24bit) {
        rgb = bitmap;
        rgb.SetPixelFormat(TPixelFormat::pf24bit);
        shown = &rgb;
    }
    const QImage image(shown->Bits(), shown->Width(), shown->Height(), shown->RowBytes(), QImage::Format_BGR888);
    setPixmap(QPixmap::fromImage(image.copy()));
    adjustSize();
}

QScrollArea* EffectImageScrollBox(QWidget* parent, TEffectImage* image, const char* name)
{
    auto* box = new QScrollArea(parent);
    box->setObjectName(name);
    auto* inner = new QWidget;
    auto* layout = new QVBoxLayout(inner);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(image, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addStretch();
    box->setWidget(inner);
    box->setWidgetResizable(true);
    return box;
}
